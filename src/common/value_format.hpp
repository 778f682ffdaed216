// Number formatting and width conversion for value texts (Shift-JIS bytes, code page 932).
//
// Rounding works in 80-bit long double and stores only the result as a double, with no decimal
// correction: a value whose binary form lies just below a halfway point rounds down. Number
// texts always use "." as the decimal point and "," as the thousands separator, whatever the
// machine's locale says, and are the same bytes on every target.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace MyFunc {

// The value rounded to `precision` decimals. The step factor is 10^precision for precision
// 1..13, otherwise 1. Rounding 0 truncates, 1 rounds up when the remainder is at least a tenth
// of a step, anything else rounds half up; the magnitude is rounded and the sign put back.
double RoundToPrecision(std::int32_t precision, std::int32_t rounding, double value);

// Exactly `precision` digits after ".", no point for precision 0 (negative precisions count
// as 0, precisions above kMaxFormatDecimals as kMaxFormatDecimals). The digits are those of the
// exact binary value, correctly rounded (ties to even), also above 2^53. A leading "-" only when
// a digit written is not zero, so no text ever reads "-0" or "-0.00". A non-finite value gives
// an empty text.
std::string FormatFixedDecimals(std::int32_t precision, double value);

// As FormatFixedDecimals, with the integer digits grouped by three with ",": 1,234.500.
std::string FormatGroupedDecimals(std::int32_t precision, double value);

// Drops the zeros at the end of a number text that has a decimal point, and the point itself
// when no digit remains behind it: "1,234.500" -> "1,234.5", "2.000" -> "2", "-0.00" -> "-0".
// A text without a point keeps its zeros ("100", "1,000").
void DropTrailingZeros(std::string& text);

inline constexpr std::int32_t kMaxFormatDecimals = 100;

// A piece of whole characters cut out of a text: `piece` views into the text.
struct WholeCharsPiece {
    std::string_view piece;
    std::int32_t bytesTaken = 0;  // from byte `start` to the end of the piece
};

// The whole characters that begin at or after byte `start` (1-based) and end no later than byte
// start + maxBytes - 1. Character boundaries are found walking from the first byte of the text,
// so a trail byte at `start` belongs to the character before it: it is skipped and counted as
// taken. A lead byte that is the last byte of the text counts as a character of its own, so a
// loop over the pieces never loses it. Empty piece and 0 when the text is empty, start < 1,
// start > length or maxBytes <= 0.
WholeCharsPiece TakeWholeChars(std::string_view text, std::int32_t start, std::int32_t maxBytes);

// The text with every half-width character in its full-width form and hiragana as katakana:
// printable ASCII to U+FF01..U+FF5E ("\" 0x5C, the yen sign in code page 932, to "￥" and "~"
// 0x7E, the overline there, to "￣"), the blank to the ideographic space, half-width katakana to
// katakana (a following half-width voiced or semi-voiced mark joins it where the joined
// character exists). Other two-byte characters and other single bytes stay as they are. The text
// is converted in pieces of at most 126 bytes; a mark at the start of a piece does not join the
// character that ended the previous one.
std::string ToFullWidth(std::string_view text);

}  // namespace MyFunc
