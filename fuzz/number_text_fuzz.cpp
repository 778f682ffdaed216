// GeneralNumberText on arbitrary doubles: the text of every real in a command line.
//
// For a finite value the text must be what C's "%.15G" writes (the exact binary value rounded to
// 15 significant digits, ties to even, notation chosen on the rounded value) with the exponent
// written without "+" and leading zeros; "0" for both zeros; no "-0". A value that is not finite
// gives an empty text. The digits found in integer arithmetic must be the ones to_chars finds,
// also for the input's bits folded into a drawing's magnitudes. The text must read back, through
// the same conversion the exchange reader uses, as the double nearest to the 15-digit decimal.
//
// The reader's one-division conversion of plain decimals must give what from_chars gives, bit
// for bit, on that text and on a decimal spelled by the rest of the input (a byte per digit,
// point or sign), and its reading eight bytes at a time what its reading digit by digit gives.
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <system_error>

#include "common/number_text.hpp"
#include "common/text.hpp"
#include "fuzz_support.hpp"

namespace {

// "%.15G" with the exponent as the command lines write it: 1E+15 -> 1E15, 1E-05 -> 1E-5.
std::string ReferenceText(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    std::string text(buffer);
    const std::size_t e = text.find('E');
    if (e == std::string::npos) return text == "-0" ? "0" : text;
    std::string exponent = text.substr(e + 1);
    std::string sign;
    if (exponent[0] == '+' || exponent[0] == '-') {
        if (exponent[0] == '-') sign = "-";
        exponent.erase(0, 1);
    }
    while (exponent.size() > 1 && exponent[0] == '0') exponent.erase(0, 1);
    return text.substr(0, e + 1) + sign + exponent;
}

// A decimal from the input's bytes: mostly digits, some points and signs.
std::string SpelledDecimal(std::string_view bytes)
{
    std::string text;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 220) {
            text += static_cast<char>('0' + b % 10);
        } else if (b < 240) {
            text += '.';
        } else {
            text += b < 248 ? '-' : '+';
        }
    }
    return text;
}

// The reader's reading eight bytes at a time against the one digit by digit, on the text
// followed in memory by bytes that would extend it.
void CheckPaddedPlainDecimal(std::string_view text)
{
    const std::string_view behinds[] = {"12345678", ".5e1-678",
                                        std::string_view("\0\0\0\0\0\0\0\0", 8)};
    for (const std::string_view behind : behinds) {
        const std::string stored = std::string(text) + std::string(behind);
        double byDigit = 0.0;
        double byWord = 0.0;
        const std::size_t length = MyFunc::PlainDecimalLength(text, byDigit);
        if (MyFunc::PaddedPlainDecimalLength(std::string_view(stored).substr(0, text.size()),
                                             byWord) != length ||
            (length != 0 &&
             std::bit_cast<std::uint64_t>(byWord) != std::bit_cast<std::uint64_t>(byDigit))) {
            Fuzz::Fail("the padded plain decimal differs from the digit-by-digit one", text);
        }
    }
}

void CheckPlainDecimal(std::string_view text)
{
    CheckPaddedPlainDecimal(text);
    double plain = 0.0;
    if (!MyFunc::PlainDecimalToReal(text, plain)) return;
    std::string_view unsigned_text = text;
    if (!unsigned_text.empty() && (unsigned_text[0] == '+' || unsigned_text[0] == '-')) {
        unsigned_text.remove_prefix(1);
    }
    double nearest = 0.0;
    const char* const last = unsigned_text.data() + unsigned_text.size();
    const auto [end, error] =
        std::from_chars(unsigned_text.data(), last, nearest, std::chars_format::fixed);
    if (error != std::errc() || end != last) {
        Fuzz::Fail("a plain decimal that from_chars does not read", text);
    }
    if (!text.empty() && text[0] == '-') nearest = -nearest;
    if (std::bit_cast<std::uint64_t>(plain) != std::bit_cast<std::uint64_t>(nearest)) {
        Fuzz::Fail("one division differs from from_chars", text);
    }
}

void CheckNumberText(double value)
{
    const std::string text = MyFunc::GeneralNumberText(value);
    CheckPlainDecimal(text);

    if (!std::isfinite(value)) {
        if (!text.empty()) Fuzz::Fail("a non-finite value has a number text", text);
        return;
    }
    const std::string expected = ReferenceText(value);
    if (text != expected) {
        Fuzz::Fail("number text differs from the 15-digit reference",
                   "got " + text + ", expected " + expected);
    }
    if (text != MyFunc::GeneralNumberTextByToChars(value)) {
        Fuzz::Fail("the short way's number text differs from to_chars'", text);
    }
    if (text.size() > MyFunc::kGeneralNumberMaxChars) {
        Fuzz::Fail("number text longer than 22 bytes", text);
    }

    // Read back as the host's number grammar does: the nearest double to the text. Fifteen
    // digits of a value within 5E292 of the largest double round above it, and that text
    // spells a value out of range (it reads as 0 here).
    double nearest = 0.0;
    if (std::sscanf(text.c_str(), "%lf", &nearest) != 1) {
        Fuzz::Fail("number text does not read back", text);
    }
    if (std::isfinite(nearest) && MyFunc::TextToRealOrZero(text) != nearest) {
        Fuzz::Fail("number text does not read back", text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Fuzz::InputReader input(data, size);
    const double value = input.Double();
    CheckNumberText(value);
    // The same bits with the binary exponent folded into 2^-64 .. 2^63, the magnitudes of a
    // drawing, whose digits are found in integer arithmetic rather than by to_chars.
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const std::uint64_t folded = (1023 - 64 + ((bits >> 52) & 0x7F)) << 52;
    CheckNumberText(std::bit_cast<double>((bits & 0x800F'FFFF'FFFF'FFFF) | folded));
    CheckPlainDecimal(SpelledDecimal(input.Rest()));
    return 0;
}
