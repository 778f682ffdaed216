// Whatever the two files hold, the picture is a well-formed SVG whose coordinates are finite
// numbers inside it: extreme numbers, broken texts, random bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "picture_support.hpp"

using namespace std::string_literals;
using PreviewTest::CheckedPicture;
using PreviewTest::RenderBytes;

namespace {

Preview::PreviewOptions Everything()
{
    Preview::PreviewOptions options;
    options.grid = true;
    options.labels = true;
    return options;
}

}  // namespace

TEST(PreviewHostile, ExtremeNumbersAndBrokenTexts)
{
    struct Case {
        const char* what;
        std::string input;
        std::string commands;
    };
    const std::string frame = "0 0 100 50\r\n";
    const Case cases[] = {
        {"lines at the ends of the double range", "1e308 1e308 -1e308 -1e308\r\n",
         "1.7976931348623157e308 0 -1.7976931348623157e308 0\r\n"},
        {"a run far from the origin", "hk 0\r\nhp1 1e300 1e300\r\n",
         "1e300 1e300 1.0000000000000001e300 1e300\r\ncs 1e300 1e300 10 0 \"1\r\n"},
        {"denormal sizes", "4.9e-324 0 0 4.9e-324\r\n", "0 0 1e-320 1e-320\r\npt 0 0 1e-320 0 1\r\n"},
        {"huge circles and arcs", "ci 0 0 1e308\r\nci 0 0 1e308 0 90 1e308 45\r\n",
         "ci 1e308 -1e308 1e308 1e308 -1e308 -1 1e308\r\n"},
        {"angles beyond any turn", frame + "ci 10 10 5 1e308 -1e308 1 1e308\r\n",
         "hk 1e308\r\npt 10 10 1 1e308 1\r\ncs 10 10 1e308 -1e308 \"x\r\n"},
        {"huge and zero scales and text sizes",
         "hs 1e308 0 -1 1 1 1 1 1 1 1 1 1 1 1 1 1\r\nhcw 1e308 0 -3 1 1 1 1 1 1 1\r\n"
         "hch 1e308 0 -3 1 1 1 1 1 1 1\r\n" + frame,
         "lg0\r\ncn1\r\ncs 0 0 10 0 \"big\r\npt 5 5 1e308 0 7\r\nlg1\r\ncn2\r\ncs 5 5 10 0 \"zero\r\n"
         "pt 5 5 1 0 1\r\nlg2\r\ncn3\r\ncs 9 9 0 0 \"negative\r\ncn0 1e308 1e-308 -5 1\r\n"
         "cs 1 1 1 1 \"free\r\n"},
        {"texts with markup, quotes and broken characters", frame,
         "cs 1 1 10 0 \"<svg>&amp;\"'</text>\r\n"
         "cs 2 2 10 0 \"\x82\r\n"
         "cs 3 3 10 0 \"\x81\x40\x81\x40\r\n"
         "cs 4 4 10 0 \"\xFE\xFF\xA0\x80\x80\r\n"
         "cs 5 5 10 0 \"a\0b\x1b" "c\r\n"s},
        {"dimension figures without their line", frame, "msg\r\ncs 1 1 10 0 \"\r\nmsg\r\nmsg\r\n"},
        {"every marker code", frame,
         "pt 1 1 1 0 -8\r\npt 2 2 -1 0 -1\r\npt 3 3 0 0 8\r\npt 4 4 1e-9 0 9\r\n"
         "pt 5 5 1 0 2147483647\r\npt 6 6 1 0 -2147483648\r\n"},
        {"a command file with no line end", frame, "0 0 10"},
        {"only Ctrl-Z", "\x1a", "\x1a" "0 0 1 1\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CheckedPicture(RenderBytes(c.input, c.commands, Everything()));
        CheckedPicture(RenderBytes(c.commands, c.input, {}));
    }
}

TEST(PreviewHostile, RandomBytesInEitherFile)
{
    // Pieces of the line forms mixed with random bytes, so that lines get past the reader's
    // dispatch as well as failing it.
    const std::vector<std::string> pieces = {
        "pt", "ci", "cs", "ch", "msg", "hk", "hs", "hcw", "hch", "hp1", "cn0", "cn3", "lg1", "lgF",
        "z3", "\"", "1e308", "-1e308", "1e-320", "0", "1", "-7", "90", "360", "1e15", "0.5",
        "\x82", "\x81\x40", "\x82\x8D", "<", "&", "\r\n", "\n", " ", " ", " ", "\t", "\x1a",
    };
    std::mt19937 random(20240611u);
    auto make = [&](bool structured) {
        std::string bytes;
        const auto length = static_cast<int>(random() % 600u);
        for (int i = 0; i < length; ++i) {
            if (structured && random() % 4u != 0u) {
                bytes += pieces[random() % pieces.size()];
                if (random() % 2u == 0u) bytes += ' ';
            } else {
                bytes += static_cast<char>(random() % 256u);
            }
        }
        return bytes;
    };
    for (int round = 0; round < 150; ++round) {
        SCOPED_TRACE(round);
        const std::string input = make(round % 3 != 0);
        const std::string commands = make(round % 5 != 0);
        CheckedPicture(RenderBytes(input, commands, Everything()));
        if (HasFailure()) break;  // one broken picture is enough to look at
    }
}

TEST(PreviewHostile, ElementsBeyondTheNumberRangeAreLeftOutAndTheRestKeepsItsFit)
{
    // A frame that fits at one pixel per unit; group 1 at 1:2 doubles sizes past the double range.
    const std::string input = "hs 1 2 1 1 1 1 1 1 1 1 1 1 1 1 1 1\r\n"
                              "0 0 1120 0\r\n0 0 0 800\r\n"
                              "ci 0 0 1e308 0 90 1e308 0\r\n"
                              "ci 10 10 5 1e308 -1e308 1 0\r\n";
    const std::string commands = "lg1\r\nz3\r\npt 500 400 1e308 0 7\r\n"
                                 "cn0 1e308 1 0 1\r\nz3\r\ncs 1 1 10 0 \"wide\r\n"
                                 "z3\r\n100 100 200 100\r\n";
    const auto picture = CheckedPicture(RenderBytes(input, commands, Everything()));
    ASSERT_FALSE(picture.empty());
    EXPECT_EQ(picture.front().Get("viewBox"), "0 0 1200 880");
    EXPECT_TRUE(PreviewTest::WithClass(picture, "sel-arc").empty());
    EXPECT_TRUE(PreviewTest::WithClass(picture, "run-marker").empty());
    EXPECT_TRUE(PreviewTest::WithClass(picture, "run-text").empty());
    const auto lines = PreviewTest::WithClass(picture, "run-line");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]->Get("x1"), "140");
}
