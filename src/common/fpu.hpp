// The x87 unit's precision control.
//
// Korvane computes its geometry and the rounding of value texts in 80-bit long double (64-bit
// mantissa) and stores results as doubles; which of two nearly equal points survives and how a
// value rounds depend on it. Windows starts 64-bit processes with the x87 set to 53 bits and a
// DLL may change it later, so the programs set it themselves at start (and the dialog again at
// every OK).
#pragma once

#include <limits>

static_assert(std::numeric_limits<long double>::digits == 64,
              "Korvane needs the 80-bit long double of g++ on x86 (MinGW-w64 or Linux)");

namespace MyFunc {

// Sets the x87 control word to a 64-bit mantissa, round to nearest, all exceptions masked.
void UseExtendedPrecision();

// True when long double additions really keep a 64-bit mantissa right now.
bool ExtendedPrecisionInForce();

}  // namespace MyFunc
