#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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
        EXPECT_EQ(chain.ends.size(), static_cast<std::size_t>(std::count(markers.begin(), markers.end(), 'W')));
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
        const Dimension::ValueTextLayout& text = chain.texts[static_cast<std::size_t>(interval.text)];
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
// 0.5, overshoot 2, line arrows 3 at 15 degrees: the pitch is max(6, 4, 4) = 6. Expected values
// are in the dimension frame; texts in their order in the record (the overall's last).
TEST(Layout, ArrangementsPlaceTheirLinesAndTexts)
{
    using A = Dimension::DimensionArrangement;
    struct Text {
        std::string text;
        double x, y;
    };
    struct Case {
        const char* name;
        A arrangement;
        std::vector<double> xs;
        double pointY, axis, charWidth;
        std::vector<double> levels;  // N.Y of each line; the overall's last
        std::vector<Text> texts;
    };
    const Case cases[] = {
        {"parallel: the shortest at h, one pitch apart", A::Parallel, {0, 10, 30}, 0, 0, 6,
         {100, 106}, {{"10", 2, 100.5}, {"30", 12, 106.5}}},
        {"parallel, points above: outward is down", A::Parallel, {0, 10, 30}, 200, 0, 6,
         {100, 94}, {{"10", 2, 100.5}, {"30", 12, 94.5}}},
        // The texts read the other way: level 0 hangs below each line in this frame.
        {"parallel, axis 180", A::Parallel, {0, 10, 30}, 0, 180, 6, {100, 106},
         {{"10", 8, 99.5}, {"30", 18, 105.5}}},
        // "10" is 12 wide: beyond 10, past the arrow (2.8977774788672) and the gap.
        {"parallel: a text beyond its end", A::Parallel, {0, 10, 30}, 0, 0, 12, {100, 106},
         {{"10", 13.3977774788672, 100.5}, {"30", 9, 106.5}}},
        // The chain's texts reach 3.5 out, then one pitch: the overall at 109.5.
        {"chain with overall", A::ChainAndOverall, {0, 10, 30}, 0, 0, 6, {100, 100, 109.5},
         {{"10", 2, 100.5}, {"20", 17, 100.5}, {"30", 12, 110}}},
        {"chain with overall, one interval adds nothing", A::ChainAndOverall, {0, 10}, 0, 0, 6,
         {100}, {{"10", 2, 100.5}}},
        // Texts reading up, 3.5 left of each point (g and H), near end at max(2, 0.78, 1.25) + g.
        {"cumulative", A::Cumulative, {0, 10, 30}, 0, 0, 6, {},
         {{"0", -0.5, 102.5}, {"10", 9.5, 102.5}, {"30", 29.5, 102.5}}},
        {"cumulative, crowded texts pushed along", A::Cumulative, {0, 1, 2}, 0, 0, 6, {},
         {{"0", -0.5, 102.5}, {"1", 3, 102.5}, {"2", 6.5, 102.5}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RidEdaza::DrawingState state;
        state.textKinds[0] = {c.charWidth, 3, 0, 2};
        DimensionSettings settings = Defaults();
        settings.DimensionAngle = c.axis;
        settings.Arrangement = static_cast<std::int32_t>(c.arrangement);
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

// A value text's outline in drawing coordinates: its base line from the anchor along its
// direction (given 10 long), its body on the upper side.
std::vector<Dimension::DrawingPoint> TextOutline(const Dimension::ValueTextLayout& text,
                                                 const Dimension::DrawingPoint& direction,
                                                 double height)
{
    const double ux = direction.X / 10, uy = direction.Y / 10;
    const double ax = text.anchor.X, ay = text.anchor.Y;
    const double w = text.width;
    return {{ax, ay},
            {ax + w * ux, ay + w * uy},
            {ax + w * ux - height * uy, ay + w * uy + height * ux},
            {ax - height * uy, ay + height * ux}};
}

// Whether two convex outlines (a segment is one of two points) share more than a touch.
bool Overlap(const std::vector<Dimension::DrawingPoint>& a,
             const std::vector<Dimension::DrawingPoint>& b, double slack)
{
    for (const auto* shape : {&a, &b}) {
        for (std::size_t i = 0; i < shape->size(); ++i) {
            const Dimension::DrawingPoint& p = (*shape)[i];
            const Dimension::DrawingPoint& q = (*shape)[(i + 1) % shape->size()];
            const double nx = -(q.Y - p.Y), ny = q.X - p.X;
            auto range = [&](const std::vector<Dimension::DrawingPoint>& s) {
                double low = 1e300, high = -1e300;
                for (const Dimension::DrawingPoint& v : s) {
                    low = std::min(low, v.X * nx + v.Y * ny);
                    high = std::max(high, v.X * nx + v.Y * ny);
                }
                return std::pair{low, high};
            };
            const auto [aLow, aHigh] = range(a);
            const auto [bLow, bHigh] = range(b);
            const double scaled = slack * std::hypot(nx, ny);
            if (aHigh <= bLow + scaled || bHigh <= aLow + scaled) return false;
        }
    }
    return true;
}

// Generated runs in every arrangement: whole-number positions, so that every distance from the
// first point is a whole number whose value text (the default options) is its digits; value gaps
// of 0 and more; points on both sides of the line; every direction of the texts. (That the
// chain's commands come first and unchanged in 直列＋全体 is checked on whole generated runs, by
// korvane_target_runs.)
TEST(Layout, ArrangementsOverGeneratedRuns)
{
    using A = Dimension::DimensionArrangement;
    std::mt19937 random(20261208u);
    auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const double axes[] = {0, 30, 90, 135, 180, 225, 270, 300};
    const double scales[] = {1, 10, 50};
    for (int trial = 0; trial < 400; ++trial) {
        SCOPED_TRACE(trial);
        const int n = 2 + below(12);
        const int step = trial % 2 == 0 ? 40 : 3000;  // crowded or roomy
        std::vector<long> xs = {below(2000) - 1000};
        while (static_cast<int>(xs.size()) < n) xs.push_back(xs.back() + 1 + below(step));
        MeasurePointList points;
        for (long x : xs) {
            points.push_back({static_cast<double>(x), static_cast<double>(below(400) - 200), 1});
        }
        const HeightPoint height{0, static_cast<double>(below(400) - 200)};
        RidEdaza::DrawingState state;
        state.textKinds[0] = {1.0 + below(8), 1.0 + below(8), static_cast<double>(below(3)), 2};
        DimensionSettings settings = Defaults();
        settings.DimensionAngle = axes[below(8)];
        settings.StartMarker = below(12);
        settings.EndMarker = below(12);
        settings.ValueGap = below(4) * 0.5;
        settings.ExtensionOvershoot = below(4);
        settings.ExtensionGap = below(3);
        Dimension::ScaleDimensionSettings(settings, scales[below(3)]);
        const double textHeight = state.textKinds[0].height * settings.CurrentScale;
        const double slack = 1e-6;
        auto distance = [&](std::size_t k) { return std::to_string(xs[k] - xs[0]); };

        DimensionRun runs[4];
        for (const A arrangement : {A::ChainAndOverall, A::Parallel, A::Cumulative}) {
            const auto i = static_cast<std::size_t>(arrangement);
            settings.Arrangement = static_cast<std::int32_t>(arrangement);
            ASSERT_TRUE(
                Dimension::LayoutDimensionRun(points, height, settings, state, runs[i]));
        }

        // Parallel: one line from the first point to each further one, with its distance; no
        // two texts share any room.
        const Drawn parallel = DrawnOf(runs[2]);
        const Dimension::DrawingPoint& direction = runs[2].style.TextDirection;
        ASSERT_EQ(parallel.lines.size(), xs.size() - 1);
        ASSERT_EQ(parallel.texts.size(), xs.size() - 1);
        std::vector<std::vector<Dimension::DrawingPoint>> outlines;
        for (std::size_t k = 0; k + 1 < xs.size(); ++k) {
            EXPECT_EQ(parallel.texts[k].text, distance(k + 1));
            outlines.push_back(TextOutline(parallel.texts[k], direction, textHeight));
        }
        for (std::size_t a = 0; a < outlines.size(); ++a) {
            for (std::size_t b = a + 1; b < outlines.size(); ++b) {
                EXPECT_FALSE(Overlap(outlines[a], outlines[b], slack)) << a << " and " << b;
            }
        }

        // Cumulative: every point's distance from the first, "0" at the first, no overlap.
        const auto& cumulative = std::get<Dimension::CumulativeLayout>(runs[3].arrangement);
        ASSERT_EQ(cumulative.texts.size(), xs.size());
        outlines.clear();
        for (std::size_t k = 0; k < xs.size(); ++k) {
            EXPECT_EQ(cumulative.texts[k].text.text, distance(k));
            outlines.push_back(
                TextOutline(cumulative.texts[k].text, cumulative.TextDirection, textHeight));
        }
        for (std::size_t a = 0; a < outlines.size(); ++a) {
            for (std::size_t b = a + 1; b < outlines.size(); ++b) {
                EXPECT_FALSE(Overlap(outlines[a], outlines[b], slack)) << a << " and " << b;
            }
        }

        // Chain with overall: the overall's value the whole distance, clear of every text of
        // the chain.
        const auto& overall = std::get<Dimension::ChainAndOverallLayout>(runs[1].arrangement);
        ASSERT_EQ(overall.overall.has_value(), xs.size() > 2);
        if (!overall.overall) continue;
        const Dimension::LevelLineLayout& line = overall.overall->line;
        ASSERT_TRUE(line.text.has_value());
        EXPECT_EQ(line.text->text, distance(xs.size() - 1));
        const auto wholeOutline = TextOutline(*line.text, direction, textHeight);
        for (std::size_t t = 0; t < overall.chain.texts.size(); ++t) {
            const auto chainText = TextOutline(overall.chain.texts[t], direction, textHeight);
            EXPECT_FALSE(Overlap({line.segment.N, line.segment.P}, chainText, slack))
                << "line over text " << t;
            EXPECT_FALSE(Overlap(wholeOutline, chainText, slack)) << "text over text " << t;
        }
    }
}

}  // namespace
