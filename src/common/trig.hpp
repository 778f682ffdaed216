// Portable sine, cosine and arc tangent for long double.
//
// The C libraries of the targets disagree (MinGW's sinl/cosl are the x87 instructions, wrong
// near multiples of pi), and a vertical run writes cos 90 deg into the command file with 15
// digits. These are Korvane's own: the same bits on every target, and, stored to double, equal
// to glibc's results.
#pragma once

namespace MyFunc {

long double Sin(long double x);
long double Cos(long double x);
long double Atan2(long double y, long double x);

}  // namespace MyFunc
