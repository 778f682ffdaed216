// The value text of one interval: a measured distance under the dialog's value options.
#pragma once

#include <cstdint>
#include <string>

namespace Dimension {

struct ValueOptions {
    std::int32_t precision = 3;          // decimals 0..8 (outside 1..13 rounds with factor 1)
    std::int32_t rounding = 2;           // 0 truncate, 1 round up, other: half up
    std::int32_t showTrailingZeros = 0;  // 0 strip them
    std::int32_t unit = 0;               // 0 mm, other: metres
    bool thousandsCommas = false;
    bool appendUnit = false;
    bool fullWidth = false;
    std::string prefix;                  // Shift-JIS, never converted
    std::string suffix;
};

// The value text (Shift-JIS bytes) of a distance.
std::string FormatDimensionValue(double distance, const ValueOptions& options);

// The plain value text: same precision, rounding and unit, every other option off. An interval
// whose plain value text is "0" gets no value text.
std::string PlainValueText(double distance, const ValueOptions& options);

}  // namespace Dimension
