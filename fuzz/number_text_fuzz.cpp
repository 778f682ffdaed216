// GeneralNumberText on arbitrary doubles: the text of every real in a command line.
//
// For a finite value the text must be what C's "%.15G" writes (the exact binary value rounded to
// 15 significant digits, ties to even, notation chosen on the rounded value) with the exponent
// written without "+" and leading zeros; "0" for both zeros; no "-0". A value that is not finite
// gives an empty text. The text must read back, through the same conversion the exchange reader
// uses, as the double nearest to the 15-digit decimal.
#include <cmath>
#include <cstdio>
#include <string>

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Fuzz::InputReader input(data, size);
    const double value = input.Double();
    const std::string text = MyFunc::GeneralNumberText(value);

    if (!std::isfinite(value)) {
        if (!text.empty()) Fuzz::Fail("a non-finite value has a number text", text);
        return 0;
    }
    const std::string expected = ReferenceText(value);
    if (text != expected) {
        Fuzz::Fail("number text differs from the 15-digit reference",
                   "got " + text + ", expected " + expected);
    }
    if (text.size() > 22) Fuzz::Fail("number text longer than 22 bytes", text);

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
    return 0;
}
