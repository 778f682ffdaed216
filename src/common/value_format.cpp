#include "common/value_format.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <system_error>

#include "common/text.hpp"

namespace MyFunc {
namespace {

// Full-width forms of 0x21..0x7E in code page 932 (U+FF01..U+FF5E, checked with iconv). Two
// differ from the Unicode rows because code page 932 reads 0x5C as the yen sign and 0x7E as the
// overline: they become "￥" 0x818F and "￣" 0x8150, not "＼" and "～". The quotation mark and
// the apostrophe have only the extension codes 0xFA57 "＂" and 0xFA56 "＇".
constexpr std::uint16_t kFullWidthAscii[0x7E - 0x21 + 1] = {
    0x8149, 0xFA57, 0x8194, 0x8190, 0x8193, 0x8195, 0xFA56, 0x8169,  // ！＂＃＄％＆＇（
    0x816A, 0x8196, 0x817B, 0x8143, 0x817C, 0x8144, 0x815E, 0x824F,  // ）＊＋，－．／０
    0x8250, 0x8251, 0x8252, 0x8253, 0x8254, 0x8255, 0x8256, 0x8257,  // １２３４５６７８
    0x8258, 0x8146, 0x8147, 0x8183, 0x8181, 0x8184, 0x8148, 0x8197,  // ９：；＜＝＞？＠
    0x8260, 0x8261, 0x8262, 0x8263, 0x8264, 0x8265, 0x8266, 0x8267,  // ＡＢＣＤＥＦＧＨ
    0x8268, 0x8269, 0x826A, 0x826B, 0x826C, 0x826D, 0x826E, 0x826F,  // ＩＪＫＬＭＮＯＰ
    0x8270, 0x8271, 0x8272, 0x8273, 0x8274, 0x8275, 0x8276, 0x8277,  // ＱＲＳＴＵＶＷＸ
    0x8278, 0x8279, 0x816D, 0x818F, 0x816E, 0x814F, 0x8151, 0x814D,  // ＹＺ［￥］＾＿｀
    0x8281, 0x8282, 0x8283, 0x8284, 0x8285, 0x8286, 0x8287, 0x8288,  // ａｂｃｄｅｆｇｈ
    0x8289, 0x828A, 0x828B, 0x828C, 0x828D, 0x828E, 0x828F, 0x8290,  // ｉｊｋｌｍｎｏｐ
    0x8291, 0x8292, 0x8293, 0x8294, 0x8295, 0x8296, 0x8297, 0x8298,  // ｑｒｓｔｕｖｗｘ
    0x8299, 0x829A, 0x816F, 0x8162, 0x8170, 0x8150,                  // ｙｚ｛｜｝￣
};

// Half-width katakana 0xA1..0xDF: the full-width character, and the one joined with a following
// voiced mark (0xDE) or semi-voiced mark (0xDF); 0 where code page 932 has no joined character.
struct KanaForms {
    std::uint16_t plain;
    std::uint16_t voiced;
    std::uint16_t semiVoiced;
};

constexpr KanaForms kFullWidthKana[0xDF - 0xA1 + 1] = {
    {0x8142, 0, 0},      {0x8175, 0, 0},      {0x8176, 0, 0},      {0x8141, 0, 0},  // 。「」、
    {0x8145, 0, 0},      {0x8392, 0, 0},      {0x8340, 0, 0},      {0x8342, 0, 0},  // ・ヲァィ
    {0x8344, 0, 0},      {0x8346, 0, 0},      {0x8348, 0, 0},      {0x8383, 0, 0},  // ゥェォャ
    {0x8385, 0, 0},      {0x8387, 0, 0},      {0x8362, 0, 0},      {0x815B, 0, 0},  // ュョッー
    {0x8341, 0, 0},      {0x8343, 0, 0},      {0x8345, 0x8394, 0}, {0x8347, 0, 0},  // アイウ(ヴ)エ
    {0x8349, 0, 0},      {0x834A, 0x834B, 0}, {0x834C, 0x834D, 0}, {0x834E, 0x834F, 0},  // オカキク
    {0x8350, 0x8351, 0}, {0x8352, 0x8353, 0}, {0x8354, 0x8355, 0}, {0x8356, 0x8357, 0},  // ケコサシ
    {0x8358, 0x8359, 0}, {0x835A, 0x835B, 0}, {0x835C, 0x835D, 0}, {0x835E, 0x835F, 0},  // スセソタ
    {0x8360, 0x8361, 0}, {0x8363, 0x8364, 0}, {0x8365, 0x8366, 0}, {0x8367, 0x8368, 0},  // チツテト
    {0x8369, 0, 0},      {0x836A, 0, 0},      {0x836B, 0, 0},      {0x836C, 0, 0},  // ナニヌネ
    {0x836D, 0, 0},      {0x836E, 0x836F, 0x8370}, {0x8371, 0x8372, 0x8373},        // ノハヒ
    {0x8374, 0x8375, 0x8376}, {0x8377, 0x8378, 0x8379}, {0x837A, 0x837B, 0x837C},   // フヘホ
    {0x837D, 0, 0},      {0x837E, 0, 0},      {0x8380, 0, 0},      {0x8381, 0, 0},  // マミムメ
    {0x8382, 0, 0},      {0x8384, 0, 0},      {0x8386, 0, 0},      {0x8388, 0, 0},  // モヤユヨ
    {0x8389, 0, 0},      {0x838A, 0, 0},      {0x838B, 0, 0},      {0x838C, 0, 0},  // ラリルレ
    {0x838D, 0, 0},      {0x838F, 0, 0},      {0x8393, 0, 0},      {0x814A, 0, 0},  // ロワン゛
    {0x814B, 0, 0},                                                                 // ゜
};

constexpr unsigned char kVoicedMark = 0xDE;
constexpr unsigned char kSemiVoicedMark = 0xDF;

// The pieces ToFullWidth converts one at a time; a full-width piece never outgrows the 256-byte
// buffer the conversion was designed around (126 half-width bytes become 252).
constexpr std::int32_t kFullWidthPieceBytes = 126;

void AppendCode(std::string& out, std::uint16_t code)
{
    out += static_cast<char>(code >> 8);
    out += static_cast<char>(code & 0xFF);
}

// Hiragana 0x829F..0x82F1 run in the same order as katakana 0x8340..0x8393, whose row skips
// the byte 0x7F.
std::uint16_t KatakanaOfHiragana(unsigned char trail)
{
    auto code = static_cast<std::uint16_t>(0x8340 + (trail - 0x9F));
    if (code >= 0x837F) ++code;
    return code;
}

void AppendFullWidthPiece(std::string& out, std::string_view piece)
{
    std::size_t i = 0;
    while (i < piece.size()) {
        const auto b = static_cast<unsigned char>(piece[i]);
        if (IsLeadByte(b) && i + 1 < piece.size()) {
            const auto trail = static_cast<unsigned char>(piece[i + 1]);
            if (b == 0x82 && trail >= 0x9F && trail <= 0xF1) {
                AppendCode(out, KatakanaOfHiragana(trail));
            } else {
                out += piece.substr(i, 2);
            }
            i += 2;
        } else if (b == 0x20) {
            AppendCode(out, 0x8140);  // ideographic space
            ++i;
        } else if (b >= 0x21 && b <= 0x7E) {
            AppendCode(out, kFullWidthAscii[b - 0x21]);
            ++i;
        } else if (b >= 0xA1 && b <= 0xDF) {
            const KanaForms& forms = kFullWidthKana[b - 0xA1];
            const int mark = i + 1 < piece.size() ? static_cast<unsigned char>(piece[i + 1]) : -1;
            if (mark == kVoicedMark && forms.voiced != 0) {
                AppendCode(out, forms.voiced);
                i += 2;
            } else if (mark == kSemiVoicedMark && forms.semiVoiced != 0) {
                AppendCode(out, forms.semiVoiced);
                i += 2;
            } else {
                AppendCode(out, forms.plain);
                ++i;
            }
        } else {
            out += piece[i];  // controls, 0x80, 0xA0, 0xFD..0xFF and a lone lead byte
            ++i;
        }
    }
}

// The digits of |value| with exactly `decimals` decimals; empty for a non-finite value.
std::string UnsignedFixedDigits(std::int32_t decimals, double value)
{
    if (!std::isfinite(value)) return {};
    // 309 integer digits at most, the point and the decimals.
    char buffer[320 + kMaxFormatDecimals];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                            std::chars_format::fixed, decimals);
    if (error != std::errc()) return {};
    return std::string(buffer, end);
}

std::int32_t ClampDecimals(std::int32_t precision)
{
    return std::clamp(precision, std::int32_t{0}, kMaxFormatDecimals);
}

// "-" only for a negative value whose text shows a digit other than zero.
bool NeedsMinus(double value, std::string_view digits)
{
    return std::signbit(value) && digits.find_first_of("123456789") != std::string_view::npos;
}

}  // namespace

double RoundToPrecision(std::int32_t precision, std::int32_t rounding, double value)
{
    long double m = 1.0L;
    if (precision >= 1 && precision <= 13) {
        for (std::int32_t i = 0; i < precision; ++i) m *= 10.0L;  // exact up to 10^13
    }
    const long double scaled = std::fabs(static_cast<long double>(value)) * m;
    long double rounded = 0.0L;
    switch (rounding) {
    case 0:
        rounded = std::trunc(scaled) / m;
        break;
    case 1:
        // A remainder of at least a tenth of a step raises the value by one step.
        rounded = std::trunc(scaled + 0.9L) / m;
        break;
    default:
        rounded = std::trunc(scaled + 0.5L) / m;
        break;
    }
    const auto magnitude = static_cast<double>(rounded);
    return value < 0 ? -magnitude : magnitude;
}

std::string FormatFixedDecimals(std::int32_t precision, double value)
{
    std::string digits = UnsignedFixedDigits(ClampDecimals(precision), value);
    if (NeedsMinus(value, digits)) digits.insert(0, 1, '-');
    return digits;
}

std::string FormatGroupedDecimals(std::int32_t precision, double value)
{
    const std::string digits = UnsignedFixedDigits(ClampDecimals(precision), value);
    if (digits.empty()) return digits;
    const std::size_t integerDigits = std::min(digits.find('.'), digits.size());

    std::string result;
    result.reserve(digits.size() + integerDigits / 3 + 1);
    if (NeedsMinus(value, digits)) result += '-';
    for (std::size_t i = 0; i < integerDigits; ++i) {
        if (i > 0 && (integerDigits - i) % 3 == 0) result += ',';
        result += digits[i];
    }
    result.append(digits, integerDigits);
    return result;
}

void DropTrailingZeros(std::string& text)
{
    const std::size_t point = text.find('.');
    if (point == std::string::npos) return;
    std::size_t end = text.size();
    while (end > point && text[end - 1] == '0') --end;
    if (end == point + 1) --end;  // only the point is left
    text.erase(end);
}

WholeCharsPiece TakeWholeChars(std::string_view text, std::int32_t start, std::int32_t maxBytes)
{
    if (text.empty() || start < 1 || maxBytes <= 0) return {};
    const auto first = static_cast<std::size_t>(start) - 1;
    if (first >= text.size()) return {};
    const std::size_t windowEnd =
        first + std::min(static_cast<std::size_t>(maxBytes), text.size() - first);

    // A lead byte with a byte after it spans two bytes; a lead byte at the very end is alone.
    const auto width = [&text](std::size_t at) -> std::size_t {
        return IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
    };
    std::size_t begin = 0;
    while (begin < first) begin += width(begin);
    std::size_t end = begin;
    while (end < windowEnd && end + width(end) <= windowEnd) end += width(end);

    if (end == begin) return {};
    return {text.substr(begin, end - begin), static_cast<std::int32_t>(end - first)};
}

std::string ToFullWidth(std::string_view text)
{
    std::string result;
    result.reserve(text.size() * 2);
    // Pieces always end on a character boundary, so the rest of the text can be cut on its own.
    std::string_view rest = text;
    for (;;) {
        const WholeCharsPiece piece = TakeWholeChars(rest, 1, kFullWidthPieceBytes);
        if (piece.bytesTaken == 0) break;
        AppendFullWidthPiece(result, piece.piece);
        rest.remove_prefix(static_cast<std::size_t>(piece.bytesTaken));
    }
    return result;
}

}  // namespace MyFunc
