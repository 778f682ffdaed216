#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "exchange/command_writer.hpp"
#include "support/test_files.hpp"

using namespace RidEdaza;
using enum NumberMapping;

namespace {

using Lines = std::vector<std::string>;
using Calls = void (*)(CommandWriter&);

// The font names of the tests: "<ＭＳ ゴシック>" (the writer's default) and "<ＭＳ 明朝>".
const std::string kGothic = "<\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e>";
const std::string kMincho = "<\x82\x6c\x82\x72 \x96\xbe\x92\xa9>";
const std::string kFullWidthBlank = "\x81\x40";  // "　"

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// The host's current settings in most tests: all different from the writer's own defaults, so
// that a fallback to the wrong value shows.
DrawingState HostState()
{
    DrawingState state;
    state.initialColour = 7;
    state.initialLineType = 3;
    state.initialLineWidth = 25;
    state.initialTextKind = 5;
    state.initialFreeText = TextKind{4.5, 3.5, 0.5, 6};
    state.initialFontName = kMincho;
    return state;
}

Lines RunWriter(const DrawingState& state, Calls calls, bool* nonFinite = nullptr)
{
    CommandWriter writer;
    ResetOutputState(writer, state);
    calls(writer);
    if (nonFinite != nullptr) *nonFinite = writer.nonFiniteSeen;
    return RidEdaza::LinesOf(writer.buffer);
}

struct Case {
    const char* name;
    Calls calls;
    Lines expected;
};

void ExpectCases(const DrawingState& state, const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool nonFinite = true;
        EXPECT_EQ(RunWriter(state, c.calls, &nonFinite), c.expected);
        EXPECT_FALSE(nonFinite);
    }
}

// A difference of exactly 1e-8L between two doubles: 1e-8L split into a double and the rest.
const double kHi = static_cast<double>(1e-8L);
const double kLo = static_cast<double>(1e-8L - static_cast<long double>(kHi));
const double kBelow = std::nextafter(1e-8, 0.0);  // the double 1e-8 lies just above 1e-8L

}  // namespace

TEST(CommandWriter, CachedAttributesWriteOnlyChanges)
{
    ExpectCases(HostState(), {
        {"first calls after the reset always write",
         [](CommandWriter& w) {
             OutLayerGroup(w, 0); OutLayer(w, 0); OutLineColor(w, 1, AsGiven);
             OutLineType(w, 1, AsGiven); OutLineWidth(w, 0); OutTextKind(w, 1, 1, AsGiven, 2, 2, 0);
             OutCcValue(w, 0); OutFontName(w, kGothic); OutPnValue(w, 1, AsGiven);
         },
         {"lg0", "ly0", "lc1", "lt1", "lw0", "cn1", "cc0", "cn\"$" + kGothic, "pn1"}},
        {"repeated values write once",
         [](CommandWriter& w) {
             for (int i = 0; i < 2; ++i) {
                 OutLineColor(w, 5, AsGiven); OutLineType(w, 2, AsGiven); OutLineWidth(w, 3);
                 OutCcValue(w, 4); OutFontName(w, kGothic); OutPnValue(w, 6, AsGiven);
                 OutLayerGroup(w, 1); OutLayer(w, 1);
             }
         },
         {"lc5", "lt2", "lw3", "cc4", "cn\"$" + kGothic, "pn6", "lg1", "ly1"}},
        {"a changed group states the layer again",
         [](CommandWriter& w) {
             OutLayer(w, 2); OutLayerGroup(w, 3); OutLayer(w, 2); OutLayerGroup(w, 3);
             OutLayer(w, 2); OutLayerGroup(w, 4); OutLayer(w, 2);
         },
         {"ly2", "lg3", "ly2", "lg4", "ly2"}},
        {"layer group and layer in upper-case hex",
         [](CommandWriter& w) {
             OutLayerGroup(w, 10); OutLayer(w, 15); OutLayer(w, 0); OutLayer(w, 255);
             OutLayer(w, -1);
         },
         {"lgA", "lyF", "ly0", "lyFF", "lyFFFFFFFF"}},
        {"colours are mapped only when asked",
         [](CommandWriter& w) {
             OutLineColor(w, 12, Mapped); OutLineColor(w, 0, Mapped); OutLineColor(w, -4, Mapped);
             OutLineColor(w, 9, Mapped); OutLineColor(w, 10, Mapped); OutLineColor(w, 12, AsGiven);
             OutLineColor(w, 0, AsGiven); OutLineColor(w, INT32_MAX, Mapped);
         },
         {"lc103", "lc7", "lc9", "lc101", "lc12", "lc0", "lc2147483647"}},
        {"the point pen maps like the colour",
         [](CommandWriter& w) {
             OutPnValue(w, 12, Mapped); OutPnValue(w, 0, Mapped); OutPnValue(w, 0, AsGiven);
         },
         {"pn103", "pn7", "pn0"}},
        {"line types are mapped only when asked",
         [](CommandWriter& w) {
             OutLineType(w, 10, Mapped); OutLineType(w, 18, Mapped); OutLineType(w, 19, Mapped);
             OutLineType(w, 20, Mapped); OutLineType(w, 9, Mapped); OutLineType(w, 0, Mapped);
             OutLineType(w, 10, AsGiven); OutLineType(w, INT32_MAX, Mapped);
         },
         {"lt11", "lt19", "lt31", "lt32", "lt9", "lt3", "lt10", "lt2147483647"}},
        {"line width range and the host's width for -1",
         [](CommandWriter& w) {
             OutLineWidth(w, 0); OutLineWidth(w, 40000); OutLineWidth(w, 30000);
             OutLineWidth(w, 30001); OutLineWidth(w, -1); OutLineWidth(w, -2);
         },
         {"lw0", "lw30000", "lw0", "lw25", "lw0"}},
        {"cc range",
         [](CommandWriter& w) {
             OutCcValue(w, 8); OutCcValue(w, 9); OutCcValue(w, -1); OutCcValue(w, 3);
         },
         {"cc8", "cc0", "cc3"}},
        {"font fallback to the host's name, compared byte for byte",
         [](CommandWriter& w) {
             OutFontName(w, ""); OutFontName(w, "<>"); OutFontName(w, kMincho);
             OutFontName(w, kGothic);
             OutFontName(w, "<\x82\x6c\x82\x72\x81\x40\x83\x53\x83\x56\x83\x62\x83\x4e>");
         },
         {"cn\"$" + kMincho, "cn\"$" + kGothic,
          "cn\"$<\x82\x6c\x82\x72\x81\x40\x83\x53\x83\x56\x83\x62\x83\x4e>"}},
        {"z flags: z5 supersedes z4, nothing cached",
         [](CommandWriter& w) {
             OutZFlags(w, 24); OutZFlags(w, 8); OutZFlags(w, 4); OutZFlags(w, 4);
             OutZFlags(w, 0); OutZFlags(w, 31); OutZFlags(w, 15);
         },
         {"z5", "z4", "z3", "z3", "z1", "z2", "z3", "z5", "z1", "z2", "z3", "z4"}},
    });
}

TEST(CommandWriter, TextKindComparesTheFreeSizeExactly)
{
    ExpectCases(HostState(), {
        {"free size written once, again on any change",
         [](CommandWriter& w) {
             OutTextKind(w, 0, 1, AsGiven, 2.5, 2.5, 0);
             OutTextKind(w, 0, 1, AsGiven, 2.5, 2.5, -0.0);
             OutTextKind(w, 0, 1, AsGiven, 2.5, 3, 0); OutTextKind(w, 0, 1, AsGiven, 2, 3, 0);
             OutTextKind(w, 0, 1, AsGiven, 2, 3, 0.25); OutTextKind(w, 0, 2, AsGiven, 2, 3, 0.25);
         },
         {"cn0 2.5 2.5 0 1", "cn0 2.5 3 0 1", "cn0 2 3 0 1", "cn0 2 3 0.25 1",
          "cn0 2 3 0.25 2"}},
        {"a change below the written digits still counts",
         [](CommandWriter& w) {
             OutTextKind(w, 0, 1, AsGiven, 2.5, 2.5, 0);
             OutTextKind(w, 0, 1, AsGiven, std::nextafter(2.5, 3.0), 2.5, 0);
         },
         {"cn0 2.5 2.5 0 1", "cn0 2.5 2.5 0 1"}},
        {"the reset's free size is forced out once",
         [](CommandWriter& w) {
             OutTextKind(w, 0, 1, AsGiven, 2, 2, 0); OutTextKind(w, 0, 1, AsGiven, 2, 2, 0);
         },
         {"cn0 2 2 0 1"}},
        {"kinds 1 to 10 ignore the size",
         [](CommandWriter& w) {
             OutTextKind(w, 3, 1, AsGiven, 2, 2, 0); OutTextKind(w, 3, 9, AsGiven, 7, 8, 1);
             OutTextKind(w, 10, 1, AsGiven, 2, 2, 0); OutTextKind(w, 0, 1, AsGiven, 2, 2, 0);
             OutTextKind(w, 3, 1, AsGiven, 2, 2, 0); OutTextKind(w, 0, 1, AsGiven, 2, 2, 0);
         },
         {"cn3", "cn10", "cn0 2 2 0 1", "cn3", "cn0 2 2 0 1"}},
        {"a mapped text kind maps its colour",
         [](CommandWriter& w) {
             OutTextKind(w, 0, 12, Mapped, 2, 2, 0); OutTextKind(w, 0, 0, Mapped, 2, 2, 0);
             OutTextKind(w, 0, 12, AsGiven, 2, 2, 0);
         },
         {"cn0 2 2 0 103", "cn0 2 2 0 7", "cn0 2 2 0 12"}},
        {"out of range falls back to the host's kind",
         [](CommandWriter& w) {
             OutTextKind(w, 11, 1, AsGiven, 2, 2, 0); OutTextKind(w, -1, 1, AsGiven, 2, 2, 0);
             OutTextKind(w, 1, 1, AsGiven, 2, 2, 0); OutTextKind(w, -1, 1, AsGiven, 2, 2, 0);
         },
         {"cn5", "cn1", "cn5"}},
    });

    DrawingState freeHost = HostState();
    freeHost.initialTextKind = 0;
    ExpectCases(freeHost, {
        {"the host's kind 0 brings the host's free size",
         [](CommandWriter& w) {
             OutTextKind(w, 11, 1, AsGiven, 2, 2, 0); OutTextKind(w, 0, 6, AsGiven, 4.5, 3.5, 0.5);
             OutTextKind(w, 0, 1, AsGiven, 2, 2, 0); OutTextKind(w, 12, 9, Mapped, 8, 8, 8);
         },
         {"cn0 4.5 3.5 0.5 6", "cn0 2 2 0 1", "cn0 4.5 3.5 0.5 6"}},
    });

    DrawingState oddHost = HostState();
    oddHost.initialTextKind = 11;
    ExpectCases(oddHost, {{"an odd host kind is written as it is",
                           [](CommandWriter& w) { OutTextKind(w, 11, 1, AsGiven, 2, 2, 0); },
                           {"cn11"}}});
}

TEST(CommandWriter, HostFallbacksThatAreThemselvesOdd)
{
    DrawingState state = HostState();
    state.initialLineWidth = 40000;
    state.initialFontName.clear();
    ExpectCases(state, {
        {"the host's width is range checked too", [](CommandWriter& w) { OutLineWidth(w, -1); },
         {"lw0"}},
        {"no host font gives a bare font line", [](CommandWriter& w) { OutFontName(w, "<>"); },
         {"cn\"$"}},
    });
}

TEST(CommandWriter, ResetForcesEveryAttributeAgain)
{
    const Lines lines = RunWriter(HostState(), [](CommandWriter& w) {
        const auto all = [](CommandWriter& x) {
            OutLayerGroup(x, 1); OutLayer(x, 2); OutLineColor(x, 3, AsGiven);
            OutLineType(x, 4, AsGiven); OutLineWidth(x, 5); OutTextKind(x, 6, 1, AsGiven, 2, 2, 0);
            OutCcValue(x, 7); OutFontName(x, kGothic); OutPnValue(x, 8, AsGiven);
        };
        all(w);
        OutLine(w, kNaN, 0, 1, 1);
        ResetOutputState(w, HostState());
        EXPECT_FALSE(w.nonFiniteSeen);
        all(w);
    });
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 9), Lines(lines.begin() + 9, lines.end()));
}

TEST(CommandWriter, EntitiesSkipDegenerateGeometry)
{
    ExpectCases(HostState(), {
        {"line", [](CommandWriter& w) { OutLine(w, 0, 0, 3, 4); OutLine(w, -1.5, 2, -1.5, 2); },
         {"0 0 3 4"}},
        {"line at, below and above 1e-8",
         [](CommandWriter& w) {
             OutLine(w, -kLo, 0, kHi, 0);     // exactly 1e-8L apart: kept (strict test)
             OutLine(w, 0, 0, kBelow, kBelow);
             OutLine(w, 5e-25, 0, 1e-8, 0);   // 1e-8 only once rounded to double: dropped
             OutLine(w, 0, 0, 1e-8, 0);
             OutLine(w, 0, 7, 1e-9, 7 + 1e-8);  // reads 7.00000001, lies 1e-8 minus a hair away
             OutLine(w, 0, 7, 1e-9, 7 + 2e-8);
         },
         {"2.09218533839096E-25 0 1E-8 0", "0 0 1E-8 0", "0 7 1E-9 7.00000002"}},
        {"point", [](CommandWriter& w) { OutPoint(w, 1.5, -2); OutPoint(w, 0, 0); },
         {"pt 1.5 -2", "pt 0 0"}},
        {"marker code and scale",
         [](CommandWriter& w) {
             OutMarkerPoint(w, 12, 1, 2, 0, 30); OutMarkerPoint(w, -8, 1, 2, 2.5, 400);
             OutMarkerPoint(w, -7, 1, 2, -2, 0); OutMarkerPoint(w, 11, 1, 2, 1e-8, 0);
             OutMarkerPoint(w, 0, 1, 2, -kBelow, 0);
         },
         {"pt 1 2 1 30 -3", "pt 1 2 2.5 400 -3", "pt 1 2 -2 0 -7", "pt 1 2 1E-8 0 11",
          "pt 1 2 1 0 0"}},
        {"text direction at and below 1e-8, and blank texts",
         [](CommandWriter& w) {
             OutText(w, 2, "1,500", 10, 20, 10, 0);
             OutText(w, 2, "a", 0, 0, 0, 0);
             OutText(w, 2, "b", 0, 0, kBelow, -kBelow);
             OutText(w, 2, "c", 0, 0, 0, -1e-8);
             OutText(w, 2, kFullWidthBlank + " " + kFullWidthBlank, 0, 0, 1, 0);
             OutText(w, 2, "\t\r", 0, 0, 1, 0);
             OutText(w, 2, "", 0, 0, 1, 0);
             OutText(w, 2, " d" + kFullWidthBlank, 0, 0, 1, 0);
         },
         {"cs 10 20 10 0 \"", "1,500", "cs 0 0 0 -1E-8 \"", "c", "cs 0 0 1 0 \"",
          " d" + kFullWidthBlank}},
        {"dimension figure with its text or the measured length",
         [](CommandWriter& w) {
             OutDimensionFigure(w, "", 0, 0, 3, 4, 1, 2, 10, 0);
             OutDimensionFigure(w, "A", 0, 0, 3, 4, 1, 2, 10, 0);
             OutDimensionFigure(w, kFullWidthBlank, 0, 0, 1, 1, 0, 0, 0, 1);
         },
         {"msg", "0 0 3 4", "cs 1 2 10 0 \"", "5", "msg", "0 0 3 4", "cs 1 2 10 0 \"", "A",
          "msg", "0 0 1 1", "cs 0 0 0 1 \"", "1.41421356"}},
        {"measured length rounds half up to 1e-8",
         [](CommandWriter& w) {
             // 1.234567885 is stored a hair below the half step, its successor above it.
             OutDimensionFigure(w, "", 0, 0, std::nextafter(1.234567885, 2.0), 0, 0, 0, 1, 0);
             OutDimensionFigure(w, "", 0, 0, 0, -1.234567885, 0, 0, 1, 0);
             OutDimensionFigure(w, "", 0, 0, 1500, 0, 0, 0, 1, 0);
             // Exactly 5458.5 and 10660.5 steps in extended precision: half up, not to even.
             OutDimensionFigure(w, "", 0, 0, 5.4585e-05, 0, 0, 0, 1, 0);
             OutDimensionFigure(w, "", 0, 0, 0.000106605, 0, 0, 0, 1, 0);
         },
         {"msg", "0 0 1.234567885 0", "cs 0 0 1 0 \"", "1.23456789", "msg",
          "0 0 0 -1.234567885", "cs 0 0 1 0 \"", "1.23456788", "msg", "0 0 1500 0",
          "cs 0 0 1 0 \"", "1500", "msg", "0 0 5.4585E-5 0", "cs 0 0 1 0 \"", "5.459E-5",
          "msg", "0 0 0.000106605 0", "cs 0 0 1 0 \"", "0.00010661"}},
        {"the longest number texts, four to a line, are written whole",
         [](CommandWriter& w) {
             const double a = -1.2345678901234567e-300;
             const double b = -2.2345678901234567e-300;
             const double c = -3.2345678901234567e-300;
             const double big = -9.8765432109876543e300;
             OutLine(w, a, b, c, 1);
             OutMarkerPoint(w, -7, a, b, big, c);
             OutText(w, 9, "a", a, b, c, big);
             OutTextKind(w, 0, std::numeric_limits<std::int32_t>::min(), AsGiven, a, b, c);
         },
         {"-1.23456789012346E-300 -2.23456789012346E-300 -3.23456789012346E-300 1",
          "pt -1.23456789012346E-300 -2.23456789012346E-300 -9.87654321098765E300 "
          "-3.23456789012346E-300 -7",
          "c2 -1.23456789012346E-300 -2.23456789012346E-300 -3.23456789012346E-300 "
          "-9.87654321098765E300 \"",
          "a",
          "cn0 -1.23456789012346E-300 -2.23456789012346E-300 -3.23456789012346E-300 "
          "-2147483648"}},
        {"degenerate dimension figures",
         [](CommandWriter& w) {
             OutDimensionFigure(w, "A", 0, 0, kBelow, kBelow, 0, 0, 1, 0);
             OutDimensionFigure(w, "A", 0, 0, 1, 0, 0, 0, kBelow, 0);
             OutDimensionFigure(w, "A", -kLo, 0, kHi, 0, 0, 0, 1e-8, 0);
         },
         {"msg", "2.09218533839096E-25 0 1E-8 0", "cs 0 0 1E-8 0 \"", "A"}},
    });
}

TEST(CommandWriter, TextKeyWordsComeFromTheKeyNumber)
{
    const char* const words[] = {"ch", "cv", "cs", "cr", "co", "cp", "ct", "ck", "cz", "c2"};
    for (std::int32_t key = -2; key <= 11; ++key) {
        SCOPED_TRACE(key);
        CommandWriter writer;
        ResetOutputState(writer, HostState());
        OutText(writer, key, "a", 0, 0, 1, 0);
        const std::string word = key >= 0 && key <= 9 ? words[key] : "ch";
        EXPECT_EQ(RidEdaza::LinesOf(writer.buffer), (Lines{word + " 0 0 1 0 \"", "a"}));
    }
}

TEST(CommandWriter, NonFiniteNumbersAppendNothingAndAreReported)
{
    const Calls cases[] = {
        [](CommandWriter& w) { OutLine(w, 0, 0, kNaN, 1); },
        [](CommandWriter& w) { OutLine(w, kInf, 0, kInf, 0); },
        [](CommandWriter& w) { OutPoint(w, 0, -kInf); },
        [](CommandWriter& w) { OutMarkerPoint(w, 1, 0, 0, kNaN, 0); },
        [](CommandWriter& w) { OutMarkerPoint(w, 1, 0, 0, 1, kInf); },
        [](CommandWriter& w) { OutText(w, 2, "a", 0, 0, kNaN, 0); },
        [](CommandWriter& w) { OutText(w, 2, "a", kInf, 0, 1, 0); },
        [](CommandWriter& w) { OutDimensionFigure(w, "a", 0, 0, 1, 0, 0, kNaN, 1, 0); },
        [](CommandWriter& w) { OutDimensionFigure(w, "", -1e308, 0, 1e308, 0, 0, 0, 1, 0); },
        [](CommandWriter& w) { OutTextKind(w, 0, 1, AsGiven, 2, kInf, 0); },
    };
    int index = 0;
    for (Calls calls : cases) {
        SCOPED_TRACE(index++);
        bool nonFinite = false;
        EXPECT_EQ(RunWriter(HostState(), calls, &nonFinite), Lines{});
        EXPECT_TRUE(nonFinite);
    }

    // An unused free size does not matter; a refused one leaves the cache as it was.
    ExpectCases(HostState(), {
        {"kind 1 with a broken size",
         [](CommandWriter& w) { OutTextKind(w, 1, 1, AsGiven, kNaN, 2, 0); }, {"cn1"}},
        {"figure far apart with its own text",
         [](CommandWriter& w) { OutDimensionFigure(w, "A", -1e308, 0, 1e308, 0, 0, 0, 1, 0); },
         {"msg", "-1E308 0 1E308 0", "cs 0 0 1 0 \"", "A"}},
    });
    bool nonFinite = false;
    const Lines lines = RunWriter(HostState(), [](CommandWriter& w) {
        OutTextKind(w, 0, 1, AsGiven, 3, 3, 0);
        OutTextKind(w, 0, 1, AsGiven, kNaN, 3, 0);
        OutTextKind(w, 0, 1, AsGiven, 3, 3, 0);
    }, &nonFinite);
    EXPECT_EQ(lines, Lines{"cn0 3 3 0 1"});
    EXPECT_TRUE(nonFinite);
}

TEST(CommandWriter, AppendCutsLongLinesOnCharacterBoundaries)
{
    const std::string hiragana = "\x82\xa0";  // "あ"
    struct CutCase {
        std::string line;
        std::string expected;
    };
    const CutCase cases[] = {
        {std::string(300, 'a'), std::string(255, 'a')},
        {std::string(255, 'b'), std::string(255, 'b')},
        {std::string(254, 'c') + hiragana, std::string(254, 'c')},
        {std::string(253, 'd') + hiragana + "e", std::string(253, 'd') + hiragana},
        {"a\rb\nc", "a b c"},  // a line end inside would become a command of its own
    };
    for (const CutCase& c : cases) {
        SCOPED_TRACE(c.line.size());
        CommandBuffer buffer;
        AppendCommand(buffer, c.line);
        ASSERT_EQ(LineCount(buffer), 1u);
        EXPECT_EQ(LineAt(buffer, 0), c.expected);
    }
}

TEST(WriteCommandFile, JoinsQuotedLinesWithCrLf)
{
    struct FileCase {
        const char* name;
        Lines lines;
        std::string expected;
    };
    const FileCase cases[] = {
        {"empty buffer", {}, "hq\r\n"},
        {"plain lines", {"lc1", "", "0 0 1 1"}, "lc1\r\n\r\n0 0 1 1\r\n"},
        {"text joined", {"z3", "cs 10 20 10 0 \"", "1,500", "lc2"},
         "z3\r\ncs 10 20 10 0 \"1,500\r\nlc2\r\n"},
        {"last line ends in a quote", {"lc1", "cs 1 1 1 0 \""}, "lc1\r\ncs 1 1 1 0 \""},
        {"the line after a joined line is not examined", {"a \"", "b \"", "c \"", "d", "e"},
         "a \"b \"\r\nc \"d\r\ne\r\n"},
        {"a font name ending in a quote joins too", {"cn\"$x\"", "lc1"}, "cn\"$x\"lc1\r\n"},
        {"a lone quote", {"\"", "\""}, "\"\"\r\n"},
    };
    TestFiles::TempFolder folder;
    const auto path = folder / "JWC_TEMP.TXT";
    TestFiles::WriteBytes(path, std::string(5000, 'x'));  // the host's input: truncated
    for (const FileCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteCommandFile(RidEdaza::BufferOf(c.lines), path));
        EXPECT_EQ(TestFiles::ReadBytes(path), c.expected);
        // The same bytes held in memory (the dialog's picture of the run reads them).
        EXPECT_EQ(RidEdaza::CommandFileBytes(RidEdaza::BufferOf(c.lines)), c.expected);
    }
}

TEST(WriteCommandFile, WritesWhatTheWritersAppended)
{
    CommandWriter writer;
    ResetOutputState(writer, HostState());
    OutText(writer, 2, "1,500", 10, 20, 10, 0);
    OutDimensionFigure(writer, "", 0, 0, 3, 4, 1, 2, 10, 0);
    OutText(writer, 0, std::string(300, 'q'), 0, 0, 1, 0);
    AppendCommand(writer.buffer, std::string(300, 'r'));

    TestFiles::TempFolder folder;
    const auto path = folder / "JWC_TEMP.TXT";
    ASSERT_TRUE(WriteCommandFile(writer.buffer, path));
    EXPECT_EQ(TestFiles::ReadBytes(path),
              "cs 10 20 10 0 \"1,500\r\nmsg\r\n0 0 3 4\r\ncs 1 2 10 0 \"5\r\nch 0 0 1 0 \"" +
                  std::string(255, 'q') + "\r\n" + std::string(255, 'r') + "\r\n");
}

TEST(WriteCommandFile, LeavesNoFileBehindOnFailure)
{
    TestFiles::TempFolder folder;
    const CommandBuffer buffer =
        RidEdaza::BufferOf({"lc1", std::string(200, 'x'), "cs 0 0 1 0 \"", "t"});

    const auto missingFolder = folder / "no-such-folder" / "JWC_TEMP.TXT";
    EXPECT_FALSE(WriteCommandFile(buffer, missingFolder));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(missingFolder)));

    // A folder in the file's place cannot be written, and is not ours to remove.
    const auto folderInPlace = folder / "JWC_TEMP.TXT";
    std::filesystem::create_directory(folderInPlace);
    EXPECT_FALSE(WriteCommandFile(buffer, folderInPlace));
    EXPECT_TRUE(std::filesystem::is_directory(folderInPlace));
    std::filesystem::remove(folderInPlace);

#ifdef _WIN32
    GTEST_SKIP() << "no /dev/full to fail the writes";
#else
    // Every write to /dev/full fails (ENOSPC): the file must be gone afterwards.
    const auto full = folder / "JWC_TEMP.TXT";
    std::filesystem::create_symlink("/dev/full", full);
    EXPECT_FALSE(WriteCommandFile(buffer, full));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(full)));
#endif
}
