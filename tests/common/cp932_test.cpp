// Code page 932 as Unicode, every single byte and every pair of bytes. The expectations are the
// rules of common/cp932.hpp and characters read off the code page's published chart; the table
// itself is checked natively against glibc's iconv and on Windows against the system.
#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <string>

#include "common/cp932.hpp"
#include "common/text.hpp"
#include "support/byte_texts.hpp"

#ifdef _WIN32
#include <windows.h>
#else
#include <gnu/libc-version.h>
#include <iconv.h>
#endif

namespace {

using MyFunc::Cp932ToUtf16;
using MyFunc::Cp932ToUtf8;

constexpr char16_t kDefaultCharacter = 0x30FB;  // ・
const std::string kMiddleDot = "\xE3\x83\xBB";

std::string Bytes(std::initializer_list<unsigned char> bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

std::string Hex(unsigned value, int digits)
{
    char text[8];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

}  // namespace

TEST(Cp932, ConvertsEachCharacterAsWindowsDoes)
{
    // Shift-JIS text, its UTF-8.
    const ByteTexts::Case cases[] = {
        {"ASCII, backslash and tilde as they are", "1,500.25 \\~<&>", "1,500.25 \\~<&>"},
        {"control bytes and NUL as they are", std::string("\x01\x1F\x7F\x00" "A", 5),
         std::string("\x01\x1F\x7F\x00" "A", 5)},
        {"ideographic space", "\x81\x40", "\xE3\x80\x80"},
        {"plus-minus, two bytes of UTF-8", "\x81\x7D", "\xC2\xB1"},
        {"full-width metre", "\x82\x8D", "\xEF\xBD\x8D"},
        {"full-width digits 0 and 9", "\x82\x4F\x82\x58", "\xEF\xBC\x90\xEF\xBC\x99"},
        {"full-width X and 1", "\x82\x77\x82\x50", "\xEF\xBC\xB8\xEF\xBC\x91"},
        {"hiragana first and last", "\x82\x9F\x82\xF1", "\xE3\x81\x81\xE3\x82\x93"},
        // ァ, ミ before the gap at 0x7F, ム after it, ヶ
        {"katakana around the row's gap", "\x83\x40\x83\x7E\x83\x80\x83\x96",
         "\xE3\x82\xA1\xE3\x83\x9F\xE3\x83\xA0\xE3\x83\xB6"},
        {"last entry of the symbol row", "\x81\xFC", "\xE2\x97\xAF"},
        {"half-width katakana", "\xA1\xB1\xDF", "\xEF\xBD\xA1\xEF\xBD\xB1\xEF\xBE\x9F"},
        {"kanji of level 1: living room", "\x8B\x8F\x8A\xD4", "\xE5\xB1\x85\xE9\x96\x93"},
        {"kanji of level 2 at the table's end", "\xEA\xA4", "\xE7\x86\x99"},  // 熙
        {"about, a value's prefix", "\x96\xF1", "\xE7\xB4\x84"},                  // 約
        {"circled digit one (NEC row 13)", "\x87\x40", "\xE2\x91\xA0"},          // ①
        {"millimetre square (NEC row 13)", "\x87\x6F", "\xE3\x8E\x9C"},          // ㎜
        {"parenthesised kabushiki (NEC row 13)", "\x87\x8A", "\xE3\x88\xB1"},    // ㈱
        {"taka with the ladder, IBM and NEC-selected rows", "\xFB\xFC\xEE\xE0",
         "\xE9\xAB\x99\xE9\xAB\x99"},  // 髙 twice
        {"because, in the symbol, NEC and IBM rows", "\x81\xE6\x87\x9A\xFA\x5B",
         "\xE2\x88\xB5\xE2\x88\xB5\xE2\x88\xB5"},  // ∵ three times
        {"NEC-selected IBM rows", "\xED\x40\xEE\xEF", "\xE7\xBA\x8A\xE2\x85\xB0"},  // 纊 ⅰ
        {"user-defined rows, first and last", "\xF0\x40\xF9\xFC",
         "\xEE\x80\x80\xEE\x9D\x97"},  // U+E000, U+E757
        {"single byte 0x80", "\x80", "\xC2\x80"},
        {"single byte 0xA0", "\xA0", "\xEF\xA3\xB0"},
        {"single byte 0xFD at the end", "A\xFD", "A\xEF\xA3\xB1"},
        {"single bytes 0xFE and 0xFF", "\xFE\xFF", "\xEF\xA3\xB2\xEF\xA3\xB3"},
        {"a pair led by 0x80 is one middle dot", "\x80\x41" "B", kMiddleDot + "B"},
        {"a pair led by 0xFD is one middle dot", "\xFD\xFE" "B", kMiddleDot + "B"},
        {"an empty row", "\x85\x40", kMiddleDot},
        {"a hole in the symbol row", "\x81\xAD", kMiddleDot},
        {"a hole after the table's last kanji", "\xEA\xA5", kMiddleDot},
        {"an empty IBM row", "\xEF\x40", kMiddleDot},
        {"trail byte 0x7F", "\x81\x7F", kMiddleDot},
        {"trail byte 0xFD", "\x81\xFD", kMiddleDot},
        {"a trail byte out of range takes its lead byte along", "\x82\x20" "A", kMiddleDot + "A"},
        {"a line feed after a lead byte belongs to it", "\x81\x0A" "A", kMiddleDot + "A"},
        {"a NUL after a lead byte belongs to it", std::string("\x81\x00" "A", 3),
         kMiddleDot + "A"},
        {"a lone lead byte at the end", "A\x82", "A" + kMiddleDot},
        {"empty", "", ""},
    };
    ByteTexts::ExpectConversions(cases, Cp932ToUtf8);
}

TEST(Cp932, Utf16HoldsOneUnitPerCharacter)
{
    EXPECT_EQ(Cp932ToUtf16("\x96\xF1" "900\x87\x6F"), u"\u7D04" "900\u339C");  // 約900㎜
    EXPECT_EQ(Cp932ToUtf16("\xFB\xFC\x8B\xB4\x93\x40 \x87\x8A"),
              u"\u9AD9\u6A4B\u90B8 \u3231");  // 髙橋邸 ㈱
    EXPECT_EQ(Cp932ToUtf16("\x87\x40\x92\xCA\x82\xE8\x90\x63 \x82\x77\x82\x50"),
              u"\u2460\u901A\u308A\u82AF \uFF38\uFF11");  // ①通り芯 Ｘ１
    EXPECT_EQ(Cp932ToUtf16(std::string("\x80\xA0\xFE\xFF\x00\x82", 6)),
              std::u16string(u"\u30FB\uF8F2\uF8F3") + u'\0' + u"\u30FB");
    EXPECT_EQ(Cp932ToUtf16(""), u"");
}

// Every byte alone, and every pair a text can hold: one character each, in the basic plane, and
// as many defined pairs as the code page has.
TEST(Cp932, EveryByteAndEveryPair)
{
    for (unsigned b = 0; b < 256; ++b) {
        SCOPED_TRACE("byte " + Hex(b, 2));
        const std::u16string one = Cp932ToUtf16(Bytes({static_cast<unsigned char>(b)}));
        ASSERT_EQ(one.size(), 1u);
        char16_t expected = kDefaultCharacter;  // a lead byte with nothing after it
        if (b < 0x80) expected = static_cast<char16_t>(b);
        if (b >= 0xA1 && b <= 0xDF) expected = static_cast<char16_t>(0xFF61 + b - 0xA1);
        if (b == 0x80) expected = 0x0080;
        if (b == 0xA0) expected = 0xF8F0;
        if (b >= 0xFD) expected = static_cast<char16_t>(0xF8F1 + b - 0xFD);
        EXPECT_EQ(one[0], expected);
    }
    int defined = 0;
    for (unsigned lead = 0x80; lead < 0x100; ++lead) {
        if (!MyFunc::IsLeadByte(static_cast<unsigned char>(lead))) continue;
        for (unsigned trail = 0; trail < 0x100; ++trail) {
            const std::string pair = Bytes({static_cast<unsigned char>(lead),
                                            static_cast<unsigned char>(trail)});
            const std::u16string c = Cp932ToUtf16(pair);
            ASSERT_EQ(c.size(), 1u) << Hex(lead, 2) << " " << Hex(trail, 2);
            ASSERT_FALSE(c[0] >= 0xD800 && c[0] <= 0xDFFF) << Hex(lead, 2) << " " << Hex(trail, 2);
            ASSERT_NE(c[0], 0) << Hex(lead, 2) << " " << Hex(trail, 2);
            if (c[0] != kDefaultCharacter) ++defined;
        }
    }
    // 0x81 0x45 is the middle dot itself.
    EXPECT_EQ(defined + 1, 9604);
}

#ifdef _WIN32

// The system's own conversion over every byte and every pair. Korvane departs from it by its own
// rule of which bytes begin a pair: 0x80 and 0xFD lead a pair, which becomes one middle dot, and
// a lead byte takes any byte after it, also a NUL, which MultiByteToWideChar (measured under
// wine) leaves as a character of its own after the lone lead byte.
TEST(Cp932, AgreesWithMultiByteToWideChar)
{
    auto system = [](const std::string& bytes) {
        wchar_t out[4] = {};
        const int n = MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()),
                                          out, 4);
        return std::u16string(out, out + (n > 0 ? n : 0));
    };
    int differing = 0;
    for (unsigned first = 0; first < 0x100; ++first) {
        const auto lead = static_cast<unsigned char>(first);
        EXPECT_EQ(Cp932ToUtf16(Bytes({lead})), system(Bytes({lead}))) << Hex(first, 2);
        for (unsigned second = 0; second < 0x100; ++second) {
            const std::string pair = Bytes({lead, static_cast<unsigned char>(second)});
            const bool departs = first == 0x80 || first == 0xFD ||
                                 (second == 0 && MyFunc::IsLeadByte(lead));
            if (departs) {
                EXPECT_EQ(Cp932ToUtf16(pair), u"\u30FB") << Hex(first, 2) << " " << Hex(second, 2);
                continue;
            }
            if (Cp932ToUtf16(pair) != system(pair) && ++differing <= 20) {
                ADD_FAILURE() << Hex(first, 2) << " " << Hex(second, 2) << ": Korvane U+"
                              << Hex(Cp932ToUtf16(pair)[0], 4) << ", Windows U+"
                              << Hex(system(pair)[0], 4);
            }
        }
    }
    EXPECT_EQ(differing, 0);
}

#else

// A cross-check of the table kept in the repository (common/cp932_table.inc) against glibc's
// iconv, on every pair iconv defines. glibc's CP932 is a fixed table that has not changed in
// years; should a glibc update change it, the failure names glibc and the pair, and the table
// (which follows Windows, not glibc) stays as it is.
TEST(Cp932, TableAgreesWithGlibcIconv)
{
    const iconv_t cd = iconv_open("UTF-16LE", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) GTEST_SKIP() << "glibc's iconv has no CP932 here";
    int compared = 0;
    int differing = 0;
    for (unsigned lead = 0x81; lead < 0xFD; ++lead) {
        if (!MyFunc::IsLeadByte(static_cast<unsigned char>(lead))) continue;
        for (unsigned trail = 0; trail < 0x100; ++trail) {
            char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            unsigned char out[8] = {};
            char* inPointer = in;
            char* outPointer = reinterpret_cast<char*>(out);
            std::size_t inLeft = 2;
            std::size_t outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            const std::size_t result = iconv(cd, &inPointer, &inLeft, &outPointer, &outLeft);
            if (result == static_cast<std::size_t>(-1) || inLeft != 0 || outLeft != 6) continue;
            ++compared;
            const auto theirs = static_cast<char16_t>(out[0] | out[1] << 8);
            const char16_t ours = Cp932ToUtf16(std::string(in, 2))[0];
            if (ours != theirs && ++differing <= 20) {
                ADD_FAILURE() << "glibc " << gnu_get_libc_version() << "'s iconv CP932 maps "
                              << Hex(lead, 2) << " " << Hex(trail, 2) << " to U+" << Hex(theirs, 4)
                              << ", the table kept in the repository to U+" << Hex(ours, 4);
            }
        }
    }
    iconv_close(cd);
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(compared, 9604) << "glibc " << gnu_get_libc_version()
                              << "'s iconv CP932 no longer defines the code page's pairs";
}

#endif
