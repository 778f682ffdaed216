#include "common/text.hpp"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iterator>
#include <system_error>

#include "common/fpu.hpp"  // refuses a build whose doubles carry excess precision

namespace MyFunc {
namespace {

bool IsDigit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

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

// Powers of ten up to 10^22: each is an exact double, as 5^22 < 2^53.
constexpr double kPowersOfTen[] = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22,
};
constexpr std::size_t kMostDecimals = std::size(kPowersOfTen) - 1;
constexpr std::uint64_t kLargestExactInteger = std::uint64_t{1} << 53;

}  // namespace

// The integer the digits form and the power of ten it is divided by are both exact doubles, so
// the one division, rounded to double as every double operation is here (SSE2 on both targets,
// see fpu.hpp), is the double nearest to the decimal: what from_chars gives. A longer integer
// would be rounded before the division, and the second rounding could differ from the correct
// one.
std::size_t PlainDecimalLength(std::string_view text, double& value)
{
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* p = begin;
    const bool negative = p != end && *p == '-';
    if (p != end && (*p == '-' || *p == '+')) ++p;
    std::uint64_t digits = 0;
    const char* const whole = p;
    for (; p != end && IsDigit(*p); ++p) {
        digits = digits * 10 + static_cast<std::uint64_t>(*p - '0');  // below 2^57: no wrap
        if (digits > kLargestExactInteger) return 0;
    }
    auto count = static_cast<std::size_t>(p - whole);
    std::size_t decimals = 0;
    if (p != end && *p == '.') {
        const char* const fraction = ++p;
        for (; p != end && IsDigit(*p); ++p) {
            digits = digits * 10 + static_cast<std::uint64_t>(*p - '0');
            if (digits > kLargestExactInteger) return 0;
        }
        decimals = static_cast<std::size_t>(p - fraction);
        count += decimals;
    }
    if (count == 0 || decimals > kMostDecimals) return 0;
    double result = static_cast<double>(digits);
    if (decimals != 0) result /= kPowersOfTen[decimals];
    value = negative ? -result : result;
    return static_cast<std::size_t>(p - begin);
}

namespace {

static_assert(std::endian::native == std::endian::little,
              "the first byte of a text is the lowest byte of the word it is loaded into");

constexpr std::uint64_t kEveryByte = 0x0101'0101'0101'0101ull;

constexpr std::uint64_t kPowersOfTenInt[] = {
    1, 10, 100, 1'000, 10'000, 100'000, 1'000'000, 10'000'000, 100'000'000,
};

// How many digits open word (eight bytes of a text, its first byte lowest), of which only the
// first `room` bytes belong to the text. A byte is a digit when its high nibble is 3 both as it
// is and with 6 added; an addition that carries out of a byte (0xFA and above) is not a digit
// itself and only disturbs the bytes after it, which do not count once a byte before them is no
// digit.
std::size_t DigitRun(std::uint64_t word, std::size_t room)
{
    const std::uint64_t highNibbles = 0xF0 * kEveryByte;
    const std::uint64_t threes = 0x30 * kEveryByte;
    std::uint64_t other = ((word & highNibbles) ^ threes) | (((word + 6 * kEveryByte) &
                                                              highNibbles) ^ threes);
    if (room < 8) other |= ~std::uint64_t{0} << (8 * room);
    return other == 0 ? 8 : static_cast<std::size_t>(std::countr_zero(other)) / 8;
}

// The integer the first n digits (1..8) of word spell: they move to the top bytes, so that the
// bytes below them stand for leading zeros, then pairs, fours and the eight are combined.
std::uint64_t DigitsValue(std::uint64_t word, std::size_t n)
{
    std::uint64_t v = word - 0x30 * kEveryByte;  // a borrow only reaches bytes past the digits
    v <<= 8 * (8 - n);
    v = v * 10 + (v >> 8);
    v = (((v & 0x0000'00FF'0000'00FFull) * (100 + (1'000'000ull << 32))) +
         (((v >> 16) & 0x0000'00FF'0000'00FFull) * (1 + (10'000ull << 32)))) >>
        32;
    return v & 0xFFFF'FFFFull;
}

// Above kLimitBefore[n], n more digits take the integer past 2^53.
constexpr std::uint64_t kLimitBefore[] = {
    kLargestExactInteger,           kLargestExactInteger / 10,
    kLargestExactInteger / 100,     kLargestExactInteger / 1'000,
    kLargestExactInteger / 10'000,  kLargestExactInteger / 100'000,
    kLargestExactInteger / 1'000'000, kLargestExactInteger / 10'000'000,
    kLargestExactInteger / 100'000'000,
};

}  // namespace

// The digits go into the integer up to eight at a time; once it passes 2^53 the text is no plain
// decimal (the integer of any longer text is larger still), as PlainDecimalLength decides digit
// by digit.
std::size_t PaddedPlainDecimalLength(std::string_view text, double& value)
{
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* p = begin;
    if (p == end) return 0;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    std::uint64_t digits = 0;
    std::size_t count = 0;
    const char* fraction = nullptr;
    while (p != end) {
        std::uint64_t word = 0;
        std::memcpy(&word, p, sizeof word);
        const std::size_t n = DigitRun(word, static_cast<std::size_t>(end - p));
        if (n != 0) {
            if (digits > kLimitBefore[n]) return 0;
            digits = digits * kPowersOfTenInt[n] + DigitsValue(word, n);
            if (digits > kLargestExactInteger) return 0;
            p += n;
            count += n;
            if (n == 8) continue;
        }
        if (fraction != nullptr || p == end || *p != '.') break;
        fraction = ++p;
    }
    const std::size_t decimals = fraction == nullptr ? 0 : static_cast<std::size_t>(p - fraction);
    if (count == 0 || decimals > kMostDecimals) return 0;
    // At most 2^53, so the signed conversion is exact (and one instruction on x86_64).
    double result = static_cast<double>(static_cast<std::int64_t>(digits));
    if (decimals != 0) result /= kPowersOfTen[decimals];
    value = negative ? -result : result;
    return static_cast<std::size_t>(p - begin);
}

bool PlainDecimalToReal(std::string_view text, double& value)
{
    return !text.empty() && PlainDecimalLength(text, value) == text.size();
}

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

double TextToRealOrZero(std::string_view text) { return TextToReal(text).value_or(0.0); }

std::optional<double> TextToReal(std::string_view text)
{
    double plain = 0.0;
    if (PlainDecimalToReal(text, plain)) return plain;
    const bool negative = TakeBlanksAndSign(text);
    if (text.empty()) return std::nullopt;

    // Check the whole grammar first: from_chars alone would accept "inf", "nan" or a prefix.
    std::size_t i = 0;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) { ++i; ++digits; }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) { ++i; ++digits; }
    }
    if (digits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        std::size_t exponentDigits = 0;
        while (i < text.size() && IsDigit(text[i])) { ++i; ++exponentDigits; }
        if (exponentDigits == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;

    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value,
                                              std::chars_format::general);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
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
