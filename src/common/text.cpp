#include "common/text.hpp"

#include <charconv>
#include <cmath>
#include <system_error>

namespace MyFunc {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Skips the leading blanks and at most one sign; returns true when the sign was "-".
bool TakeBlanksAndSign(std::string_view& text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    text.remove_prefix(i);
    return negative;
}

}  // namespace

std::int32_t TextToIntOrZero(std::string_view text)
{
    const bool negative = TakeBlanksAndSign(text);
    if (text.empty()) return 0;

    // Hexadecimal: the prefix decides, the digits are the 32-bit pattern, the sign is ignored.
    std::size_t prefix = 0;
    if (text[0] == '$' || text[0] == 'x' || text[0] == 'X') {
        prefix = 1;
    } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        prefix = 2;
    }
    if (prefix > 0) {
        const std::string_view digits = text.substr(prefix);
        if (digits.empty() || digits.size() > 8) return 0;
        std::uint32_t pattern = 0;
        for (char c : digits) {
            const int v = HexDigitValue(c);
            if (v < 0) return 0;
            pattern = (pattern << 4) | static_cast<std::uint32_t>(v);
        }
        return static_cast<std::int32_t>(pattern);
    }

    std::int64_t value = 0;
    for (char c : text) {
        if (!IsDigit(c)) return 0;
        value = value * 10 + (c - '0');
        if (value > 2147483648LL) return 0;  // past every 32-bit value; leading zeros are fine
    }
    if (negative) value = -value;
    if (value > 2147483647LL) return 0;
    return static_cast<std::int32_t>(value);
}

double TextToRealOrZero(std::string_view text)
{
    const bool negative = TakeBlanksAndSign(text);
    if (text.empty()) return 0.0;

    // Check the whole grammar first: from_chars alone would accept "inf", "nan" or a prefix.
    std::size_t i = 0;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) { ++i; ++digits; }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) { ++i; ++digits; }
    }
    if (digits == 0) return 0.0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        std::size_t exponentDigits = 0;
        while (i < text.size() && IsDigit(text[i])) { ++i; ++exponentDigits; }
        if (exponentDigits == 0) return 0.0;
    }
    if (i != text.size()) return 0.0;

    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value,
                                              std::chars_format::general);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return 0.0;
    }
    return negative ? -value : value;
}

std::string RemoveBlanks(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (IsLeadByte(b) && i + 1 < text.size()) {
            const auto trail = static_cast<unsigned char>(text[i + 1]);
            if (!(b == 0x81 && trail == 0x40)) {
                result += text[i];
                result += text[i + 1];
            }
            ++i;
        } else if (b > 0x20) {
            result += text[i];
        }
    }
    return result;
}

bool IsPrintableAscii(std::string_view text)
{
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b > 0x7E) return false;
    }
    return true;
}

std::string_view CutToWholeChars(std::string_view text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes) return text;
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t width = IsLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
        if (end + width > maxBytes) break;
        end += width;
    }
    return text.substr(0, end);
}

}  // namespace MyFunc
