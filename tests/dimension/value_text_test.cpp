#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "dimension/value_text.hpp"
#include "support/test_files.hpp"

using Dimension::FormatDimensionValue;
using Dimension::PlainValueText;
using Dimension::ValueOptions;

namespace {

// The dialog's defaults: three decimals, half up, zeros stripped, millimetres, all boxes off.
ValueOptions Defaults() { return ValueOptions{}; }

ValueOptions With(void (*change)(ValueOptions&))
{
    ValueOptions options = Defaults();
    change(options);
    return options;
}

struct Case {
    const char* name;
    double distance;
    ValueOptions options;
    std::string expected;
};

template <std::size_t N>
void Check(const Case (&cases)[N])
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TestFiles::HexBytes(FormatDimensionValue(c.distance, c.options)), TestFiles::HexBytes(c.expected))
            << "text: " << FormatDimensionValue(c.distance, c.options);
    }
}

}  // namespace

TEST(FormatDimensionValue, WorkedExampleWithEveryOptionCombination)
{
    const Case cases[] = {
        {"all off", 1234.5, Defaults(), "1234.5"},
        {"commas", 1234.5, With([](ValueOptions& o) { o.thousandsCommas = true; }), "1,234.5"},
        {"commas, zeros kept", 1234.5,
         With([](ValueOptions& o) { o.thousandsCommas = true; o.showTrailingZeros = 1; }),
         "1,234.500"},
        {"zeros kept", 1234.5, With([](ValueOptions& o) { o.showTrailingZeros = 1; }),
         "1234.500"},
        {"commas, unit", 1234.5,
         With([](ValueOptions& o) { o.thousandsCommas = true; o.appendUnit = true; }),
         "1,234.5mm"},
        {"commas, unit, full width", 1234.5,
         With([](ValueOptions& o) {
             o.thousandsCommas = true;
             o.appendUnit = true;
             o.fullWidth = true;
         }),
         "\x82\x50\x81\x43\x82\x51\x82\x52\x82\x53\x81\x44\x82\x54" "mm"},  // １，２３４．５mm
        {"full width", 1234.5, With([](ValueOptions& o) { o.fullWidth = true; }),
         "\x82\x50\x82\x51\x82\x52\x82\x53\x81\x44\x82\x54"},  // １２３４．５
        {"full width, zeros kept", 1234.5,
         With([](ValueOptions& o) { o.fullWidth = true; o.showTrailingZeros = 1; }),
         "\x82\x50\x82\x51\x82\x52\x82\x53\x81\x44\x82\x54\x82\x4F\x82\x4F"},  // １２３４．５００
        // 1234.5 / 1000 lies just below 1.2345, so half up gives 1.234.
        {"metres", 1234.5, With([](ValueOptions& o) { o.unit = 1; }), "1.234"},
        {"metres, unit", 1234.5,
         With([](ValueOptions& o) { o.unit = 1; o.appendUnit = true; }), "1.234\x82\x8D"},  // ｍ
        {"metres, unit, full width", 1234.5,
         With([](ValueOptions& o) { o.unit = 1; o.appendUnit = true; o.fullWidth = true; }),
         "\x82\x50\x81\x44\x82\x51\x82\x52\x82\x53\x82\x8D"},  // １．２３４ｍ
        {"commas, zeros kept, unit, full width", 1234.5,
         With([](ValueOptions& o) {
             o.thousandsCommas = true;
             o.showTrailingZeros = 1;
             o.appendUnit = true;
             o.fullWidth = true;
         }),
         "\x82\x50\x81\x43\x82\x51\x82\x52\x82\x53\x81\x44\x82\x54\x82\x4F\x82\x4F" "mm"},
    };
    Check(cases);
}

TEST(FormatDimensionValue, RoundsBeforeFormatting)
{
    const auto withRounding = [](std::int32_t precision, std::int32_t rounding) {
        ValueOptions o = Defaults();
        o.precision = precision;
        o.rounding = rounding;
        return o;
    };
    const Case cases[] = {
        {"round up, remainder half a tenth", 12.305, withRounding(1, 1), "12.3"},
        {"round up to the next whole", 1499.2, withRounding(0, 1), "1500"},
        {"round up keeps a small remainder out", 1499.05, withRounding(0, 1), "1499"},
        {"truncate whole", 1499.999, withRounding(0, 0), "1499"},
        {"half up at the half", 12.25, withRounding(1, 2), "12.3"},
        {"half up, binary value below the half", 2.675, withRounding(2, 2), "2.67"},
        {"eight decimals", 0.123456786, withRounding(8, 2), "0.12345679"},
        {"eight decimals, binary value below the half", 0.123456785, withRounding(8, 2),
         "0.12345678"},
        {"rounding to a whole 10", 9.9996, withRounding(3, 2), "10"},
    };
    Check(cases);
}

TEST(FormatDimensionValue, TrailingZerosAndSeparators)
{
    const auto options = [](std::int32_t precision, std::int32_t zeros, bool commas) {
        ValueOptions o = Defaults();
        o.precision = precision;
        o.showTrailingZeros = zeros;
        o.thousandsCommas = commas;
        return o;
    };
    const Case cases[] = {
        // Without decimals there is no point, so integer zeros are never stripped.
        {"whole, stripped", 100.0, options(0, 0, false), "100"},
        {"whole with commas, stripped", 1000.0, options(0, 0, true), "1,000"},
        {"whole, rounded", 1200.4, options(0, 0, false), "1200"},
        {"all decimals zero", 2.0, options(3, 0, false), "2"},
        {"zero", 0.0, options(3, 0, false), "0"},
        {"zeros inside the decimals stay", 1.05, options(3, 0, false), "1.05"},
        {"integer zeros before the point stay", 1000.5, options(3, 0, true), "1,000.5"},
        {"kept: exactly the precision", 1.5, options(3, 1, false), "1.500"},
        {"kept: whole number", 2.0, options(2, 1, true), "2.00"},
        {"kept: no decimals", 1.5, options(0, 1, false), "2"},
        {"kept: zero", 0.0, options(4, 1, false), "0.0000"},
        {"commas without decimals", 1234567.0, options(0, 0, true), "1,234,567"},
        {"commas with decimals", 1234567.25, options(2, 0, true), "1,234,567.25"},
        {"commas on a short number", 999.5, options(1, 0, true), "999.5"},
        {"large value", 1e20, options(0, 0, true), "100,000,000,000,000,000,000"},
    };
    Check(cases);
}

TEST(FormatDimensionValue, NegativeValues)
{
    const Case cases[] = {
        {"plain", -1234.5, Defaults(), "-1234.5"},
        {"commas", -1234.5, With([](ValueOptions& o) { o.thousandsCommas = true; }),
         "-1,234.5"},
        {"rounded on the magnitude", -2.0005, Defaults(), "-2.001"},
        {"full width minus", -1234.5, With([](ValueOptions& o) { o.fullWidth = true; }),
         "\x81\x7C\x82\x50\x82\x51\x82\x52\x82\x53\x81\x44\x82\x54"},  // －１２３４．５
        // A value that rounds to zero has no sign.
        {"rounds to zero", -0.0004, Defaults(), "0"},
        {"rounds to zero, zeros kept", -0.0004,
         With([](ValueOptions& o) { o.showTrailingZeros = 1; }), "0.000"},
        {"truncates to zero", -0.9, With([](ValueOptions& o) { o.precision = 0; o.rounding = 0; }),
         "0"},
    };
    Check(cases);
}

TEST(FormatDimensionValue, PrefixAndSuffixAreNeverConverted)
{
    const Case cases[] = {
        {"half-width prefix", 1500.0,
         With([](ValueOptions& o) { o.prefix = std::string("W="); o.fullWidth = true; }),
         "W=\x82\x50\x82\x54\x82\x4F\x82\x4F"},  // W=１５００
        {"Japanese prefix and suffix", 1500.0,
         With([](ValueOptions& o) {
             o.prefix = std::string("\x96\xF1");                  // 約
             o.suffix = std::string("\x81\x69\x8E\x51\x8D\x6C\x81\x6A");  // （参考）
         }),
         "\x96\xF1" "1500" "\x81\x69\x8E\x51\x8D\x6C\x81\x6A"},
        {"hiragana and half-width kana stay as typed", 1500.0,
         With([](ValueOptions& o) {
             o.prefix = std::string("\xB6\xDE ");          // ｶﾞ and a blank
             o.suffix = std::string(" \x82\xC5\x82\xB7");  // a blank and です
             o.fullWidth = true;
         }),
         "\xB6\xDE \x82\x50\x82\x54\x82\x4F\x82\x4F \x82\xC5\x82\xB7"},
        {"unit between number and suffix", 1500.0,
         With([](ValueOptions& o) {
             o.prefix = std::string("L");
             o.suffix = std::string("!");
             o.appendUnit = true;
             o.fullWidth = true;
         }),
         "L\x82\x50\x82\x54\x82\x4F\x82\x4F" "mm!"},
        {"metres suffix after the unit", 1500.0,
         With([](ValueOptions& o) {
             o.unit = 1;
             o.appendUnit = true;
             o.suffix = std::string("\x96\xF1");  // 約
         }),
         "1.5\x82\x8D\x96\xF1"},
        {"prefix with a point keeps the number's zeros", 2.0,
         With([](ValueOptions& o) { o.prefix = std::string("v1.0 "); }), "v1.0 2"},
    };
    Check(cases);
}

TEST(FormatDimensionValue, AnyUnitOtherThanMillimetresIsMetres)
{
    // The number and the appended unit always agree.
    const ValueOptions metres = With([](ValueOptions& o) { o.unit = 2; o.appendUnit = true; });
    EXPECT_EQ(FormatDimensionValue(2500.0, metres), "2.5\x82\x8D");
}

TEST(PlainValueText, DecidesWhetherAnIntervalGetsAText)
{
    const auto options = [](std::int32_t precision, std::int32_t rounding, std::int32_t unit) {
        ValueOptions o = Defaults();
        o.precision = precision;
        o.rounding = rounding;
        o.unit = unit;
        // None of these may reach the plain value text.
        o.showTrailingZeros = 1;
        o.thousandsCommas = true;
        o.appendUnit = true;
        o.fullWidth = true;
        o.prefix = std::string("\x96\xF1");  // 約
        o.suffix = std::string("x");
        return o;
    };
    const Case cases[] = {
        {"zero, three decimals", 0.0, options(3, 2, 0), "0"},
        {"zero, no decimals", 0.0, options(0, 2, 0), "0"},
        {"zero, eight decimals", 0.0, options(8, 1, 0), "0"},
        {"rounds to zero", 0.0004, options(3, 2, 0), "0"},
        {"rounds to the first step", 0.0005, options(3, 2, 0), "0.001"},
        {"truncates to zero", 0.0009, options(3, 0, 0), "0"},
        {"round up leaves zero", 0.00009, options(3, 1, 0), "0"},
        {"400 mm in metres, half up", 400.0, options(0, 2, 1), "0"},
        {"400 mm in metres, round up", 400.0, options(0, 1, 1), "1"},
        {"400 mm in metres, one decimal", 400.0, options(1, 2, 1), "0.4"},
        {"no trailing zeros, no commas", 1234.5, options(3, 2, 0), "1234.5"},
        {"thousands without commas", 1234567.0, options(0, 2, 0), "1234567"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PlainValueText(c.distance, c.options), c.expected);
    }
}
