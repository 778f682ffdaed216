// The text form of a real in command lines and in the dialog's text-kind list.
#pragma once

#include <cstddef>
#include <string>

namespace MyFunc {

// The most bytes WriteGeneralNumber writes: "-4.94065645841247E-324" is 22 (number_text.cpp
// derives the same from its count of significant digits and checks that they agree).
inline constexpr std::size_t kGeneralNumberMaxChars = 22;

// The exact binary value rounded to 15 significant digits (ties to even), no trailing zeros,
// "." as the decimal point whatever the locale, "-" for negatives, "0" for zero and -0. Fixed
// notation for 0.0001 <= |v| < 10^15 after rounding, otherwise one digit, the remaining digits,
// "E" and the exponent: 1E-5, 1.5E-5, 1E15. A non-finite value gives an empty text.
std::string GeneralNumberText(double value);

// The same text written at out, which has room for kGeneralNumberMaxChars bytes; returns the
// end of what was written (out itself for a non-finite value). A large run writes millions of
// numbers: this one allocates nothing.
char* WriteGeneralNumber(char* out, double value);

// The same text with the 15 digits always taken from std::to_chars: the check of the short way
// WriteGeneralNumber takes for the magnitudes of a drawing.
std::string GeneralNumberTextByToChars(double value);

}  // namespace MyFunc
