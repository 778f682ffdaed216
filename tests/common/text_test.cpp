#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "common/text.hpp"

using MyFunc::CutToWholeChars;
using MyFunc::RemoveBlanks;
using MyFunc::TextToIntOrZero;
using MyFunc::TextToRealOrZero;

TEST(TextToIntOrZero, FollowsTheWholeTextGrammar)
{
    struct Case {
        const char* text;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"12", 12},           {"-7", -7},           {"+7", 7},
        {"   3", 3},          {"007", 7},           {"", 0},
        {"3 ", 0},            {"\t3", 0},           {"1.5", 0},
        {"--1", 0},           {"+-1", 0},           {"- 1", 0},
        {"2147483647", 2147483647},                 {"2147483648", 0},
        {"-2147483648", INT32_MIN},                 {"-2147483649", 0},
        {"00000000000000000000012", 12},            {"99999999999999999999", 0},
        {"$1F", 31},          {"$1f", 31},          {"x1F", 31},
        {"X1F", 31},          {"0x1F", 31},         {"0X1f", 31},
        {"-$10", 16},         {"$FFFFFFFF", -1},    {"$80000000", INT32_MIN},
        {"$123456789", 0},    {"$", 0},             {"0x", 0},
        {"$G", 0},            {"$1 ", 0},           {"1e3", 0},
        {"$A", 10},           {"$f", 15},           {"$Z", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("text [") + c.text + "]");
        EXPECT_EQ(TextToIntOrZero(c.text), c.expected);
    }
}

TEST(TextToRealOrZero, FollowsTheWholeTextGrammar)
{
    struct Case {
        const char* text;
        double expected;
    };
    const Case cases[] = {
        {"1.5", 1.5},       {"-.5", -0.5},      {"2E3", 2000.0},   {"2e-3", 0.002},
        {"2E+3", 2000.0},   {"  7", 7.0},       {"+7.", 7.0},      {".25", 0.25},
        {"", 0.0},          {"1,5", 0.0},       {"1e", 0.0},       {"1e+", 0.0},
        {".", 0.0},         {"-", 0.0},         {"1.5 ", 0.0},     {"\t1", 0.0},
        {"1.2.3", 0.0},     {"inf", 0.0},       {"nan", 0.0},      {"0x10", 0.0},
        {"1e999", 0.0},     {"-1e999", 0.0},    {"1e-400", 0.0},   {"E5", 0.0},
        {"1500", 1500.0},   {"0.1", 0.1},       {"123456789012345", 123456789012345.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("text [") + c.text + "]");
        EXPECT_EQ(TextToRealOrZero(c.text), c.expected);
        // Every 0 above is a text that is no number (the table has no "0").
        EXPECT_EQ(MyFunc::TextToReal(c.text).has_value(), c.expected != 0.0);
    }
    EXPECT_EQ(MyFunc::TextToReal(" 0"), 0.0);
    EXPECT_EQ(MyFunc::TextToReal("-0.0"), -0.0);
}

TEST(TextToRealOrZero, GivesTheNearestDouble)
{
    // Correctly rounded: the halfway case between two doubles and a long digit string.
    EXPECT_EQ(TextToRealOrZero("9007199254740993"), 9007199254740992.0);
    EXPECT_EQ(TextToRealOrZero("0.1000000000000000055511151231257827"), 0.1);
    EXPECT_EQ(TextToRealOrZero("4.9406564584124654e-324"), 4.9406564584124654e-324);
    EXPECT_TRUE(std::signbit(TextToRealOrZero("-0")));
}

TEST(PlainDecimalToReal, TakesOnlyWhatOneDivisionConvertsExactly)
{
    // Values: the doubles nearest to the decimals, as the compiler reads the same literals.
    struct Case {
        const char* text;
        bool plain;
        double expected;
    };
    const Case cases[] = {
        {"3600", true, 3600.0},
        {"-1820.5", true, -1820.5},
        {"+.5", true, 0.5},
        {"7.", true, 7.0},
        {"0.1", true, 0.1},
        {"12345.6789012345", true, 12345.6789012345},
        {"-0.000123456789012345", true, -0.000123456789012345},
        {"9007199254740992", true, 9007199254740992.0},                 // 2^53, the largest
        {"9007199.254740992", true, 9007199.254740992},
        {"0.0000000000000000000001", true, 1e-22},                      // 22 decimals
        {"000000000000000000000000001.5", true, 1.5},                   // zeros add nothing
        {"9007199254740993", false, 0.0},                               // above 2^53
        {"0.00000000000000000000001", false, 0.0},                      // 23 decimals
        {"1.00000000000000000000000", false, 0.0},
        {"1.0000000000000000000000", false, 0.0},                       // 10^22 > 2^53
        {"1e5", false, 0.0},
        {" 1", false, 0.0},
        {"1 ", false, 0.0},
        {"", false, 0.0},
        {".", false, 0.0},
        {"-", false, 0.0},
        {"+-1", false, 0.0},
        {"1.2.3", false, 0.0},
        {"1x", false, 0.0},
        {"4e400", false, 0.0},
        // Runs of digits across the eight-byte words the reader takes them in.
        {"12345678", true, 12345678.0},
        {"123456789", true, 123456789.0},
        {"-1234567.8", true, -1234567.8},
        {"12345678.12345678", true, 12345678.12345678},
        {"0000000000000000000000009007199254740992", true, 9007199254740992.0},
        {"90071992547409.92", true, 90071992547409.92},
        {"90071992547409921", false, 0.0},                              // 17 digits
        {"0.00000000000000000000010", false, 0.0},                      // 23 decimals
    };
    // Behind the text in memory: digits, a point and a sign, which must not be taken.
    const std::string behind = "98.7-6543210";
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("text [") + c.text + "]");
        double value = -99.0;
        ASSERT_EQ(MyFunc::PlainDecimalToReal(c.text, value), c.plain);
        if (c.plain) {
            EXPECT_EQ(value, c.expected);
            EXPECT_EQ(TextToRealOrZero(c.text), c.expected);
        }
        // The reading eight bytes at a time takes what the digit-by-digit one takes, bit for bit.
        const std::string text = c.text;
        const std::string stored = text + behind;
        double byDigit = -99.0;
        double byWord = -99.0;
        const std::size_t length = MyFunc::PlainDecimalLength(text, byDigit);
        ASSERT_EQ(MyFunc::PaddedPlainDecimalLength(std::string_view(stored).substr(0, text.size()),
                                                   byWord),
                  length);
        if (length != 0) {
            EXPECT_EQ(std::memcmp(&byWord, &byDigit, sizeof byWord), 0);
        }
    }
    double zero = 0.0;
    ASSERT_TRUE(MyFunc::PlainDecimalToReal("-0.0", zero));
    EXPECT_TRUE(std::signbit(zero));
}

TEST(RemoveBlanks, DropsBlanksAndControlBytesButKeepsCharacters)
{
    struct Case {
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"\x82\x60\x81\x40\x82\x61 C", "\x82\x60\x82\x61" "C"},  // Ａ　Ｂ C -> ＡＢC
        {"\x81\x40\x81\x40\x81\x40", ""},
        {" \t\r\n", ""},
        {"a b", "ab"},
        {"\x81\x41", "\x81\x41"},                      // a pair whose trail byte is not 0x40
        {"\x88\x20", "\x88\x20"},                      // a trail byte 0x20 is not a blank
        {"x\x81", "x\x81"},                            // lone lead byte at the end stays
        {std::string("\x7f\xfe\xff", 3), std::string("\x7f\xfe\xff", 3)},
        {std::string("a\0b", 3), "ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(RemoveBlanks(c.text), c.expected);
    }
}

TEST(CutToWholeChars, NeverSplitsATwoByteCharacter)
{
    const std::string ascii(300, 'a');
    EXPECT_EQ(CutToWholeChars(ascii, 255).size(), 255u);

    // 127 two-byte characters (254 bytes) then one more: byte 255 would be a lead byte.
    std::string kanji;
    for (int i = 0; i < 128; ++i) kanji += "\x88\x9f";
    EXPECT_EQ(CutToWholeChars(kanji, 255).size(), 254u);

    // "a" then two-byte characters: they end on byte 255 exactly.
    const std::string shifted = "a" + kanji;
    EXPECT_EQ(CutToWholeChars(shifted, 255).size(), 255u);

    // A text that fits is untouched, even ending in a lone lead byte.
    EXPECT_EQ(CutToWholeChars("ab\x88", 255), "ab\x88");

    // The walk starts at the first byte: a trail byte that looks like a lead byte is not one.
    std::string tricky = "\x88\x88";  // one character whose second byte is in the lead range
    tricky += std::string(253, 'b');  // 255 bytes
    tricky += "c";
    EXPECT_EQ(CutToWholeChars(tricky, 255).size(), 255u);
}
