#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "common/geometry.hpp"
#include "dimension/layout.hpp"

namespace {

using Dimension::DimensionRun;
using Dimension::DimensionSettings;
using Dimension::HeightPoint;
using Dimension::MeasurePointList;

MeasurePointList PointsAt(const std::vector<double>& xs, double y = 0.0)
{
    MeasurePointList points;
    for (double x : xs) points.push_back({x, y, 1});
    return points;
}

DimensionSettings Defaults()
{
    DimensionSettings settings;
    settings.ValueTextKind = 1;
    return settings;
}

// One field of every point or interval of a run, in order.
template <typename Item, typename Field>
std::vector<Field> Each(const std::vector<Item>& items, Field Item::*field)
{
    std::vector<Field> result;
    for (const Item& item : items) result.push_back(item.*field);
    return result;
}

// A point of the record turned back into the dimension frame.
Dimension::DrawingPoint InFrame(const Dimension::DrawingPoint& p, double axis)
{
    Dimension::DrawingPoint q;
    MyFunc::RotatePointDeg(p.X, p.Y, 0, 0, -axis, q.X, q.Y);
    return q;
}

DimensionRun Layout(const MeasurePointList& points, const DimensionSettings& settings,
                    const RidEdaza::DrawingState& state = {})
{
    DimensionRun run;
    EXPECT_TRUE(Dimension::LayoutDimensionRun(points, {0.0, 100.0}, settings, state, run));
    return run;
}

// The chain of a run of item 0 or item 1.
const Dimension::ChainLayout& ChainOf(const DimensionRun& run)
{
    if (const auto* both = std::get_if<Dimension::ChainAndOverallLayout>(&run.arrangement)) {
        return both->chain;
    }
    return std::get<Dimension::ChainLayout>(run.arrangement);
}

// The dimension lines and value texts of a run in any arrangement, in the order the record holds
// them: the chain's first, the overall's last.
struct Drawn {
    std::vector<Dimension::SegmentLayout> lines;
    std::vector<Dimension::ValueTextLayout> texts;
    std::vector<Dimension::ExtensionLine> extensions;  // of the lines the arrangement adds
};

void AddLevelLine(const Dimension::LevelLineLayout& line, Drawn& drawn)
{
    drawn.lines.push_back(line.segment);
    if (line.text) drawn.texts.push_back(*line.text);
}

Drawn DrawnOf(const DimensionRun& run)
{
    Drawn drawn;
    auto addChain = [&](const Dimension::ChainLayout& chain) {
        for (const Dimension::IntervalLayout& interval : chain.intervals) {
            drawn.lines.push_back(interval.segment);
        }
        drawn.texts = chain.texts;
    };
    if (const auto* chain = std::get_if<Dimension::ChainLayout>(&run.arrangement)) addChain(*chain);
    if (const auto* both = std::get_if<Dimension::ChainAndOverallLayout>(&run.arrangement)) {
        addChain(both->chain);
        if (both->overall) {
            AddLevelLine(both->overall->line, drawn);
            drawn.extensions = both->overall->extensions;
        }
    }
    if (const auto* parallel = std::get_if<Dimension::ParallelLayout>(&run.arrangement)) {
        for (const Dimension::LevelLineLayout& line : parallel->lines) AddLevelLine(line, drawn);
        drawn.extensions = parallel->extensions;
    }
    if (const auto* cumulative = std::get_if<Dimension::CumulativeLayout>(&run.arrangement)) {
        for (const Dimension::CumulativeText& entry : cumulative->texts) {
            drawn.texts.push_back(entry.text);
        }
        drawn.extensions = cumulative->extensions;
    }
    return drawn;
}

std::vector<double> Lengths(const std::vector<Dimension::IntervalLayout>& intervals)
{
    std::vector<double> lengths;
    for (const Dimension::IntervalLayout& interval : intervals) {
        lengths.push_back(interval.segment.length);
    }
    return lengths;
}

TEST(Layout, MarkerExtentsFollowTheMarkerKind)
{
    struct Case {
        const char* name;
        std::int32_t marker;
        double endScale;
        double currentScale;
        double along;
        double across;
    };
    const Case cases[] = {
        {"line arrow ignores the end scale", 0, 2, 1, 2.897777478867205, 0.776457135307562},
        {"line arrow at 1:50", 0, 1, 50, 144.8888739433602, 38.8228567653781},
        {"index past the list sizes like a line arrow", 12, 2, 1, 2.897777478867205,
         0.776457135307562},
        {"triangle", 1, 1, 1, 7.5, 1.25},
        {"square twice the size", 2, 2, 1, 2.5, 2.5},
        {"filled triangle at 1:10", 6, 1, 10, 75, 12.5},
        {"wave", 8, 1, 1, 1.767766952966369, 1.767766952966369},
        {"slash twice the size at 1:10", 10, 2, 10, 35.35533905932738, 35.35533905932738},
        {"second triangle", 11, 1, 1, 7.5, 1.25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DimensionSettings settings = Defaults();
        settings.EndMarkerScale = c.endScale;
        settings.CurrentScale = c.currentScale;
        const Dimension::MarkerExtent extent = Dimension::MarkerExtentOf(c.marker, settings);
        EXPECT_NEAR(extent.along, c.along, 1e-12 * c.along);
        EXPECT_NEAR(extent.across, c.across, 1e-12 * c.across);
    }
}

TEST(Layout, SlashReachesAsFarAsTheSmallerMarker)
{
    struct Case {
        std::int32_t start, end;
        double endScale, currentScale, slashScale;
    };
    const Case cases[] = {
        {0, 2, 2, 1, 0.4392304845413264},   // line arrow 3 at 15 degrees against a big square
        {0, 2, 2, 50, 0.4392304845413264},  // the marker scale is paper size: no CurrentScale
        {2, 7, 1, 1, 0.7071067811865475},
        {10, 10, 3, 1, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << "/" << c.end << " scale " << c.currentScale);
        DimensionSettings settings = Defaults();
        settings.StartMarker = c.start;
        settings.EndMarker = c.end;
        settings.EndMarkerScale = c.endScale;
        settings.CurrentScale = c.currentScale;
        EXPECT_NEAR(Layout(PointsAt({0, 5000}), settings).style.SlashScale, c.slashScale, 1e-12);
    }
}

TEST(Layout, FewerThanTwoKeptPointsGiveNoRun)
{
    struct Case {
        const char* name;
        MeasurePointList points;
        bool laidOut;
        std::vector<std::int32_t> keptIndex;
        std::vector<double> interval;
    };
    const Case cases[] = {
        {"no points", {}, false, {}, {}},
        {"one point kept of three", {{0, 0, 1}, {0, 5, 0}, {0, 9, 0}}, false, {}, {}},
        {"dropped points are skipped", {{-5, 0, 0}, {0, 0, 1}, {0, 1, 0}, {7, 0, 1}, {19.5, 3, 1}},
         true, {1, 3, 4}, {7, 12.5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DimensionRun run;
        run.points = {{0, 0, 99}};  // a stale run must not survive a refusal
        ASSERT_EQ(Dimension::LayoutDimensionRun(c.points, {}, Defaults(), {}, run), c.laidOut);
        EXPECT_EQ(Each(run.points, &Dimension::KeptPoint::index), c.keptIndex);
        EXPECT_EQ(Lengths(ChainOf(run).intervals), c.interval);
    }
}

TEST(Layout, TextsThatDoNotFitGoToTheFirstFreeRow)
{
    // Text kind 1 of width w: a text of two digits is w wide, a row keeps w free after it.
    struct Case {
        const char* name;
        std::vector<double> xs;
        double width;
        std::vector<std::int32_t> levels;
    };
    const Case cases[] = {
        {"exactly as wide as its interval", {0, 1500}, 750, {0}},
        {"a little wider", {0, 1500}, 750.5, {1}},
        {"overlapping texts stack, a later one returns to row 1", {0, 10, 20, 30, 1000, 1010},
         20, {1, 2, 3, 0, 1}},
        {"left end on the row's end is not free", {0, 10, 40, 50}, 20, {1, 0, 2}},
        {"left end just beyond the row's end", {0, 10, 41, 51}, 20, {1, 0, 1}},
        {"plain value 0 has no text", {0, 0.0004}, 20, {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RidEdaza::DrawingState state;
        state.textKinds[0] = {c.width, 3, 0, 2};
        EXPECT_EQ(Each(ChainOf(Layout(PointsAt(c.xs), Defaults(), state)).intervals,
                       &Dimension::IntervalLayout::row),
                  c.levels);
    }
}

TEST(Layout, WideIntervalsGiveBothPointsNormalMarkers)
{
    // Line arrows 3 at 15 degrees need 2 * 2.898 = 5.796; squares 1.25 + 1.25 = 2.5. Markers per
    // interval: W both normal markers, N a narrow marker at N, P at P, B at both, - none.
    struct Case {
        const char* name;
        std::int32_t marker;
        std::vector<double> xs;
        std::vector<bool> wide;
        std::string markers;
    };
    const Case cases[] = {
        {"5 units is narrow for arrows", 0, {0, 5}, {false, false}, "B"},
        {"wide then narrow", 0, {0, 10, 15}, {true, true, false}, "WP"},
        {"narrow then wide", 0, {0, 5, 15}, {false, true, true}, "NW"},
        {"narrow between wide ones", 0, {0, 10, 12, 22}, {true, true, true, true}, "W-W"},
        {"all narrow", 0, {0, 1, 2, 3}, {false, false, false, false}, "NNB"},
        {"exactly enough room is narrow", 2, {0, 2.5}, {false, false}, "B"},
        {"a hair more is wide", 2, {0, 2.5000001}, {true, true}, "W"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DimensionSettings settings = Defaults();
        settings.StartMarker = settings.EndMarker = c.marker;
        const DimensionRun run = Layout(PointsAt(c.xs), settings);
        const Dimension::ChainLayout& chain = ChainOf(run);
        EXPECT_EQ(Each(chain.points, &Dimension::ChainPoint::wideNeighbour), c.wide);
        std::string markers;
        for (const Dimension::IntervalLayout& interval : chain.intervals) {
            const bool n = interval.narrowMarkerAtN;
            const bool p = interval.narrowMarkerAtP;
            markers += interval.ends >= 0 ? 'W' : n && p ? 'B' : n ? 'N' : p ? 'P' : '-';
        }
        EXPECT_EQ(markers, c.markers);
        EXPECT_EQ(chain.ends.size(),
                  static_cast<std::size_t>(std::count(markers.begin(), markers.end(), 'W')));
    }
}

TEST(Layout, TextAngleNeverReadsUpsideDown)
{
    const double cases[][2] = {
        {0, 0}, {90, 90}, {135, 315}, {180, 0}, {225, 45}, {270, 90}, {315, 315}, {-45, 315},
        {450, 90},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0]);
        DimensionSettings settings = Defaults();
        settings.DimensionAngle = c[0];
        EXPECT_EQ(Layout(PointsAt({0, 10}), settings).style.TextAngle, c[1]);
    }
}

TEST(Layout, TextStyleComesFromTheChosenOrTheHostsKind)
{
    RidEdaza::DrawingState state;
    for (int i = 0; i < 10; ++i) state.textKinds[static_cast<std::size_t>(i)] = {i + 1.0, 2, 0.5, i};
    state.initialFreeText = {7, 8, 0.25, 9};
    struct Case {
        const char* name;
        std::int32_t choice;
        std::int32_t hostKind;
        std::int32_t kind;
        double width;
        std::int32_t colour;
    };
    const Case cases[] = {
        {"chosen kind", 4, 6, 4, 4, 3},
        {"host kind", 0, 6, 6, 6, 5},
        {"host free size", 0, 0, 0, 7, 9},
        {"host kind out of range uses kind 1", 0, 11, 1, 1, 0},
        {"choice past the list takes the host's kind", 11, 6, 6, 6, 5},
        {"choice past the list with a free-size host", 12, 0, 0, 7, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        state.initialTextKind = c.hostKind;
        const Dimension::ValueTextStyle style = Dimension::ValueTextStyleOf(c.choice, state);
        EXPECT_EQ(style.kind, c.kind);
        EXPECT_EQ(style.width, c.width);
        EXPECT_EQ(style.colour, c.colour);
    }
}

TEST(Layout, ExtensionLinesRunFromTheGapToBeyondTheLine)
{
    struct Case {
        const char* name;
        double axis, y;
        bool present;
        double x1, y1, x2, y2;  // in the dimension frame
    };
    const Case cases[] = {
        {"below the line", 0, 0, true, 10, 2, 10, 102},
        {"above the line", 0, 200, true, 10, 198, 10, 98},
        {"just outside the gap", 0, 97.9, true, 10, 99.9, 10, 102},
        {"at the gap", 0, 98, false, 0, 0, 0, 0},
        {"on the line", 0, 100, false, 0, 0, 0, 0},
        {"vertical run", 90, 0, true, 10, 2, 10, 102},
        {"turned run, point above", 135, 103, true, 10, 101, 10, 98},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DimensionSettings settings = Defaults();
        settings.DimensionAngle = c.axis;
        DimensionRun run;
        ASSERT_TRUE(Dimension::LayoutDimensionRun(PointsAt({10, 20}, c.y), {0, 100}, settings,
                                                  {}, run));
        const Dimension::ExtensionSegment& line = ChainOf(run).points[0].extension;
        ASSERT_EQ(line.present, c.present);
        if (!c.present) continue;
        const Dimension::DrawingPoint start = InFrame(line.start, c.axis);
        const Dimension::DrawingPoint end = InFrame(line.end, c.axis);
        EXPECT_NEAR(start.X, c.x1, 1e-12);
        EXPECT_NEAR(start.Y, c.y1, 1e-12);
        EXPECT_NEAR(end.X, c.x2, 1e-12);
        EXPECT_NEAR(end.Y, c.y2, 1e-12);
    }
}

TEST(Layout, StaggeredTextsStackAwayFromTheMeasuredPoints)
{
    // The interval ending at 10 on the line Y = 100, text height 3, gap 0.5. Its text "10" is 6
    // wide and fits, or 12 wide and goes to row 1; after an interval -10..0 with the same
    // overlapping text it goes to row 2. Expected values are in the dimension frame.
    struct Case {
        const char* name;
        double axis, pointY;
        std::int32_t row;
        double anchorX, anchorY, dirX, leaderEndY;
    };
    const Case cases[] = {
        {"level 0", 0, 0, 0, 2, 100.5, 10, 100},
        {"row 2 above, points below", 0, 0, 2, -1, 107.5, 10, 107},
        {"row 1 below, points above", 0, 200, 1, -1, 93, 10, 96.5},
        {"level 0 stays above with points above", 0, 200, 0, 2, 100.5, 10, 100},
        {"point on the line counts as below it", 0, 100, 1, -1, 104, 10, 103.5},
        {"vertical run", 90, 0, 1, -1, 104, 10, 103.5},
        {"axis 270 reads the other way", 270, 0, 1, 11, 107, -10, 103.5},
        {"axis 135 reads the other way", 135, 0, 1, 11, 107, -10, 103.5},
        {"axis 135 level 0 is upright", 135, 0, 0, 8, 99.5, -10, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RidEdaza::DrawingState state;
        state.textKinds[0] = {c.row == 0 ? 6.0 : 12.0, 3, 0, 2};
        DimensionSettings settings = Defaults();
        settings.DimensionAngle = c.axis;
        const MeasurePointList points =
            PointsAt(c.row == 2 ? std::vector<double>{-10, 0, 10} : std::vector<double>{0, 10},
                     c.pointY);
        DimensionRun run;
        ASSERT_TRUE(Dimension::LayoutDimensionRun(points, {5, 100}, settings, state, run));
        const Dimension::ChainLayout& chain = ChainOf(run);
        const Dimension::IntervalLayout& interval = chain.intervals.back();
        ASSERT_EQ(interval.row, c.row);
        ASSERT_GE(interval.text, 0);
        const Dimension::ValueTextLayout& text =
            chain.texts[static_cast<std::size_t>(interval.text)];
        const Dimension::DrawingPoint anchor = InFrame(text.anchor, c.axis);
        EXPECT_NEAR(anchor.X, c.anchorX, 1e-12);
        EXPECT_NEAR(anchor.Y, c.anchorY, 1e-12);
        const Dimension::DrawingPoint direction = InFrame(run.style.TextDirection, c.axis);
        EXPECT_NEAR(direction.X, c.dirX, 1e-12);
        EXPECT_NEAR(direction.Y, 0, 1e-12);
        const Dimension::DrawingPoint leaderEnd = InFrame(text.leaderEnd, c.axis);
        EXPECT_NEAR(leaderEnd.X, 5, 1e-12);
        EXPECT_NEAR(leaderEnd.Y, c.leaderEndY, 1e-12);
    }
}

// Three points below the line Y = 100 (or above it), text kind 6 wide a character and 3 high, gap
// 0.5, overshoot 2, line arrows 3 at 15 degrees (2.898 along, 0.776 across): the pitch is
// max(2H, H + 2|g|, 2o, H + |g| + m, 2m) = max(6, 4, 4, 4.276, 1.553) = 6. Expected values are in
// the dimension frame; texts in their order in the record (the overall's last).
TEST(Layout, ArrangementsPlaceTheirLinesAndTexts)
{
    using A = Dimension::DimensionArrangement;
    struct Text {
        std::string text;
        double x, y;
    };
    struct Marker {
        std::int32_t start = 0, end = 0;
        double scale = 1;
    };
    struct Case {
        const char* name;
        A arrangement;
        std::vector<double> xs;
        double pointY, axis, charWidth;
        std::vector<double> levels;  // N.Y of each line; the overall's last
        std::vector<Text> texts;
        double gap = 0.5;
        Marker markers{};
        std::size_t moved = 0;  // cumulative: texts pushed along, each with its leader
    };
    const Case cases[] = {
        // "12" (6 wide) and both arrows fit 12: centred over its line.
        {"parallel: the shortest at h, one pitch apart", A::Parallel, {0, 12, 30}, 0, 0, 6,
         {100, 106}, {{"12", 3, 100.5}, {"30", 12, 106.5}}},
        // The values read towards the line before theirs, which overshoots by 2: 3 + 0.5 + 2 fits
        // the pitch of 6.
        {"parallel, points above: outward is down", A::Parallel, {0, 12, 30}, 200, 0, 6,
         {100, 94}, {{"12", 3, 100.5}, {"30", 12, 94.5}}},
        // The texts read the other way: level 0 hangs below each line in this frame.
        {"parallel, axis 180", A::Parallel, {0, 12, 30}, 0, 180, 6, {100, 106},
         {{"12", 9, 99.5}, {"30", 18, 105.5}}},
        {"parallel: a negative gap is taken as its size", A::Parallel, {0, 12, 30}, 0, 0, 6,
         {100, 106}, {{"12", 3, 100.5}, {"30", 12, 106.5}}, -0.5},
        // "10" is 6 wide, the arrows 5.8 long: beyond 10, past the arrow and the gap.
        {"parallel: a text that fits only without its arrows", A::Parallel, {0, 10, 30}, 0, 0, 6,
         {100, 106}, {{"10", 13.3977774788672, 100.5}, {"30", 12, 106.5}}},
        {"parallel: a text beyond its end", A::Parallel, {0, 10, 30}, 0, 0, 12, {100, 106},
         {{"10", 13.3977774788672, 100.5}, {"30", 9, 106.5}}},
        // Squares 3.75 along and across: the pitch is 2m = 7.5; "12" with both squares needs
        // 13.5, so it stands beyond 12 + 3.75 + 0.5.
        {"parallel: the pitch makes room for the markers", A::Parallel, {0, 12, 30}, 0, 0, 6,
         {100, 107.5}, {{"12", 16.25, 100.5}, {"30", 12, 108}}, 0.5, {2, 2, 3}},
        // A filled circle (1.25 along) at the origin, a triangle (7.5) at the end: the value is
        // centred on the 11.25 the markers leave free of its 20, from 1.25 to 12.5.
        {"parallel: centred between unequal markers", A::Parallel, {0, 20, 40}, 0, 0, 3,
         {100, 106}, {{"20", 5.375, 100.5}, {"40", 15.375, 106.5}}, 0.5, {7, 1, 1}},
        // The chain's texts reach 3.5 out, then one pitch: the overall at 109.5.
        {"chain with overall", A::ChainAndOverall, {0, 10, 30}, 0, 0, 6, {100, 100, 109.5},
         {{"10", 2, 100.5}, {"20", 17, 100.5}, {"30", 12, 110}}},
        // The chain keeps the signed gap (its texts reach 2.5 out); the overall takes |g|.
        {"chain with overall, a negative gap", A::ChainAndOverall, {0, 10, 30}, 0, 0, 6,
         {100, 100, 108.5}, {{"10", 2, 99.5}, {"20", 17, 99.5}, {"30", 12, 109}}, -0.5},
        {"chain with overall, one interval adds nothing", A::ChainAndOverall, {0, 10}, 0, 0, 6,
         {100}, {{"10", 2, 100.5}}},
        // Texts reading up, 3.5 left of each point (g and H), near end at max(2, 0.78, 1.25) + g.
        {"cumulative", A::Cumulative, {0, 10, 30}, 0, 0, 6, {},
         {{"0", -0.5, 102.5}, {"10", 9.5, 102.5}, {"30", 29.5, 102.5}}},
        {"cumulative, a negative gap is taken as its size", A::Cumulative, {0, 10, 30}, 0, 0, 6,
         {}, {{"0", -0.5, 102.5}, {"10", 9.5, 102.5}, {"30", 29.5, 102.5}}, -0.5},
        {"cumulative, crowded texts pushed along", A::Cumulative, {0, 1, 2}, 0, 0, 6, {},
         {{"0", -0.5, 102.5}, {"1", 3, 102.5}, {"2", 6.5, 102.5}}, 0.5, {}, 2},
        // 4.023 is H + g = 3.5 beyond 0.523 as doubles say it, an ulp short in long double:
        // within a billionth of H, so the text stays at its place and has no leader.
        {"cumulative, an interval of exactly H + g moves nothing", A::Cumulative, {0.523, 4.023},
         0, 0, 3, {}, {{"0", 0.023, 102.5}, {"3.5", 3.523, 102.5}}, 0.5, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RidEdaza::DrawingState state;
        state.textKinds[0] = {c.charWidth, 3, 0, 2};
        DimensionSettings settings = Defaults();
        settings.DimensionAngle = c.axis;
        settings.Arrangement = static_cast<std::int32_t>(c.arrangement);
        settings.ValueGap = c.gap;
        settings.StartMarker = c.markers.start;
        settings.EndMarker = c.markers.end;
        settings.EndMarkerScale = c.markers.scale;
        DimensionRun run;
        ASSERT_TRUE(Dimension::LayoutDimensionRun(PointsAt(c.xs, c.pointY), {0, 100}, settings,
                                                  state, run));
        const Drawn drawn = DrawnOf(run);
        std::vector<double> levels;
        if (c.arrangement != A::Cumulative) {
            for (const Dimension::SegmentLayout& line : drawn.lines) {
                levels.push_back(InFrame(line.N, c.axis).Y);
            }
        }
        const std::vector<Dimension::ValueTextLayout>& texts = drawn.texts;
        if (const auto* cumulative = std::get_if<Dimension::CumulativeLayout>(&run.arrangement)) {
            EXPECT_EQ(std::count_if(cumulative->texts.begin(), cumulative->texts.end(),
                                    [](const Dimension::CumulativeText& t) { return t.moved; }),
                      static_cast<std::ptrdiff_t>(c.moved));
        }
        ASSERT_EQ(levels.size(), c.levels.size());
        for (std::size_t i = 0; i < levels.size(); ++i) EXPECT_NEAR(levels[i], c.levels[i], 1e-12);
        ASSERT_EQ(texts.size(), c.texts.size());
        for (std::size_t i = 0; i < texts.size(); ++i) {
            SCOPED_TRACE(c.texts[i].text);
            EXPECT_EQ(texts[i].text, c.texts[i].text);
            const Dimension::DrawingPoint anchor = InFrame(texts[i].anchor, c.axis);
            EXPECT_NEAR(anchor.X, c.texts[i].x, 1e-12);
            EXPECT_NEAR(anchor.Y, c.texts[i].y, 1e-12);
        }
    }
}

// The extension lines of the arrangements whose lines stand apart, in the dimension frame:
// from the gap (2) to the line plus the overshoot (2).
TEST(Layout, ExtensionLinesReachTheirOwnLine)
{
    using A = Dimension::DimensionArrangement;
    RidEdaza::DrawingState state;
    state.textKinds[0] = {6, 3, 0, 2};
    DimensionSettings settings = Defaults();
    settings.Arrangement = static_cast<std::int32_t>(A::Parallel);
    DimensionRun run;
    ASSERT_TRUE(Dimension::LayoutDimensionRun(PointsAt({0, 10, 30}), {0, 100}, settings, state,
                                              run));
    // The origin's reaches the farthest line.
    const double ends[] = {108, 102, 108};
    const std::vector<Dimension::ExtensionLine>& lines = DrawnOf(run).extensions;
    ASSERT_EQ(lines.size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_NEAR(InFrame(lines[k].start, 0).Y, 2, 1e-12);
        EXPECT_NEAR(InFrame(lines[k].end, 0).Y, ends[k], 1e-12);
    }

    // The overall's continue the chain's from 102, also for a point above the line (from its
    // gap outward) and for one within the gap of the line (from h).
    settings.Arrangement = static_cast<std::int32_t>(A::ChainAndOverall);
    struct Case {
        const char* name;
        double firstY;
        bool present;
        double from;
    };
    const Case cases[] = {
        {"below: continues the chain's", 0, true, 102},
        {"within the gap: from its gap outward", 99, true, 101},
        {"beyond the overall: nothing to draw", 200, false, 0},
        {"between the chain and the overall: from its gap", 105, true, 107},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MeasurePointList points = PointsAt({0, 10, 30});
        points[0].Y = c.firstY;
        ASSERT_TRUE(Dimension::LayoutDimensionRun(points, {0, 100}, settings, state, run));
        const std::vector<Dimension::ExtensionLine> overall = DrawnOf(run).extensions;
        // The last point's comes after the first's, when the first has one.
        ASSERT_EQ(overall.size(), c.present ? 2u : 1u);
        if (!c.present) continue;
        const Dimension::ExtensionLine& line = overall.front();
        EXPECT_NEAR(InFrame(line.start, 0).X, 0, 1e-12);
        EXPECT_NEAR(InFrame(line.start, 0).Y, c.from, 1e-12);
        EXPECT_NEAR(InFrame(line.end, 0).Y, 111.5, 1e-12);
    }
}

// The drawings the review of the arrangements rejected, mended (scale 1:100, the line at Y = 0,
// gap 2 and overshoot 2 paper mm, value gap 0.5 unless said). Expected values are in the
// dimension frame: every extension-line piece at one point's X, and one value's anchor.
TEST(Layout, TheReviewedDrawingsAreMended)
{
    using A = Dimension::DimensionArrangement;
    struct Case {
        const char* name;
        A arrangement;
        MeasurePointList points;
        double kind, gap, arrowAngle;
        double x;
        std::vector<std::pair<double, double>> pieces;  // from (beside the point), to
        std::string text;
        double textX, textY;
    };
    const Case cases[] = {
        // The origin lies beyond the first two lines on the outward side: its extension line
        // reaches down past both (it reached only the farther one, 300).
        {"parallel: no line starts in the air", A::Parallel,
         {{0, 750, 1}, {1000, -500, 1}, {2000, -500, 1}}, 2.5, 0.5, 15, 0, {{550, -200}},
         "1000", 1339.7777478867205, 50},
        // "300" is staggered to row 1 across the first point's line, from Y 350 to 600: the
        // overall's extension line leaves out 287.5 to 662.5.
        {"chain with overall: the overall's extension line spares a staggered value",
         A::ChainAndOverall, {{0, -500, 1}, {300, -500, 1}, {2000, -500, 1}}, 2.5, 0.5, 15, 0,
         {{200, 287.5}, {662.5, 1300}}, "300", -37.5, 350},
        // Edit4 -1.5: the value stands 150 beside its line, no longer across it.
        {"parallel: a negative value gap", A::Parallel, {{0, -500, 1}, {3000, -500, 1}}, 3,
         -1.5, 15, 3000, {{-300, 200}}, "3000", 1200, 150},
        // Arrows of 60 degrees reach 259.8 across: the second line stands at H + |g| + m =
        // 559.8; "500" fits its line only without the arrows, so it stands beyond 500.
        {"parallel: the pitch counts the arrows", A::Parallel,
         {{0, -500, 1}, {500, -500, 1}, {2000, -500, 1}}, 2.5, 0.5, 60, 2000,
         {{-300, 759.8076211353316}}, "500", 700, 50},
        // The third point lies on the outward side; "100", pushed along to 0..250, stands across
        // its extension line, which leaves out 200 (the overshoot stays) to 687.5.
        {"cumulative: an extension line through the band of values", A::Cumulative,
         {{0, -500, 1}, {100, -500, 1}, {200, 3000, 1}, {300, -500, 1}, {400, -500, 1}}, 2.5,
         0.5, 15, 200, {{2800, 687.5}, {200, -200}}, "100", 250, 250},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DimensionSettings settings = Defaults();
        settings.Arrangement = static_cast<std::int32_t>(c.arrangement);
        settings.ValueGap = c.gap;
        settings.MarkerAngle = c.arrowAngle;
        Dimension::ScaleDimensionSettings(settings, 100);
        RidEdaza::DrawingState state;
        state.textKinds[0] = {c.kind, c.kind, 0, 2};
        DimensionRun run;
        ASSERT_TRUE(Dimension::LayoutDimensionRun(c.points, {0, 0}, settings, state, run));
        const Drawn drawn = DrawnOf(run);
        std::vector<std::pair<double, double>> pieces;
        for (const Dimension::ExtensionLine& line : drawn.extensions) {
            if (std::abs(line.start.X - c.x) < 1e-9) pieces.push_back({line.start.Y, line.end.Y});
        }
        ASSERT_EQ(pieces.size(), c.pieces.size());
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            EXPECT_NEAR(pieces[i].first, c.pieces[i].first, 1e-9);
            EXPECT_NEAR(pieces[i].second, c.pieces[i].second, 1e-9);
        }
        const auto text = std::find_if(drawn.texts.begin(), drawn.texts.end(),
                                       [&](const auto& t) { return t.text == c.text; });
        ASSERT_NE(text, drawn.texts.end());
        EXPECT_NEAR(text->anchor.X, c.textX, 1e-9);
        EXPECT_NEAR(text->anchor.Y, c.textY, 1e-9);
    }
}

// ---- The properties a drafter signs off, over generated drawings. Every shape of a laid-out run
// is turned back into the run's dimension frame (x along the run, y across it), where a value
// text, a marker and an extension line are boxes and segments with sides along the axes.

struct Box {
    double x0 = 1e300, x1 = -1e300, y0 = 1e300, y1 = -1e300;
    void Add(const Dimension::DrawingPoint& p)
    {
        x0 = std::min(x0, p.X);
        x1 = std::max(x1, p.X);
        y0 = std::min(y0, p.Y);
        y1 = std::max(y1, p.Y);
    }
};

struct Piece {
    Dimension::DrawingPoint a, b;
};

// The sheet of one run in its dimension frame: what the arrangement adds, and what it must keep
// clear of. `owner` names the dimension line an element belongs to (a parallel line's k, the
// overall's -1, a chain interval's index, 0 for a cumulative run's one line).
struct Sheet {
    struct Line {
        Piece piece;
        enum Role { Dimension, Extension, Leader, Barb } role;
        int owner;
    };
    struct Text {
        Box box;
        int owner;
        bool beyond;  // a parallel value standing beyond its point
        bool chain;   // a value of the chain of item 1
    };
    struct Marker {
        Box box;
        int owner;
    };
    // A dimension line's end, or a cumulative marker on the line: it needs an extension line of
    // its point unless it lies within the point's gap.
    struct End {
        std::size_t point;
        double level;
    };
    std::vector<Line> lines;            // every line the arrangement adds
    std::vector<Piece> otherExtensions; // the chain's, which also serve the overall at its ends
    std::vector<Text> texts;
    std::vector<Marker> markers;
    std::vector<End> ends;
};

// The geometry of the generated run, in the dimension frame.
struct RunGeometry {
    double axis = 0;
    std::vector<Dimension::DrawingPoint> points;  // kept, ascending X
    double h = 0, H = 0, g = 0, o = 0, gap = 0;
    double outward = 1;  // +1 or -1 along y: away from most kept points, as the texts read
    double originRadius = 0;  // the circle marker's extent at the end-point scale
    double tol = 1e-6;

    Dimension::DrawingPoint In(const Dimension::DrawingPoint& p) const { return InFrame(p, axis); }

    Box TextBox(const Dimension::ValueTextLayout& text,
                const Dimension::DrawingPoint& direction) const
    {
        const double ux = direction.X / 10, uy = direction.Y / 10;
        const double ax = text.anchor.X, ay = text.anchor.Y, w = text.width;
        Box box;
        for (const Dimension::DrawingPoint& p :
             {Dimension::DrawingPoint{ax, ay}, Dimension::DrawingPoint{ax + w * ux, ay + w * uy},
              Dimension::DrawingPoint{ax + w * ux - H * uy, ay + w * uy + H * ux},
              Dimension::DrawingPoint{ax - H * uy, ay + H * ux}}) {
            box.Add(In(p));
        }
        return box;
    }

    Piece PieceOf(const Dimension::DrawingPoint& a, const Dimension::DrawingPoint& b) const
    {
        return {In(a), In(b)};
    }
};

// A normal marker's box: a line arrow over its tip and barbs; a marker point its extents along
// the line (either way, as the host centres some of them) and across it.
Box MarkerBox(const Dimension::EndMarkerLayout& marker, double along, double across,
              const RunGeometry& run)
{
    Box box;
    const Dimension::DrawingPoint tip = run.In(marker.tip);
    box.Add(tip);
    if (Dimension::IsMarkerPointKind(marker.kind)) {
        box.Add({tip.X - along, tip.Y - across});
        box.Add({tip.X + along, tip.Y + across});
    } else {
        for (const Dimension::DrawingPoint& barb : marker.barbs) box.Add(run.In(barb));
    }
    return box;
}

void AddEnds(const Dimension::EndMarkerLayout& marker, double along, double across, int owner,
             const RunGeometry& run, Sheet& sheet)
{
    sheet.markers.push_back({MarkerBox(marker, along, across, run), owner});
    if (Dimension::IsMarkerPointKind(marker.kind)) return;
    for (const Dimension::DrawingPoint& barb : marker.barbs) {
        sheet.lines.push_back({run.PieceOf(marker.tip, barb), Sheet::Line::Barb, owner});
    }
}

// A narrow marker (slash or dot) at a line's end.
void AddNarrow(const Dimension::DrawingPoint& at, const Dimension::RunStyle& style, int owner,
               const RunGeometry& run, Sheet& sheet)
{
    const double r = style.narrowMarker == Dimension::NarrowMarkerKind::Slash
                         ? std::min(style.StartAcross, style.EndAcross)
                         : 0.0;
    const Dimension::DrawingPoint p = run.In(at);
    Box box;
    box.Add({p.X - r, p.Y - r});
    box.Add({p.X + r, p.Y + r});
    sheet.markers.push_back({box, owner});
}

// The point whose X the frame point has.
std::size_t PointAt(double x, const RunGeometry& run)
{
    std::size_t best = 0;
    for (std::size_t k = 1; k < run.points.size(); ++k) {
        if (std::abs(run.points[k].X - x) < std::abs(run.points[best].X - x)) best = k;
    }
    return best;
}

void AddLevelLine(const Dimension::LevelLineLayout& line, const Dimension::RunStyle& style,
                  int owner, bool parallel, const RunGeometry& run, Sheet& sheet)
{
    const Piece segment = run.PieceOf(line.segment.N, line.segment.P);
    sheet.lines.push_back({segment, Sheet::Line::Dimension, owner});
    sheet.ends.push_back({PointAt(segment.a.X, run), segment.a.Y});
    sheet.ends.push_back({PointAt(segment.b.X, run), segment.b.Y});
    if (line.text) {
        const Box box = run.TextBox(*line.text, style.TextDirection);
        sheet.texts.push_back({box, owner, parallel && box.x0 > segment.b.X, false});
    }
    if (line.ends) {
        AddEnds(line.ends->start, style.StartAlong, style.StartAcross, owner, run, sheet);
        AddEnds(line.ends->end, style.EndAlong, style.EndAcross, owner, run, sheet);
    } else {
        AddNarrow(line.segment.N, style, owner, run, sheet);
        AddNarrow(line.segment.P, style, owner, run, sheet);
    }
}

Sheet SheetOf(const DimensionRun& layout, const RunGeometry& run)
{
    Sheet sheet;
    const Dimension::RunStyle& style = layout.style;
    auto extensions = [&](const std::vector<Dimension::ExtensionLine>& lines) {
        for (const Dimension::ExtensionLine& line : lines) {
            const Piece piece = run.PieceOf(line.start, line.end);
            sheet.lines.push_back({piece, Sheet::Line::Extension,
                                   static_cast<int>(PointAt(piece.a.X, run))});
        }
    };
    if (const auto* both = std::get_if<Dimension::ChainAndOverallLayout>(&layout.arrangement)) {
        const Dimension::ChainLayout& chain = both->chain;
        for (std::size_t k = 0; k < chain.intervals.size(); ++k) {
            const Dimension::IntervalLayout& interval = chain.intervals[k];
            const int owner = static_cast<int>(k);
            if (interval.text >= 0) {
                const auto& text = chain.texts[static_cast<std::size_t>(interval.text)];
                sheet.texts.push_back({run.TextBox(text, style.TextDirection), owner, false, true});
            }
            if (interval.ends >= 0) {
                const auto& ends = chain.ends[static_cast<std::size_t>(interval.ends)];
                sheet.markers.push_back(
                    {MarkerBox(ends.start, style.StartAlong, style.StartAcross, run), owner});
                sheet.markers.push_back(
                    {MarkerBox(ends.end, style.EndAlong, style.EndAcross, run), owner});
            }
            if (interval.narrowMarkerAtN) AddNarrow(interval.segment.N, style, owner, run, sheet);
            if (interval.narrowMarkerAtP) AddNarrow(interval.segment.P, style, owner, run, sheet);
        }
        for (const Dimension::ChainPoint& point : chain.points) {
            if (point.extension.present) {
                sheet.otherExtensions.push_back(
                    run.PieceOf(point.extension.start, point.extension.end));
            }
        }
        if (both->overall) {
            // The chain's line ends at the first and the last point too.
            sheet.ends.push_back({0, run.h});
            sheet.ends.push_back({run.points.size() - 1, run.h});
            // Only what the overall adds is checked: the chain is item 0's, byte for byte.
            AddLevelLine(both->overall->line, style, -1, false, run, sheet);
            extensions(both->overall->extensions);
        }
    }
    if (const auto* parallel = std::get_if<Dimension::ParallelLayout>(&layout.arrangement)) {
        for (std::size_t k = 0; k < parallel->lines.size(); ++k) {
            AddLevelLine(parallel->lines[k], style, static_cast<int>(k + 1), true, run, sheet);
        }
        extensions(parallel->extensions);
    }
    if (const auto* cumulative = std::get_if<Dimension::CumulativeLayout>(&layout.arrangement)) {
        sheet.lines.push_back({run.PieceOf(cumulative->lineStart, cumulative->lineEnd),
                               Sheet::Line::Dimension, 0});
        for (std::size_t k = 0; k < run.points.size(); ++k) sheet.ends.push_back({k, run.h});
        for (const Dimension::CumulativeText& entry : cumulative->texts) {
            sheet.texts.push_back(
                {run.TextBox(entry.text, cumulative->TextDirection), 1, false, false});
            if (entry.moved) {
                sheet.lines.push_back({run.PieceOf(entry.leaderStart, entry.text.leaderEnd),
                                       Sheet::Line::Leader, 0});
            }
        }
        AddEnds(cumulative->origin, run.originRadius, run.originRadius, 0, run, sheet);
        for (const Dimension::EndMarkerLayout& end : cumulative->ends) {
            AddEnds(end, style.EndAlong, style.EndAcross, 0, run, sheet);
        }
        extensions(cumulative->extensions);
    }
    return sheet;
}

// Whether a segment runs through the inside of a box, more than touching its sides.
bool Crosses(const Piece& piece, const Box& box, double tol)
{
    const double dx = piece.b.X - piece.a.X, dy = piece.b.Y - piece.a.Y;
    double t0 = 0, t1 = 1;
    const std::pair<double, double> sides[] = {{-dx, piece.a.X - (box.x0 + tol)},
                                               {dx, (box.x1 - tol) - piece.a.X},
                                               {-dy, piece.a.Y - (box.y0 + tol)},
                                               {dy, (box.y1 - tol) - piece.a.Y}};
    for (const auto& [p, q] : sides) {
        if (p == 0) {
            if (q < 0) return false;
        } else if (p < 0) {
            t0 = std::max(t0, q / p);
        } else {
            t1 = std::min(t1, q / p);
        }
    }
    return (t1 - t0) * std::hypot(dx, dy) > tol;
}

// Whether two boxes share more than a touch (a box of no size, a dot, shares its point).
bool Overlap(const Box& a, const Box& b, double tol)
{
    return a.x0 < b.x1 - tol && b.x0 < a.x1 - tol && a.y0 < b.y1 - tol && b.y0 < a.y1 - tol;
}

// Each property, and in how many runs of each arrangement it failed, with the first failure.
class Properties {
public:
    enum : std::size_t { Ends, Crossing, TextsOverlap, MarkerTouches, Outward, Cumulative, Count };

    // `what` says which kind of failure it is (also counted on its own), `where` the first place.
    void Fail(std::size_t property, int arrangement, const std::string& what,
              const std::string& where)
    {
        failedNow_[property] = true;
        if (first_[property].empty()) first_[property] = what + " " + where;
        arrangement_ = static_cast<std::size_t>(arrangement);
        kindsNow_.insert(what);
    }
    void EndRun(bool negativeGap)
    {
        for (std::size_t p = 0; p < Count; ++p) {
            if (failedNow_[p]) ++runs_[p][arrangement_];
            failedNow_[p] = false;
        }
        for (const std::string& what : kindsNow_) {
            ++kinds_[what + (negativeGap ? ", g < 0" : ", g >= 0")][arrangement_];
        }
        kindsNow_.clear();
    }
    void Report(int runs) const
    {
        std::string kinds;
        for (const auto& [what, count] : kinds_) {
            kinds += "\n  " + what + ": " + std::to_string(count[1]) + " / " +
                     std::to_string(count[2]) + " / " + std::to_string(count[3]);
        }
        for (std::size_t p = 0; p < Count; ++p) {
            const int failed = runs_[p][1] + runs_[p][2] + runs_[p][3];
            EXPECT_EQ(failed, 0) << kNames[p] << ": failed in " << runs_[p][1] << " / "
                                 << runs_[p][2] << " / " << runs_[p][3] << " of " << runs
                                 << " runs of items 1 / 2 / 3; first: " << first_[p];
        }
        if (!kinds.empty()) ADD_FAILURE() << "failures by kind, runs of items 1 / 2 / 3:" << kinds;
    }

private:
    static constexpr std::array<const char*, Count> kNames = {
        "every line end on an extension line passing the farthest line by the overshoot",
        "no line crosses a value",
        "no two values overlap",
        "no marker touches another line's value or marker",
        "cumulative values on the outward side",
        "cumulative values at their place, leaders from the extension line"};
    std::array<std::array<int, 4>, Count> runs_{};
    std::array<std::string, Count> first_{};
    std::array<bool, Count> failedNow_{};
    std::size_t arrangement_ = 0;
    std::set<std::string> kindsNow_;
    std::map<std::string, std::array<int, 4>> kinds_;
};

std::string At(double x, double y)
{
    return "at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

const char* RoleName(Sheet::Line::Role role)
{
    switch (role) {
    case Sheet::Line::Dimension: return "a dimension line through a value";
    case Sheet::Line::Extension: return "an extension line through a value";
    case Sheet::Line::Leader: return "a leader through a value";
    case Sheet::Line::Barb: return "an arrow's barb through a value";
    }
    return "";
}

// Every end of every dimension line lies on an extension line of its point, which passes the
// farthest line on that side by the overshoot; a line within the gap of its point is exempt.
void CheckEnds(const Sheet& sheet, const RunGeometry& run, int item, Properties& properties)
{
    for (std::size_t k = 0; k < run.points.size(); ++k) {
        const Dimension::DrawingPoint& point = run.points[k];
        std::vector<Piece> pieces = sheet.otherExtensions;
        for (const Sheet::Line& line : sheet.lines) {
            if (line.role == Sheet::Line::Extension) pieces.push_back(line.piece);
        }
        std::erase_if(pieces, [&](const Piece& p) { return std::abs(p.a.X - point.X) > run.tol; });
        for (const double side : {1.0, -1.0}) {
            double farthest = -1e300;
            std::vector<double> levels;
            for (const Sheet::End& end : sheet.ends) {
                if (end.point != k || std::abs(end.level - point.Y) - run.gap <= run.tol) continue;
                if (side * (end.level - point.Y) <= 0) continue;
                levels.push_back(end.level);
                farthest = std::max(farthest, side * end.level);
            }
            if (levels.empty()) continue;
            double reach = -1e300;
            for (const Piece& p : pieces) {
                if (side * ((p.a.Y + p.b.Y) / 2 - point.Y) <= 0) continue;
                reach = std::max({reach, side * p.a.Y, side * p.b.Y});
            }
            for (const double level : levels) {
                const bool covered = std::any_of(pieces.begin(), pieces.end(), [&](const Piece& p) {
                    return std::min(p.a.Y, p.b.Y) - run.tol <= level &&
                           level <= std::max(p.a.Y, p.b.Y) + run.tol;
                });
                if (!covered) {
                    properties.Fail(Properties::Ends, item, "a line end in the air",
                                    At(point.X, level));
                }
            }
            if (std::abs(reach - (farthest + run.o)) > run.tol) {
                properties.Fail(Properties::Ends, item,
                                "an extension line not passing its farthest line by o",
                                At(point.X, side * farthest));
            }
        }
    }
}

void CheckClearances(const Sheet& sheet, const RunGeometry& run, int item,
                     Properties& properties)
{
    for (const Sheet::Line& line : sheet.lines) {
        for (const Sheet::Text& text : sheet.texts) {
            if (text.beyond && line.role == Sheet::Line::Extension) continue;
            if (Crosses(line.piece, text.box, run.tol)) {
                properties.Fail(Properties::Crossing, item, RoleName(line.role),
                                At(text.box.x0, text.box.y0));
            }
        }
    }
    // In item 1 only what the overall adds: the chain stays as item 0 draws it.
    auto checked = [&](int a, int b) { return item != 1 || a == -1 || b == -1; };
    for (std::size_t a = 0; a < sheet.texts.size(); ++a) {
        for (std::size_t b = a + 1; b < sheet.texts.size(); ++b) {
            if (!checked(sheet.texts[a].owner, sheet.texts[b].owner)) continue;
            if (Overlap(sheet.texts[a].box, sheet.texts[b].box, run.tol)) {
                properties.Fail(Properties::TextsOverlap, item, "values overlap",
                                At(sheet.texts[a].box.x0, sheet.texts[a].box.y0));
            }
        }
    }
    for (std::size_t a = 0; a < sheet.markers.size(); ++a) {
        const Sheet::Marker& marker = sheet.markers[a];
        for (const Sheet::Text& text : sheet.texts) {
            if (!checked(marker.owner, text.chain ? 0 : text.owner)) continue;
            if (Overlap(marker.box, text.box, run.tol)) {
                properties.Fail(Properties::MarkerTouches, item,
                                marker.owner == (text.chain ? 0 : text.owner) && !text.chain
                                    ? "a marker on its own line's value"
                                    : "a marker on another line's value",
                                At(marker.box.x0, marker.box.y0));
            }
        }
        for (std::size_t b = a + 1; b < sheet.markers.size(); ++b) {
            const Sheet::Marker& other = sheet.markers[b];
            if (other.owner == marker.owner || !checked(marker.owner, other.owner)) continue;
            if (Overlap(marker.box, other.box, run.tol)) {
                properties.Fail(Properties::MarkerTouches, item, "markers of two lines touch",
                                At(marker.box.x0, marker.box.y0));
            }
        }
    }
}

// 累進: every value beyond the line on the outward side, its near end at e; at its own place
// |g| beside its extension line unless that is less than H + |g| beyond the value before, then
// exactly there, with a leader from its point's extension line (or the point) to its near end.
void CheckCumulative(const Dimension::CumulativeLayout& cumulative, const Sheet& sheet,
                     const RunGeometry& run, double nearEnd, Properties& properties)
{
    const Dimension::DrawingPoint reads = run.In(cumulative.TextDirection);
    const double gap = std::abs(run.g);
    double before = 0;
    for (std::size_t k = 0; k < run.points.size(); ++k) {
        const Dimension::CumulativeText& entry = cumulative.texts[k];
        const Box& box = sheet.texts[k].box;
        const Dimension::DrawingPoint& point = run.points[k];
        if (std::min(run.outward * (box.y0 - run.h), run.outward * (box.y1 - run.h)) <= 0) {
            properties.Fail(Properties::Outward, 3, "a value not outward", At(box.x0, box.y0));
        }
        const double near = run.outward > 0 ? box.y0 - run.h : run.h - box.y1;
        const double own = reads.Y > 0 ? point.X - gap - run.H : point.X + gap;
        const bool moves = k > 0 && own < before + run.H + gap - 1e-9 * run.H;
        const double place = moves ? before + run.H + gap : own;
        before = place;
        if (std::abs(near - nearEnd) > run.tol || std::abs(box.x0 - place) > run.tol ||
            entry.moved != moves) {
            properties.Fail(Properties::Cumulative, 3, "a value out of place", At(box.x0, near));
            continue;
        }
        if (!entry.moved) continue;
        const Dimension::DrawingPoint start = run.In(entry.leaderStart);
        const Dimension::DrawingPoint end = run.In(entry.text.leaderEnd);
        bool onItsLine = false, hasLine = false;
        for (const Sheet::Line& line : sheet.lines) {
            const Piece& p = line.piece;
            if (line.role != Sheet::Line::Extension) continue;
            if (std::abs(p.a.X - point.X) > run.tol) continue;
            hasLine = true;
            onItsLine |= std::abs(start.X - point.X) <= run.tol &&
                         std::min(p.a.Y, p.b.Y) - run.tol <= start.Y &&
                         start.Y <= std::max(p.a.Y, p.b.Y) + run.tol;
        }
        if (!hasLine) onItsLine = std::hypot(start.X - point.X, start.Y - point.Y) <= run.tol;
        const double endY = run.h + run.outward * nearEnd;
        if (!onItsLine || std::abs(end.X - (place + run.H / 2)) > run.tol ||
            std::abs(end.Y - endY) > run.tol) {
            properties.Fail(Properties::Cumulative, 3,
                            "a leader not from its point's extension line", At(start.X, start.Y));
        }
    }
}

// The outward side, as the arrangements define it: away from most kept points as the value texts
// read (a tie counts as below), in the dimension frame.
double OutwardOf(const MeasurePointList& points, const HeightPoint& height, double axis,
                 double textAngle)
{
    auto upInTexts = [&](double x, double y) {
        double dx, dy, tx, ty;
        MyFunc::RotatePointDeg(x, y, 0, 0, axis, dx, dy);
        MyFunc::RotatePointDeg(dx, dy, 0, 0, -textAngle, tx, ty);
        return ty;
    };
    const double h = upInTexts(height.X, height.Y);
    std::size_t below = 0;
    for (const Dimension::MeasurePoint& p : points) {
        if (h >= upInTexts(p.X, p.Y)) ++below;
    }
    const double inTexts = 2 * below >= points.size() ? 1.0 : -1.0;
    const bool turned = std::cos((axis - textAngle) * 3.14159265358979323846 / 180) < 0;
    return turned ? -inTexts : inTexts;
}

// Generated drawings in every arrangement: whole-number positions, so that every distance from
// the first point is a whole number whose value text (the default options) is its digits; 2 to
// 60 points on both sides of the line, every marker kind at end-point scales 0.5 to 3, line
// arrows of 10 to 60 degrees, value gaps from -2H to 2H, turned axes and vertical runs. (That the
// chain's commands come first and unchanged in 直列＋全体 is checked on whole generated runs, by
// korvane_target_runs.)
TEST(Layout, ArrangementsOverGeneratedRuns)
{
    using A = Dimension::DimensionArrangement;
    std::mt19937 random(20261208u);
    auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const double axes[] = {0, 30, 90, 135, 180, 225, 270, 300};
    const double scales[] = {1, 10, 50};
    Properties properties;
    const int trials = 600;
    for (int trial = 0; trial < trials; ++trial) {
        SCOPED_TRACE(trial);
        const int n = trial % 5 == 0 ? 2 + below(59) : 2 + below(12);
        const int step = trial % 2 == 0 ? 40 : 3000;  // crowded or roomy
        const int spread = std::array{50, 400, 3000}[static_cast<std::size_t>(below(3))];
        std::vector<long> xs = {below(2000) - 1000};
        while (static_cast<int>(xs.size()) < n) xs.push_back(xs.back() + 1 + below(step));
        MeasurePointList points;
        for (long x : xs) {
            points.push_back({static_cast<double>(x),
                              static_cast<double>(below(2 * spread) - spread), 1});
        }
        const HeightPoint height{0, static_cast<double>(below(400) - 200)};
        RidEdaza::DrawingState state;
        state.textKinds[0] = {1.0 + below(8), 1.0 + below(8), static_cast<double>(below(3)), 2};
        DimensionSettings settings = Defaults();
        settings.DimensionAngle = trial % 3 == 0 ? below(36000) / 100.0 : axes[below(8)];
        if (trial % 7 == 0) settings.DimensionAngle += 90;  // a vertical run
        settings.StartMarker = trial % 12;
        settings.EndMarker = below(12);
        settings.EndMarkerScale = 0.5 + below(11) * 0.25;
        settings.MarkerLength = 1 + below(5);
        settings.MarkerAngle = 10 + below(6) * 10;
        settings.NarrowMarker = below(2);
        settings.ValueGap = state.textKinds[0].height * (below(17) - 8) / 4.0;
        settings.ExtensionOvershoot = below(9) * 0.5;
        settings.ExtensionGap = below(7) * 0.5;
        Dimension::ScaleDimensionSettings(settings, scales[below(3)]);
        auto distance = [&](std::size_t k) { return std::to_string(xs[k] - xs[0]); };

        RunGeometry run;
        run.axis = settings.DimensionAngle;
        for (long x : xs) run.points.push_back({static_cast<double>(x), 0});
        for (std::size_t k = 0; k < points.size(); ++k) run.points[k].Y = points[k].Y;
        run.h = height.Y;
        run.H = state.textKinds[0].height * settings.CurrentScale;
        run.g = settings.ValueGap;
        run.o = settings.ExtensionOvershoot;
        run.gap = settings.ExtensionGap;
        run.originRadius = Dimension::MarkerExtentOf(Dimension::kOriginMarkerCode, settings).across;

        DimensionRun runs[4];
        for (const A arrangement : {A::ChainAndOverall, A::Parallel, A::Cumulative}) {
            const auto i = static_cast<std::size_t>(arrangement);
            settings.Arrangement = static_cast<std::int32_t>(arrangement);
            ASSERT_TRUE(Dimension::LayoutDimensionRun(points, height, settings, state, runs[i]));
        }
        run.outward = OutwardOf(points, height, run.axis, runs[1].style.TextAngle);

        // The values: the distances from the first point, "0" at the first in 累進, the whole
        // distance for the overall.
        const Drawn parallel = DrawnOf(runs[2]);
        ASSERT_EQ(parallel.lines.size(), xs.size() - 1);
        ASSERT_EQ(parallel.texts.size(), xs.size() - 1);
        for (std::size_t k = 0; k + 1 < xs.size(); ++k) {
            EXPECT_EQ(parallel.texts[k].text, distance(k + 1));
        }
        const auto& cumulative = std::get<Dimension::CumulativeLayout>(runs[3].arrangement);
        ASSERT_EQ(cumulative.texts.size(), xs.size());
        for (std::size_t k = 0; k < xs.size(); ++k) {
            EXPECT_EQ(cumulative.texts[k].text.text, distance(k));
        }
        const auto& overall = std::get<Dimension::ChainAndOverallLayout>(runs[1].arrangement);
        ASSERT_EQ(overall.overall.has_value(), xs.size() > 2);
        if (overall.overall) {
            ASSERT_TRUE(overall.overall->line.text.has_value());
            EXPECT_EQ(overall.overall->line.text->text, distance(xs.size() - 1));
        }

        // The geometry a drafter checks.
        const double nearEnd =
            std::max({run.o, runs[3].style.EndAcross, run.originRadius}) + std::abs(run.g);
        for (const int item : {1, 2, 3}) {
            const Sheet sheet = SheetOf(runs[static_cast<std::size_t>(item)], run);
            CheckEnds(sheet, run, item, properties);
            CheckClearances(sheet, run, item, properties);
            if (item == 3) CheckCumulative(cumulative, sheet, run, nearEnd, properties);
            properties.EndRun(run.g < 0);
        }
    }
    properties.Report(trials);
}

}  // namespace
