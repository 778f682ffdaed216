#include "dimension/value_text.hpp"

#include <string_view>

#include "common/value_format.hpp"

namespace Dimension {
namespace {

constexpr std::string_view kMillimetres = "mm";       // stays half width
constexpr std::string_view kMetres = "\x82\x8D";      // "ｍ"

}  // namespace

std::string FormatDimensionValue(double distance, const ValueOptions& options)
{
    const bool metres = options.unit != 0;

    // The quotient is stored as a double before it is rounded: 1234.5 mm is 1.234 m, not 1.235.
    const double value = metres ? distance / 1000.0 : distance;
    const double rounded = MyFunc::RoundToPrecision(options.precision, options.rounding, value);

    std::string number = options.thousandsCommas
                             ? MyFunc::FormatGroupedDecimals(options.precision, rounded)
                             : MyFunc::FormatFixedDecimals(options.precision, rounded);
    if (options.showTrailingZeros == 0) MyFunc::DropTrailingZeros(number);
    if (options.fullWidth) number = MyFunc::ToFullWidth(number);

    std::string text = options.prefix;
    text += number;
    if (options.appendUnit) text += metres ? kMetres : kMillimetres;
    text += options.suffix;
    return text;
}

std::string PlainValueText(double distance, const ValueOptions& options)
{
    ValueOptions plain;
    plain.precision = options.precision;
    plain.rounding = options.rounding;
    plain.unit = options.unit;
    plain.showTrailingZeros = 0;
    plain.thousandsCommas = false;
    plain.appendUnit = false;
    plain.fullWidth = false;
    return FormatDimensionValue(distance, plain);
}

}  // namespace Dimension
