#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <span>
#include <string>

#include "common/value_format.hpp"
#include "support/byte_texts.hpp"
#include "support/test_files.hpp"

using MyFunc::FormatFixedDecimals;
using MyFunc::FormatGroupedDecimals;
using MyFunc::RoundToPrecision;
using MyFunc::TakeWholeChars;
using MyFunc::ToFullWidth;

namespace {

// Compares Shift-JIS texts as hex so that a failure shows the bytes.
#define EXPECT_BYTES(actual, expected) EXPECT_EQ(TestFiles::HexBytes(actual), TestFiles::HexBytes(expected))

// A value written with a number of decimals, by FormatFixedDecimals or FormatGroupedDecimals.
struct DecimalsCase {
    std::int32_t precision;
    double value;
    const char* expected;
};

void ExpectDecimals(std::string (*format)(std::int32_t, double),
                    std::span<const DecimalsCase> cases)
{
    for (const DecimalsCase& c : cases) {
        SCOPED_TRACE("precision " + std::to_string(c.precision) + ", value " +
                     std::to_string(c.value));
        EXPECT_EQ(format(c.precision, c.value), c.expected);
    }
}

}  // namespace

TEST(RoundToPrecision, RoundsTheBinaryValueWithoutDecimalCorrection)
{
    struct Case {
        std::int32_t precision;
        std::int32_t rounding;
        double value;
        double expected;
    };
    const Case cases[] = {
        // Half up on values whose binary form lies just below the halfway point.
        {2, 2, 2.675, 2.67},
        {3, 2, 1234.5 / 1000.0, 1.234},
        {2, 2, 2.665, 2.67},           // just above the halfway point
        {3, 2, 0.0004, 0.0},
        {3, 2, 0.0005, 0.001},
        {1, 2, 12.25, 12.3},           // exact half
        {1, 2, 12.24, 12.2},
        // Round up: a remainder of at least a tenth of a step raises by one step.
        {1, 1, 12.35, 12.4},
        {1, 1, 12.32, 12.4},
        {1, 1, 12.305, 12.3},
        {0, 1, 0.4, 1.0},
        {0, 1, 0.05, 0.0},
        {0, 1, 7.0, 7.0},
        // Truncate.
        {3, 0, 1.9999, 1.999},
        {0, 0, 0.9, 0.0},
        {1, 0, 12.39, 12.3},
        // Any other rounding value rounds half up.
        {1, 5, 0.25, 0.3},
        {1, -1, 0.24, 0.2},
        // Precisions outside 1..13 round to whole units.
        {0, 2, 1.5, 2.0},
        {14, 2, 1.6, 2.0},
        {-1, 2, 1.4, 1.0},
        {13, 0, 0.12345678901234, 0.1234567890123},
        // The magnitude is rounded and the sign put back.
        {2, 2, -1.236, -1.24},
        {0, 0, -2.7, -2.0},
        {0, 1, -2.05, -2.0},
        // Large values stay finite and unchanged at whole steps.
        {3, 2, 1e300, 1e300},
        {0, 2, 9007199254740993.0, 9007199254740992.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("precision " + std::to_string(c.precision) + ", rounding " +
                     std::to_string(c.rounding) + ", value " + std::to_string(c.value));
        EXPECT_EQ(RoundToPrecision(c.precision, c.rounding, c.value), c.expected);
    }
}

TEST(RoundToPrecision, StaysFiniteAtTheTopOfTheRange)
{
    const double top = std::numeric_limits<double>::max();
    for (std::int32_t rounding = 0; rounding <= 2; ++rounding) {
        SCOPED_TRACE(testing::Message() << "rounding " << rounding);
        EXPECT_EQ(RoundToPrecision(0, rounding, top), top);
        const double fine = RoundToPrecision(13, rounding, 1e300);
        EXPECT_TRUE(std::isfinite(fine));
        EXPECT_NEAR(fine / 1e300, 1.0, 1e-15);
    }
}

TEST(FormatFixedDecimals, WritesExactlyThePrecisionDigits)
{
    const DecimalsCase cases[] = {
        {3, 1234.5, "1234.500"},
        {0, 1234.0, "1234"},
        {2, 0.1, "0.10"},
        {3, 0.0, "0.000"},
        {0, 0.0, "0"},
        {3, -1.5, "-1.500"},
        // No minus sign for a text that shows only zeros.
        {3, -0.0, "0.000"},
        {0, -0.0, "0"},
        {3, -0.0004, "0.000"},
        {3, -0.0006, "-0.001"},
        // Correct rounding of the binary value, ties to even.
        {0, 2.5, "2"},
        {2, 0.125, "0.12"},
        {2, 2.675, "2.67"},
        // The digits of the exact binary value, also beyond 17 digits and above 2^53.
        {20, 0.1, "0.10000000000000000555"},
        {0, 1e23, "99999999999999991611392"},
        {1, 9007199254740993.0, "9007199254740992.0"},
        // A precision below 0 writes no decimals.
        {-4, 12.75, "13"},
        // Non-finite values have no text.
        {3, std::numeric_limits<double>::infinity(), ""},
        {3, -std::numeric_limits<double>::infinity(), ""},
        {3, std::numeric_limits<double>::quiet_NaN(), ""},
    };
    ExpectDecimals(FormatFixedDecimals, cases);
}

TEST(FormatFixedDecimals, CapsAnAbsurdPrecision)
{
    const std::string text = FormatFixedDecimals(2000000000, 1.0);
    EXPECT_EQ(text.size(), 2u + static_cast<std::size_t>(MyFunc::kMaxFormatDecimals));
    EXPECT_EQ(text.substr(0, 4), "1.00");
    EXPECT_EQ(FormatFixedDecimals(1000, -std::numeric_limits<double>::max()).size(),
              1u + 309u + 1u + static_cast<std::size_t>(MyFunc::kMaxFormatDecimals));
}

TEST(FormatGroupedDecimals, GroupsTheIntegerDigitsByThree)
{
    const DecimalsCase cases[] = {
        {3, 1234.5, "1,234.500"},
        {0, 1000.0, "1,000"},
        {0, 100.0, "100"},
        {0, 123456.0, "123,456"},
        {2, 1234567.891, "1,234,567.89"},
        {8, 12345.125, "12,345.12500000"},
        {0, -1234567.0, "-1,234,567"},
        {1, -999.0, "-999.0"},
        {3, 0.0, "0.000"},
        {2, -0.0001, "0.00"},
        {0, 1e21, "1,000,000,000,000,000,000,000"},
        {0, std::numeric_limits<double>::quiet_NaN(), ""},
    };
    ExpectDecimals(FormatGroupedDecimals, cases);
}

TEST(DropTrailingZeros, DropsOnlyTheZerosBehindThePoint)
{
    struct Case {
        std::string text;
        const char* expected;
    };
    const Case cases[] = {
        {"1,234.500", "1,234.5"}, {"2.000", "2"}, {"10.05", "10.05"}, {"0.0", "0"},
        {"-0.00", "-0"},  // the callers decide what a minus zero becomes
        {"100", "100"},   {"1,000", "1,000"},   {"0", "0"},   {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string text = c.text;
        MyFunc::DropTrailingZeros(text);
        EXPECT_EQ(text, c.expected);
    }
}

TEST(TakeWholeChars, CutsWholeCharactersOutOfTheWindow)
{
    // "a" "あ" "b": あ is 0x82 0xA0 at bytes 2 and 3.
    const std::string mixed = "a\x82\xA0" "b";
    struct Case {
        std::string text;
        std::int32_t start;
        std::int32_t maxBytes;
        std::string piece;
        std::int32_t taken;
    };
    const Case cases[] = {
        {"", 1, 5, "", 0},
        {"abc", 0, 5, "", 0},
        {"abc", -2, 5, "", 0},
        {"abc", 4, 5, "", 0},
        {"abc", 1, 0, "", 0},
        {"abc", 1, -3, "", 0},
        {"abc", 1, 2, "ab", 2},
        {"abc", 2, 5, "bc", 2},
        {"abc", 3, 1, "c", 1},
        {mixed, 1, 2, "a", 1},                  // あ would end past the window
        {mixed, 1, 3, "a\x82\xA0", 3},
        {mixed, 2, 2, "\x82\xA0", 2},
        {mixed, 2, 1, "", 0},
        {mixed, 3, 5, "b", 2},                  // byte 3 belongs to あ: skipped, counted
        {mixed, 3, 1, "", 0},
        {"\x82\xA0\x82\xA2", 1, 3, "\x82\xA0", 2},
        {"\xB6\xDE", 1, 1, "\xB6", 1},          // half-width katakana are single bytes
        {"ab\x82", 1, 5, "ab\x82", 3},          // a lead byte at the very end stands alone
        {"ab\x82", 3, 1, "\x82", 1},
        {"\x82" "a", 1, 1, "", 0},              // a lead byte takes the byte after it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("text [" + TestFiles::HexBytes(c.text) + "] start " + std::to_string(c.start) + " max " +
                     std::to_string(c.maxBytes));
        const MyFunc::WholeCharsPiece result = TakeWholeChars(c.text, c.start, c.maxBytes);
        EXPECT_BYTES(std::string(result.piece), c.piece);
        EXPECT_EQ(result.bytesTaken, c.taken);
    }
}

TEST(ToFullWidth, MapsEveryPrintableAsciiCharacter)
{
    std::string ascii;
    for (int c = 0x20; c <= 0x7E; ++c) ascii += static_cast<char>(c);
    // "　！＂＃＄％＆＇（）＊＋，－．／０１…９：；＜＝＞？＠ＡＢ…ＹＺ［￥］＾＿｀ａｂ…ｙｚ｛｜｝￣"
    const std::string expected =
        "\x81\x40\x81\x49\xFA\x57\x81\x94\x81\x90\x81\x93\x81\x95\xFA\x56"
        "\x81\x69\x81\x6A\x81\x96\x81\x7B\x81\x43\x81\x7C\x81\x44\x81\x5E"
        "\x82\x4F\x82\x50\x82\x51\x82\x52\x82\x53\x82\x54\x82\x55\x82\x56"
        "\x82\x57\x82\x58\x81\x46\x81\x47\x81\x83\x81\x81\x81\x84\x81\x48"
        "\x81\x97\x82\x60\x82\x61\x82\x62\x82\x63\x82\x64\x82\x65\x82\x66"
        "\x82\x67\x82\x68\x82\x69\x82\x6A\x82\x6B\x82\x6C\x82\x6D\x82\x6E"
        "\x82\x6F\x82\x70\x82\x71\x82\x72\x82\x73\x82\x74\x82\x75\x82\x76"
        "\x82\x77\x82\x78\x82\x79\x81\x6D\x81\x8F\x81\x6E\x81\x4F\x81\x51"
        "\x81\x4D\x82\x81\x82\x82\x82\x83\x82\x84\x82\x85\x82\x86\x82\x87"
        "\x82\x88\x82\x89\x82\x8A\x82\x8B\x82\x8C\x82\x8D\x82\x8E\x82\x8F"
        "\x82\x90\x82\x91\x82\x92\x82\x93\x82\x94\x82\x95\x82\x96\x82\x97"
        "\x82\x98\x82\x99\x82\x9A\x81\x6F\x81\x62\x81\x70\x81\x50";
    EXPECT_BYTES(ToFullWidth(ascii), expected);
}

TEST(ToFullWidth, MapsHalfWidthKatakanaAndHiragana)
{
    std::string halfKana;
    for (int c = 0xA1; c <= 0xDF; ++c) halfKana += static_cast<char>(c);
    const std::string fullKana =
        "\x81\x42\x81\x75\x81\x76\x81\x41\x81\x45\x83\x92\x83\x40\x83\x42"  // 。「」、・ヲァィ
        "\x83\x44\x83\x46\x83\x48\x83\x83\x83\x85\x83\x87\x83\x62\x81\x5B"  // ゥェォャュョッー
        "\x83\x41\x83\x43\x83\x45\x83\x47\x83\x49\x83\x4A\x83\x4C\x83\x4E"  // アイウエオカキク
        "\x83\x50\x83\x52\x83\x54\x83\x56\x83\x58\x83\x5A\x83\x5C\x83\x5E"  // ケコサシスセソタ
        "\x83\x60\x83\x63\x83\x65\x83\x67\x83\x69\x83\x6A\x83\x6B\x83\x6C"  // チツテトナニヌネ
        "\x83\x6D\x83\x6E\x83\x71\x83\x74\x83\x77\x83\x7A\x83\x7D\x83\x7E"  // ノハヒフヘホマミ
        "\x83\x80\x83\x81\x83\x82\x83\x84\x83\x86\x83\x88\x83\x89\x83\x8A"  // ムメモヤユヨラリ
        "\x83\x8B\x83\x8C\x83\x8D\x83\x8F\x83\x93\x81\x4A\x81\x4B";        // ルレロワン゛゜
    EXPECT_BYTES(ToFullWidth(halfKana), fullKana);

    // ぁ … ん in code order become ァ … ン; the katakana row skips the byte 0x7F.
    std::string hiragana;
    for (int trail = 0x9F; trail <= 0xF1; ++trail) {
        hiragana += '\x82';
        hiragana += static_cast<char>(trail);
    }
    std::string katakana;
    for (int trail = 0x40; trail <= 0x93; ++trail) {
        if (trail == 0x7F) continue;
        katakana += '\x83';
        katakana += static_cast<char>(trail);
    }
    EXPECT_BYTES(ToFullWidth(hiragana), katakana);
}

TEST(ToFullWidth, JoinsMarksAndKeepsWhatHasNoFullWidthForm)
{
    const ByteTexts::Case cases[] = {
        {"voiced and semi-voiced", "\xB6\xDE\xB7\xDE\xCA\xDF\xCB\xDF\xB3\xDE",  // ｶﾞｷﾞﾊﾟﾋﾟｳﾞ
         "\x83\x4B\x83\x4D\x83\x70\x83\x73\x83\x94"},                          // ガギパピヴ
        {"no joined form", "\xB1\xDE", "\x83\x41\x81\x4A"},                     // ｱﾞ -> ア゛
        {"no joined form in cp932", "\xDC\xDE", "\x83\x8F\x81\x4A"},           // ﾜﾞ -> ワ゛
        {"semi-voiced on a voiced-only kana", "\xB6\xDF", "\x83\x4A\x81\x4B"},  // ｶﾟ -> カ゜
        {"marks alone", "\xDE\xDF", "\x81\x4A\x81\x4B"},                         // ﾞﾟ -> ゛゜
        {"one mark per kana", "\xCA\xDF\xDE", "\x83\x70\x81\x4A"},              // ﾊﾟﾞ -> パ゛
        {"mark after a full-width kana", "\x83\x4A\xDE", "\x83\x4A\x81\x4A"},   // カﾞ -> カ゛
        {"two-byte characters stay", "\x8A\xBF\x8E\x9A\x83\x41\x82\x60\x81\x54",  // 漢字アＡゝ
         "\x8A\xBF\x8E\x9A\x83\x41\x82\x60\x81\x54"},
        {"controls and unassigned bytes stay", "\t\r\n\x7F\xA0\xFE\xFF",
         "\t\r\n\x7F\xA0\xFE\xFF"},
        {"lone lead bytes at the end stay", "12\x80", "\x82\x50\x82\x51\x80"},
        {"lead byte 0xFD with its trail byte", "\xFD\x41", "\xFD\x41"},
        {"number text", "-1,234.5",                                   // －１，２３４．５
         "\x81\x7C\x82\x50\x81\x43\x82\x51\x82\x52\x82\x53\x81\x44\x82\x54"},
        {"empty", "", ""},
    };
    ByteTexts::ExpectConversions(cases, ToFullWidth);
}

TEST(ToFullWidth, ConvertsPiecesOf126BytesOnTheirOwn)
{
    const std::string a125(125, 'a');
    std::string fullA125;
    for (int i = 0; i < 125; ++i) fullA125 += "\x82\x81";  // ａ

    const ByteTexts::Case cases[] = {
        // ｶ is byte 126, the last of the first piece; its mark opens the second piece.
        {"mark split from its kana", a125 + "\xB6\xDE", fullA125 + "\x83\x4A\x81\x4A"},
        // ｶﾞ at bytes 125 and 126 stays in one piece.
        {"mark inside the piece", a125.substr(1) + "\xB6\xDE" + "b",
         fullA125.substr(2) + "\x83\x4B" + "\x82\x82"},
        // あ at bytes 126 and 127 moves whole into the second piece.
        {"two-byte character at the edge", a125 + "\x82\xA0", fullA125 + "\x83\x41"},
    };
    ByteTexts::ExpectConversions(cases, ToFullWidth);

    // A long text converts completely, through many pieces.
    const std::string digits(1000, '7');
    std::string fullDigits;
    for (int i = 0; i < 1000; ++i) fullDigits += "\x82\x56";  // ７
    EXPECT_BYTES(ToFullWidth(digits), fullDigits);
}
