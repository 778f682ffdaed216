#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "dimension/draw.hpp"
#include "dimension/layout.hpp"
#include "exchange/command_writer.hpp"

namespace {

using Dimension::DimensionSettings;
using Lines = std::vector<std::string>;

DimensionSettings Defaults()
{
    DimensionSettings settings;
    settings.ValueTextKind = 2;  // differs from the host's kind 1, so the run restores it
    return settings;
}

// The lines one run appends to a freshly reset writer; points on Y = 0, the line at Y = 100.
Lines DrawnLines(const std::vector<double>& xs, const DimensionSettings& settings,
                 const RidEdaza::DrawingState& state = {})
{
    Dimension::MeasurePointList points;
    for (double x : xs) points.push_back({x, 0.0, 1});
    const Dimension::HeightPoint height{0.0, 100.0};
    Dimension::DimensionRun run;
    EXPECT_TRUE(Dimension::LayoutDimensionRun(points, height, settings, state, run));
    RidEdaza::CommandWriter writer;
    RidEdaza::ResetOutputState(writer, state);
    Dimension::DrawDimensionRun(run, state, writer);
    EXPECT_FALSE(writer.nonFiniteSeen);
    return RidEdaza::LinesOf(writer.buffer);
}

Lines MarkerPointLines(const Lines& lines)
{
    Lines result;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(result),
                 [](const std::string& line) { return line.rfind("pt ", 0) == 0; });
    return result;
}

const Lines kHostAttributes = {"lg0", "ly0", "lc1", "pn1", "lt1", "lw0", "cn\"$"};

Lines Joined(std::initializer_list<Lines> parts)
{
    Lines result;
    for (const Lines& part : parts) result.insert(result.end(), part.begin(), part.end());
    return result;
}

// Line arrows 3 at 15 degrees at both ends of the interval 0..1500 on Y = 100.
const Lines kArrows1500 = {
    "z3", "0 100 2.8977774788672 100.776457135308",
    "z3", "0 100 2.89777747886721 99.2235428646924",
    "z3", "1500 100 1497.10222252113 99.2235428646924",
    "z3", "1500 100 1497.10222252113 100.776457135308",
};

const char* const kSlash = "0.439230484541326 0 10";  // scale, direction, slash code

TEST(Draw, WholeRunsInTheirFixedOrder)
{
    struct Case {
        const char* name;
        std::vector<double> xs;
        bool figure;
        double axis;
        std::int32_t arrangement;
        Lines expected;
    };
    const Case cases[] = {
        {"two points 1500 apart", {0, 1500}, false, 0, 0,
         Joined({kHostAttributes, {"z3", "0 2 0 102", "z3", "1500 2 1500 102"},
                 {"z3", "0 100 1500 100", "cn2", "cc0", "z3", "cs 747 100.5 10 0 \"", "1500"},
                 kArrows1500, {"cn1"}})},
        {"as a dimension figure", {0, 1500}, true, 0, 0,
         Joined({kHostAttributes, {"z3", "0 2 0 102", "z3", "1500 2 1500 102"},
                 {"cn2", "msg", "0 100 1500 100", "cs 747 100.5 10 0 \"", "1500"},
                 kArrows1500, {"cn1"}})},
        {"plain value 0: only the segment, kind still restored", {0, 0.0004}, true, 0, 0,
         Joined({kHostAttributes, {"z3", "0 2 0 102", "z3", "0.0004 2 0.0004 102"},
                 {"z3", "0 100 0.0004 100"},
                 {"z3", std::string("pt 0 100 ") + kSlash, "z3",
                  std::string("pt 0.0004 100 ") + kSlash},
                 {"cn1"}})},
        {"staggered text with its leader", {0, 1}, false, 0, 0,
         Joined({kHostAttributes, {"z3", "0 2 0 102", "z3", "1 2 1 102"},
                 {"z3", "0 100 1 100", "cn2", "cc0", "z3", "cs -0.25 104 10 0 \"", "1"},
                 {"z3", "0.5 100 0.5 103.5"},
                 {"z3", std::string("pt 0 100 ") + kSlash, "z3", std::string("pt 1 100 ") + kSlash},
                 {"cn1"}})},
        {"staggered dimension figure keeps its leader", {0, 1}, true, 0, 0,
         Joined({kHostAttributes, {"z3", "0 2 0 102", "z3", "1 2 1 102"},
                 {"cn2", "msg", "0 100 1 100", "cs -0.25 104 10 0 \"", "1"},
                 {"z3", "0.5 100 0.5 103.5"},
                 {"z3", std::string("pt 0 100 ") + kSlash, "z3", std::string("pt 1 100 ") + kSlash},
                 {"cn1"}})},
        // cos 90 degrees is not 0 in doubles: every target must write the same digits.
        {"vertical run", {0, 1500}, false, 90, 0,
         Joined({kHostAttributes,
                 {"z3", "-2 1.22464679914735E-16 -102 6.2456986756515E-15",
                  "z3", "-1.99999999999991 1500 -102 1500"},
                 {"z3", "-100 6.12323399573677E-15 -99.9999999999999 1500", "cn2", "cc0",
                  "z3", "cs -100.5 747 6.12323399573677E-16 10 \"", "1500"},
                 {"z3", "-100 6.12323399573677E-15 -100.776457135308 2.89777747886721",
                  "z3", "-100 6.12323399573677E-15 -99.2235428646924 2.89777747886721",
                  "z3", "-99.9999999999999 1500 -99.2235428646923 1497.10222252113",
                  "z3", "-99.9999999999999 1500 -100.776457135307 1497.10222252113"},
                 {"cn1"}})},
        {"parallel of two points: the chain", {0, 1500}, false, 0, 2,
         Joined({kHostAttributes, {"z3", "0 2 0 102", "z3", "1500 2 1500 102"},
                 {"z3", "0 100 1500 100", "cn2", "cc0", "z3", "cs 747 100.5 10 0 \"", "1500"},
                 kArrows1500, {"cn1"}})},
        {"chain and overall of two points: the chain", {0, 1500}, false, 0, 1,
         Joined({kHostAttributes, {"z3", "0 2 0 102", "z3", "1500 2 1500 102"},
                 {"z3", "0 100 1500 100", "cn2", "cc0", "z3", "cs 747 100.5 10 0 \"", "1500"},
                 kArrows1500, {"cn1"}})},
        // Texts 3 high read upwards, 0.5 left of each point, their near end 2.5 beyond the line
        // (the overshoot 2 and the gap); the origin symbol, then each arrow. Plain texts, also
        // with dimension figures asked for.
        {"cumulative", {0, 1500}, true, 0, 3,
         Joined({kHostAttributes, {"z3", "0 2 0 102", "z3", "1500 2 1500 102"},
                 {"z3", "0 100 1500 100", "cn2", "cc0",
                  "z3", "cs -0.5 102.5 6.12323399573677E-16 10 \"", "0",
                  "z3", "cs 1499.5 102.5 6.12323399573677E-16 10 \"", "1500"},
                 {"z3", "pt 0 100 1 0 4"},
                 {"z3", "1500 100 1497.10222252113 99.2235428646924",
                  "z3", "1500 100 1497.10222252113 100.776457135308"},
                 {"cn1"}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DimensionSettings settings = Defaults();
        settings.DimensionFigure = c.figure;
        settings.DimensionAngle = c.axis;
        settings.Arrangement = c.arrangement;
        EXPECT_EQ(DrawnLines(c.xs, settings), c.expected);
    }
}

TEST(Draw, MarkerKindsWriteTheirListIndexAsCode)
{
    for (std::int32_t marker = 1; marker <= 11; ++marker) {
        SCOPED_TRACE(marker);
        DimensionSettings settings = Defaults();
        settings.StartMarker = settings.EndMarker = marker;
        settings.EndMarkerScale = 1.5;
        const std::string code = std::to_string(marker);
        EXPECT_EQ(MarkerPointLines(DrawnLines({0, 1500}, settings)),
                  (Lines{"pt 0 100 1.5 180 " + code, "pt 1500 100 1.5 0 " + code}));
    }
    DimensionSettings settings = Defaults();
    settings.StartMarker = 7;
    settings.EndMarker = 2;
    settings.EndMarkerScale = 1.5;
    EXPECT_EQ(MarkerPointLines(DrawnLines({0, 1500}, settings)),
              (Lines{"pt 0 100 1.5 180 7", "pt 1500 100 1.5 0 2"}));
    // Past the lists: sized as a line arrow, drawn as one, not as some other marker code.
    settings.StartMarker = settings.EndMarker = 12;
    EXPECT_EQ(DrawnLines({0, 1500}, settings), DrawnLines({0, 1500}, Defaults()));
}

TEST(Draw, EveryPointGetsExactlyOneKindOfMarker)
{
    // Start "●" and end "□" at scale 1 need 2.5; a slash then has scale 1 / sqrt 2.
    const std::string slash = " 0.707106781186548 0 10";
    struct Case {
        const char* name;
        std::vector<double> xs;
        std::int32_t narrowMarker;
        Lines markers;
    };
    const Case cases[] = {
        {"wide then narrow", {0, 10, 12}, 0,
         {"pt 0 100 1 180 7", "pt 10 100 1 0 2", "pt 12 100" + slash}},
        {"narrow then wide", {0, 2, 12}, 0,
         {"pt 0 100" + slash, "pt 2 100 1 180 7", "pt 12 100 1 0 2"}},
        {"narrow between wide ones", {0, 10, 12, 22}, 0,
         {"pt 0 100 1 180 7", "pt 10 100 1 0 2", "pt 12 100 1 180 7", "pt 22 100 1 0 2"}},
        {"all narrow, slashes", {0, 2, 4}, 0,
         {"pt 0 100" + slash, "pt 2 100" + slash, "pt 4 100" + slash}},
        {"all narrow, dots", {0, 2, 4}, 1, {"pt 0 100", "pt 2 100", "pt 4 100"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DimensionSettings settings = Defaults();
        settings.StartMarker = 7;
        settings.EndMarker = 2;
        settings.NarrowMarker = c.narrowMarker;
        EXPECT_EQ(MarkerPointLines(DrawnLines(c.xs, settings)), c.markers);
    }
}

}  // namespace
