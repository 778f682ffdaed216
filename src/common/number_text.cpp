#include "common/number_text.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <system_error>

namespace MyFunc {
namespace {

// A finite magnitude above zero rounded to 15 significant digits: digits * 10^(exponent - 14),
// with 10^14 <= digits < 10^15.
struct Rounded15 {
    std::uint64_t digits = 0;
    int exponent = 0;
};

constexpr std::uint64_t kTen14 = 100'000'000'000'000;
constexpr std::uint64_t kTen15 = 1'000'000'000'000'000;

// The short way scales by 10^k = 5^k * 2^k with 5^k below 2^64.
constexpr int kLargestScale = 27;

constexpr std::array<std::uint64_t, kLargestScale + 1> kPowersOfFive = [] {
    std::array<std::uint64_t, kLargestScale + 1> powers{};
    powers[0] = 1;
    for (std::size_t k = 1; k < powers.size(); ++k) powers[k] = powers[k - 1] * 5;
    return powers;
}();

// floor(e * log10 2), for the binary exponents of the magnitudes the short way takes.
constexpr int FloorLog10OfPowerOfTwo(int e) { return (e * 78913) >> 18; }

constexpr std::uint64_t PowerOfTen(int n)
{
    std::uint64_t p = 1;
    for (int i = 0; i < n; ++i) p *= 10;
    return p;
}

// 10^f <= 2^e < 10^(f + 1) for f = FloorLog10OfPowerOfTwo(e), checked in exact integers for
// every exponent the short way can meet (scales 0 to kLargestScale: e from about -47 to 50).
constexpr bool FloorLog10IsExact()
{
    for (int e = -60; e <= 60; ++e) {
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

// The 15 digits in exact integer arithmetic, for magnitudes from about 1e-13 to 1e14 (every
// coordinate and length of a drawing). False for the rest, which to_chars takes.
bool RoundTo15Directly(double magnitude, Rounded15& rounded)
{
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const int biased = static_cast<int>(bits >> 52);
    if (biased == 0) return false;  // subnormal
    const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    const int q = biased - 1075;  // magnitude = m * 2^q, 2^(q+52) <= magnitude < 2^(q+53)
    // The decimal exponent of the magnitude is this or one more.
    const int estimate = FloorLog10OfPowerOfTwo(q + 52);
    int k = 14 - estimate;
    if (k < 0 || k > kLargestScale) return false;
    std::uint64_t digits = 0;
    if (!RoundedScaled(m, q, k, digits)) return false;
    if (digits >= kTen15) {
        // The exponent is one more, or the rounding carried into a sixteenth digit.
        if (k == 0) return false;
        k -= 1;
        if (!RoundedScaled(m, q, k, digits)) return false;
    }
    if (digits < kTen14 || digits >= kTen15) return false;  // cannot happen; never guess
    rounded = {digits, 14 - k};
    return true;
}

Rounded15 RoundTo15ByToChars(double magnitude)
{
    // to_chars rounds the exact binary value to 15 significant digits with ties to even, like
    // C's %.15G, and is the same on every target and in every locale (the C runtimes' printf
    // families are neither). Its exponent belongs to the rounded value, so 999999999999999.9
    // comes out as 1.00000000000000e+15.
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                            std::chars_format::scientific, 14);
    Rounded15 rounded;
    if (error != std::errc()) return rounded;
    // text: d "." dddddddddddddd "e" ("+" | "-") exponent digits
    const std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    const std::size_t e = text.find('e');
    for (std::size_t i = 0; i < e; ++i) {
        if (text[i] != '.') rounded.digits = rounded.digits * 10 + static_cast<unsigned>(text[i] - '0');
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

// The 15 digits of 10^14 <= value < 10^15, two at a time: the low eight and the high seven each
// in 32-bit arithmetic.
void WriteFifteenDigits(std::uint64_t value, char* digits)
{
    char* at = digits + 15;
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
    writePairs(static_cast<std::uint32_t>(value % 100'000'000), 4);
    const std::uint32_t first = writePairs(static_cast<std::uint32_t>(value / 100'000'000), 3);
    digits[0] = static_cast<char>('0' + first);
}

char* WriteRounded(char* out, bool negative, const Rounded15& rounded)
{
    char digits[15];
    WriteFifteenDigits(rounded.digits, digits);
    std::size_t count = 15;
    while (count > 1 && digits[count - 1] == '0') --count;

    const int exponent = rounded.exponent;
    if (negative) *out++ = '-';
    if (exponent >= -4 && exponent < 15) {
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
    return std::to_chars(out, out + 4, exponent).ptr;  // -324 .. 308: four bytes at most
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
    Rounded15 rounded;
    if (!RoundTo15Directly(magnitude, rounded)) rounded = RoundTo15ByToChars(magnitude);
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
    char* end = WriteRounded(buffer, std::signbit(value), RoundTo15ByToChars(std::fabs(value)));
    return std::string(buffer, end);
}

}  // namespace MyFunc
