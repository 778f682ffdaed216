// Text and number helpers on Shift-JIS byte strings (code page 932).
//
// Texts stay bytes inside Korvane. A byte 0x80..0x9F or 0xE0..0xFD begins a two-byte character;
// no helper here ever splits one. Number texts use "." as the decimal point whatever the locale.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace MyFunc {

// True for the first byte of a two-byte Shift-JIS character.
constexpr bool IsLeadByte(unsigned char b)
{
    return (b >= 0x80 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFD);
}

// The integer the whole text spells, or 0. Grammar: blanks (0x20 only), at most one sign, then
// decimal digits whose value fits 32 bits signed, or a hexadecimal number "$", "x", "X", "0x" or
// "0X" followed by one to eight hex digits (the 32-bit pattern; a sign before it is ignored).
// Anything else (a trailing blank, a decimal point, an out-of-range value) gives 0.
std::int32_t TextToIntOrZero(std::string_view text);

// The real the whole text spells, or 0. Grammar: blanks (0x20 only), at most one sign, digits
// with at most one ".", optionally "E"/"e", an optional sign and at least one digit. The result
// is the double nearest to the decimal value; a value outside the double's range gives 0, so no
// infinity or NaN ever comes out.
double TextToRealOrZero(std::string_view text);

// The plain decimals the host writes, read with one division: at most one sign, then digits with
// at most one "." (at least one digit), the digits forming an integer of at most 2^53 of which
// at most 22 follow the point. PlainDecimalLength gives the length of the one at the front of
// the text, and its value (the double nearest to it), or 0 when the text does not start with
// one. PlainDecimalToReal is true, with TextToRealOrZero's value, when the whole text is one.
std::size_t PlainDecimalLength(std::string_view text, double& value);
bool PlainDecimalToReal(std::string_view text, double& value);

// PlainDecimalLength for a text stored with at least kDecimalSlack bytes after its end that may
// be read (what they hold does not matter): the same length and value, the digits taken eight
// bytes at a time. The exchange reader keeps that much room behind every line it reads.
inline constexpr std::size_t kDecimalSlack = 8;
std::size_t PaddedPlainDecimalLength(std::string_view text, double& value);

// The same reading, with nothing where TextToRealOrZero gives 0 for want of a number (a text
// outside the grammar, or a value outside the double's range): the dialog tells the user when a
// text is taken as 0.
std::optional<double> TextToReal(std::string_view text);

// The text without half-width blanks, full-width blanks (0x81 0x40) and control bytes; used to
// test whether a text has anything visible. A lone lead byte at the end is kept.
std::string RemoveBlanks(std::string_view text);

// The longest leading part of text that holds at most maxBytes bytes and ends on a character
// boundary: walking from the first byte, character by character, it stops before the first
// character that would end past maxBytes. A text that already fits is returned whole.
// The exchange file's 255-byte fields and the command lines are cut with it.
std::string_view CutToWholeChars(std::string_view text, std::size_t maxBytes);

// True when every byte is printable ASCII, 0x20..0x7E (also for an empty text): no control byte
// and no byte of a two-byte character.
bool IsPrintableAscii(std::string_view text);

// The longest byte-field and command-line length.
inline constexpr std::size_t kMaxLineBytes = 255;

}  // namespace MyFunc
