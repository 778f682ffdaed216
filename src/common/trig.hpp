// Portable sine, cosine and arc tangent for long double.
//
// The C libraries of the targets disagree (MinGW's sinl/cosl are the x87 instructions, wrong
// near multiples of pi), and a vertical run writes cos 90 deg into the command file with 15
// digits. These are Korvane's own: the same bits on every target, correctly rounded long
// doubles; stored to double they equal glibc's results except where glibc's own long double is
// one unit off (the trigonometry tests list the cases).
#pragma once

namespace MyFunc {

long double Sin(long double x);
long double Cos(long double x);
long double Atan2(long double y, long double x);

}  // namespace MyFunc
