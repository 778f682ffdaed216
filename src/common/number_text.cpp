#include "common/number_text.hpp"

#include <charconv>
#include <cmath>
#include <string_view>
#include <system_error>

namespace MyFunc {

std::string GeneralNumberText(double value)
{
    if (!std::isfinite(value)) return {};
    if (value == 0.0) return "0";  // also -0: the host has no use for a signed zero

    // to_chars rounds the exact binary value to 15 significant digits with ties to even, like
    // C's %.15G, and is the same on every target and in every locale (the C runtimes' printf
    // families are neither). Its exponent belongs to the rounded value, so 999999999999999.9
    // comes out as 1.00000000000000e+15 and is written 1E15.
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                            std::chars_format::scientific, 14);
    if (error != std::errc()) return {};
    const std::string_view text(buffer, static_cast<std::size_t>(end - buffer));

    // text: ["-"] d "." dddddddddddddd "e" ("+" | "-") exponent digits
    const bool negative = text.front() == '-';
    const std::size_t first = negative ? 1 : 0;
    const std::size_t e = text.find('e');
    std::string digits;
    digits += text[first];
    digits.append(text.substr(first + 2, e - first - 2));
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string_view exponentText = text.substr(e + 1);
    if (exponentText.front() == '+') exponentText.remove_prefix(1);
    int exponent = 0;
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);

    std::string result;
    if (negative) result += '-';
    if (exponent >= -4 && exponent < 15) {
        if (exponent < 0) {
            result += "0.";
            result.append(static_cast<std::size_t>(-exponent - 1), '0');
            result += digits;
        } else {
            const auto whole = static_cast<std::size_t>(exponent) + 1;
            if (digits.size() <= whole) {
                result += digits;
                result.append(whole - digits.size(), '0');
            } else {
                result.append(digits, 0, whole);
                result += '.';
                result.append(digits, whole);
            }
        }
    } else {
        result += digits[0];
        if (digits.size() > 1) {
            result += '.';
            result.append(digits, 1);
        }
        result += 'E';
        char exponentBuffer[16];
        const auto written = std::to_chars(exponentBuffer, exponentBuffer + sizeof exponentBuffer,
                                           exponent);
        result.append(exponentBuffer, written.ptr);
    }
    return result;
}

}  // namespace MyFunc
