// The text form of a real in command lines and in the dialog's text-kind list.
#pragma once

#include <string>

namespace MyFunc {

// The exact binary value rounded to 15 significant digits (ties to even), no trailing zeros,
// "." as the decimal point whatever the locale, "-" for negatives, "0" for zero and -0. Fixed
// notation for 0.0001 <= |v| < 10^15 after rounding, otherwise one digit, the remaining digits,
// "E" and the exponent: 1E-5, 1.5E-5, 1E15. A non-finite value gives an empty text.
std::string GeneralNumberText(double value);

}  // namespace MyFunc
