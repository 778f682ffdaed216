// The x87 unit's precision control.
//
// Korvane computes its geometry and the rounding of value texts in 80-bit long double (64-bit
// mantissa) and stores results as doubles; which of two nearly equal points survives and how a
// value rounds depend on it. Windows starts 64-bit processes with the x87 set to 53 bits and a
// DLL may change it later, so the programs set it themselves at start (and the dialog again at
// every OK).
#pragma once

#include <cfloat>
#include <limits>

static_assert(std::numeric_limits<long double>::digits == 64,
              "Korvane needs the 80-bit long double of g++ on x86 (MinGW-w64 or Linux)");

// double arithmetic must round to double at every operation, as it does on x86_64. The 32-bit
// target keeps doubles on the x87 with excess precision unless built with -msse2 -mfpmath=sse
// (cmake/mingw-w64-i686.cmake), and g++ cannot switch that off otherwise for C++: such a build
// wrote different bytes from the native program on 303 of 3,000 generated runs.
static_assert(FLT_EVAL_METHOD == 0,
              "double arithmetic with excess precision: build the 32-bit target with SSE2 math");

namespace MyFunc {

// Sets the x87 control word to a 64-bit mantissa, round to nearest, all exceptions masked.
void UseExtendedPrecision();

// True when long double additions really keep a 64-bit mantissa right now.
bool ExtendedPrecisionInForce();

}  // namespace MyFunc
