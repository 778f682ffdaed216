#include "common/number_text.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>
#include <system_error>

namespace MyFunc {
namespace {

// The host writes its reals with 15 significant digits, and so does every number text here.
// Everything below that counts digits or bytes follows from this one constant.
constexpr int kSignificantDigits = 15;

constexpr std::uint64_t PowerOfTen(int n)
{
    std::uint64_t p = 1;
    for (int i = 0; i < n; ++i) p *= 10;
    return p;
}

// A finite magnitude above zero rounded to kSignificantDigits digits:
// digits * 10^(exponent - kSignificantDigits + 1), with kDigitsLow <= digits < kDigitsHigh.
struct RoundedDigits {
    std::uint64_t digits = 0;
    int exponent = 0;
};

constexpr std::uint64_t kDigitsLow = PowerOfTen(kSignificantDigits - 1);
constexpr std::uint64_t kDigitsHigh = PowerOfTen(kSignificantDigits);
// The short way's first scaling can give up to twice kDigitsHigh (the magnitude's decimal
// exponent is estimated from its binary one, which may fall one short).
static_assert(kDigitsHigh <= UINT64_MAX / 2, "the digits of a first scaling fit in 64 bits");

// The short way scales by 10^k = 5^k * 2^k with 5^k below 2^64, so that the double's 53-bit
// integer times 5^k fits in 128 bits: k up to 27.
constexpr int kLargestScale = [] {
    int k = 0;
    for (std::uint64_t p = 1; p <= UINT64_MAX / 5; p *= 5) ++k;
    return k;
}();
static_assert(std::numeric_limits<double>::digits + 64 <= 128, "m * 5^k fits in 128 bits");

constexpr std::array<std::uint64_t, kLargestScale + 1> kPowersOfFive = [] {
    std::array<std::uint64_t, kLargestScale + 1> powers{};
    powers[0] = 1;
    for (std::size_t k = 1; k < powers.size(); ++k) powers[k] = powers[k - 1] * 5;
    return powers;
}();

// The decimal exponents of the magnitudes the short way takes: k = kSignificantDigits - 1 -
// exponent runs from kLargestScale down to 0, so from about 1e-13 to 1e14.
constexpr int kLowestDirectExponent = kSignificantDigits - 1 - kLargestScale;
constexpr int kHighestDirectExponent = kSignificantDigits - 1;

// floor(e * log10 2), for the binary exponents of the magnitudes the short way takes.
constexpr int FloorLog10OfPowerOfTwo(int e) { return (e * 78913) >> 18; }

// 10^f <= 2^e < 10^(f + 1) for f = FloorLog10OfPowerOfTwo(e), checked in exact integers from
// e = -60 to 60. The estimate grows with e, and at the ends of that range it lies outside the
// direct exponents, so every exponent the short way keeps is checked.
constexpr int kCheckedBinaryExponent = 60;
static_assert(FloorLog10OfPowerOfTwo(-kCheckedBinaryExponent) < kLowestDirectExponent &&
                  FloorLog10OfPowerOfTwo(kCheckedBinaryExponent) > kHighestDirectExponent,
              "the check covers every exponent of the short way");
constexpr bool FloorLog10IsExact()
{
    for (int e = -kCheckedBinaryExponent; e <= kCheckedBinaryExponent; ++e) {
        const int f = FloorLog10OfPowerOfTwo(e);
        if (e >= 0) {
            const std::uint64_t two = std::uint64_t{1} << e;
            if (f < 0 || PowerOfTen(f) > two || two / 10 >= PowerOfTen(f)) return false;
        } else {
            // 10^f <= 2^e  <=>  2^-e <= 10^-f;  2^e < 10^(f+1)  <=>  10^(-f-1) < 2^-e
            const std::uint64_t two = std::uint64_t{1} << -e;
            if (f >= 0 || two > PowerOfTen(-f) || PowerOfTen(-f - 1) >= two) return false;
        }
    }
    return true;
}
static_assert(FloorLog10IsExact());

// A 128-bit unsigned integer: the 32-bit program has no wider integer type than 64 bits.
struct Wide {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
};

Wide Multiply(std::uint64_t a, std::uint64_t b)
{
    constexpr std::uint64_t kHalf = 0xFFFF'FFFF;
    const std::uint64_t a0 = a & kHalf;
    const std::uint64_t a1 = a >> 32;
    const std::uint64_t b0 = b & kHalf;
    const std::uint64_t b1 = b >> 32;
    const std::uint64_t p00 = a0 * b0;
    const std::uint64_t p01 = a0 * b1;
    const std::uint64_t p10 = a1 * b0;
    const std::uint64_t middle = (p00 >> 32) + (p01 & kHalf) + (p10 & kHalf);
    return {a1 * b1 + (p01 >> 32) + (p10 >> 32) + (middle >> 32), (middle << 32) | (p00 & kHalf)};
}

bool BitAt(const Wide& w, int i)
{
    return ((i < 64 ? w.low >> i : w.high >> (i - 64)) & 1) != 0;
}

// Whether any of the bits below bit n (1 <= n <= 127) is set.
bool AnyBitBelow(const Wide& w, int n)
{
    if (n < 64) return (w.low & ((std::uint64_t{1} << n) - 1)) != 0;
    return w.low != 0 || (w.high & ((std::uint64_t{1} << (n - 64)) - 1)) != 0;
}

// m * 2^q * 10^k rounded to an integer, ties to even, exactly (0 <= k <= kLargestScale). False
// when the result would not fit in 64 bits.
bool RoundedScaled(std::uint64_t m, int q, int k, std::uint64_t& result)
{
    const Wide p = Multiply(m, kPowersOfFive[static_cast<std::size_t>(k)]);
    const int shift = q + k;
    if (shift >= 0) {
        if (p.high != 0 || shift >= 64 || (shift > 0 && (p.low >> (64 - shift)) != 0)) {
            return false;
        }
        result = p.low << shift;
        return true;
    }
    const int n = -shift;
    if (n >= 128) return false;
    std::uint64_t whole = 0;
    if (n < 64) {
        if ((p.high >> n) != 0) return false;
        whole = (p.low >> n) | (p.high << (64 - n));
    } else {
        whole = p.high >> (n - 64);
    }
    const bool roundBit = BitAt(p, n - 1);
    const bool beyondHalf = n > 1 && AnyBitBelow(p, n - 1);
    if (roundBit && (beyondHalf || (whole & 1) != 0)) whole += 1;
    result = whole;
    return true;
}

// The digits in exact integer arithmetic, for the magnitudes of the direct exponents (every
// coordinate and length of a drawing). False for the rest, which to_chars takes.
bool RoundDirectly(double magnitude, RoundedDigits& rounded)
{
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const int biased = static_cast<int>(bits >> 52);
    if (biased == 0) return false;  // subnormal
    const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    const int q = biased - 1075;  // magnitude = m * 2^q, 2^(q+52) <= magnitude < 2^(q+53)
    // The decimal exponent of the magnitude is this or one more.
    const int estimate = FloorLog10OfPowerOfTwo(q + 52);
    if (estimate < kLowestDirectExponent || estimate > kHighestDirectExponent) return false;
    int k = kSignificantDigits - 1 - estimate;
    std::uint64_t digits = 0;
    if (!RoundedScaled(m, q, k, digits)) return false;
    if (digits >= kDigitsHigh) {
        // The exponent is one more, or the rounding carried into one digit more.
        if (k == 0) return false;
        k -= 1;
        if (!RoundedScaled(m, q, k, digits)) return false;
    }
    if (digits < kDigitsLow || digits >= kDigitsHigh) return false;  // cannot happen; never guess
    rounded = {digits, kSignificantDigits - 1 - k};
    return true;
}

// The longest text to_chars writes below: d "." (kSignificantDigits - 1 digits) "e" sign and
// the exponent's three digits at most (-324 .. 308).
constexpr std::size_t kScientificChars = 1 + 1 + (kSignificantDigits - 1) + 1 + 1 + 3;

RoundedDigits RoundByToChars(double magnitude)
{
    // to_chars rounds the exact binary value to the significant digits with ties to even, like
    // C's %.15G, and is the same on every target and in every locale (the C runtimes' printf
    // families are neither). Its exponent belongs to the rounded value, so 999999999999999.9
    // comes out as 1.00000000000000e+15.
    char buffer[kScientificChars];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                            std::chars_format::scientific, kSignificantDigits - 1);
    RoundedDigits rounded;
    if (error != std::errc()) return rounded;
    const std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    const std::size_t e = text.find('e');
    for (std::size_t i = 0; i < e; ++i) {
        if (text[i] == '.') continue;
        rounded.digits = rounded.digits * 10 + static_cast<unsigned>(text[i] - '0');
    }
    std::string_view exponentText = text.substr(e + 1);
    if (exponentText.front() == '+') exponentText.remove_prefix(1);
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(),
                    rounded.exponent);
    return rounded;
}

constexpr std::array<char, 200> kDigitPairs = [] {
    std::array<char, 200> pairs{};
    for (std::size_t n = 0; n < 100; ++n) {
        pairs[2 * n] = static_cast<char>('0' + n / 10);
        pairs[2 * n + 1] = static_cast<char>('0' + n % 10);
    }
    return pairs;
}();

// The digits of kDigitsLow <= value < kDigitsHigh, two at a time from the last: the low eight,
// then the high ones, each part in 32-bit arithmetic (the 32-bit program would divide a 64-bit
// integer by a call); an odd one out is the first digit.
constexpr int kLowDigits = 8;
constexpr int kHighDigits = kSignificantDigits - kLowDigits;
static_assert(kHighDigits > 0 && PowerOfTen(kHighDigits) - 1 <= UINT32_MAX,
              "the high digits fit in 32 bits");

void WriteDigits(std::uint64_t value, char* digits)
{
    char* at = digits + kSignificantDigits;
    const auto writePairs = [&at](std::uint32_t part, int pairs) {
        for (int n = 0; n < pairs; ++n) {
            const std::uint32_t pair = part % 100;
            part /= 100;
            at -= 2;
            at[0] = kDigitPairs[2 * pair];
            at[1] = kDigitPairs[2 * pair + 1];
        }
        return part;
    };
    constexpr std::uint64_t kLowPart = PowerOfTen(kLowDigits);
    writePairs(static_cast<std::uint32_t>(value % kLowPart), kLowDigits / 2);
    const std::uint32_t first = writePairs(static_cast<std::uint32_t>(value / kLowPart),
                                           kHighDigits / 2);
    if constexpr (kHighDigits % 2 != 0) digits[0] = static_cast<char>('0' + first);
}

// C's %G rule: fixed notation from 10^-4 up to (not including) 10^kSignificantDigits, after
// rounding; scientific notation outside.
constexpr int kLowestFixedExponent = -4;

// The longest texts of each notation: "-0.000" and the digits; "-", the digits with a point
// among them; "-d.ddd" then "E" and an exponent of up to four bytes (-324 .. 308).
constexpr std::size_t kExponentChars = 4;
constexpr std::size_t kLongestFixedBelowOne =
    1 + 2 + (-kLowestFixedExponent - 1) + kSignificantDigits;
constexpr std::size_t kLongestFixed = 1 + kSignificantDigits + 1;
constexpr std::size_t kLongestScientific = 1 + kSignificantDigits + 1 + 1 + kExponentChars;
static_assert(kGeneralNumberMaxChars ==
                  std::max({kLongestFixedBelowOne, kLongestFixed, kLongestScientific}),
              "kGeneralNumberMaxChars is the longest text");

char* WriteRounded(char* out, bool negative, const RoundedDigits& rounded)
{
    char digits[kSignificantDigits];
    WriteDigits(rounded.digits, digits);
    std::size_t count = kSignificantDigits;
    while (count > 1 && digits[count - 1] == '0') --count;

    const int exponent = rounded.exponent;
    if (negative) *out++ = '-';
    if (exponent >= kLowestFixedExponent && exponent < kSignificantDigits) {
        if (exponent < 0) {
            *out++ = '0';
            *out++ = '.';
            out = std::fill_n(out, -exponent - 1, '0');
            return std::copy_n(digits, count, out);
        }
        const auto whole = static_cast<std::size_t>(exponent) + 1;
        if (count <= whole) return std::fill_n(std::copy_n(digits, count, out), whole - count, '0');
        out = std::copy_n(digits, whole, out);
        *out++ = '.';
        return std::copy_n(digits + whole, count - whole, out);
    }
    *out++ = digits[0];
    if (count > 1) {
        *out++ = '.';
        out = std::copy_n(digits + 1, count - 1, out);
    }
    *out++ = 'E';
    return std::to_chars(out, out + kExponentChars, exponent).ptr;
}

}  // namespace

char* WriteGeneralNumber(char* out, double value)
{
    if (!std::isfinite(value)) return out;
    if (value == 0.0) {  // also -0: the host has no use for a signed zero
        *out++ = '0';
        return out;
    }
    const double magnitude = std::fabs(value);
    RoundedDigits rounded;
    if (!RoundDirectly(magnitude, rounded)) rounded = RoundByToChars(magnitude);
    return WriteRounded(out, std::signbit(value), rounded);
}

std::string GeneralNumberText(double value)
{
    char buffer[kGeneralNumberMaxChars];
    return std::string(buffer, WriteGeneralNumber(buffer, value));
}

std::string GeneralNumberTextByToChars(double value)
{
    if (!std::isfinite(value)) return {};
    if (value == 0.0) return "0";
    char buffer[kGeneralNumberMaxChars];
    char* end = WriteRounded(buffer, std::signbit(value), RoundByToChars(std::fabs(value)));
    return std::string(buffer, end);
}

}  // namespace MyFunc
