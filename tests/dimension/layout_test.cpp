#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
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
        EXPECT_NEAR(Layout(PointsAt({0, 5000}), settings).SlashScale, c.slashScale, 1e-12);
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
        run.points = {{99, true, {}}};  // a stale run must not survive a refusal
        ASSERT_EQ(Dimension::LayoutDimensionRun(c.points, {}, Defaults(), {}, run), c.laidOut);
        EXPECT_EQ(Each(run.points, &Dimension::PointLayout::index), c.keptIndex);
        EXPECT_EQ(Each(run.intervals, &Dimension::IntervalLayout::length), c.interval);
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
        EXPECT_EQ(Each(Layout(PointsAt(c.xs), Defaults(), state).intervals,
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
        EXPECT_EQ(Each(run.points, &Dimension::PointLayout::wideNeighbour), c.wide);
        std::string markers;
        for (const Dimension::IntervalLayout& interval : run.intervals) {
            const bool n = interval.narrowMarkerAtN;
            const bool p = interval.narrowMarkerAtP;
            markers += interval.ends >= 0 ? 'W' : n && p ? 'B' : n ? 'N' : p ? 'P' : '-';
        }
        EXPECT_EQ(markers, c.markers);
        EXPECT_EQ(run.ends.size(), static_cast<std::size_t>(std::count(markers.begin(), markers.end(), 'W')));
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
        EXPECT_EQ(Layout(PointsAt({0, 10}), settings).TextAngle, c[1]);
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
        const Dimension::ExtensionSegment& line = run.points[0].extension;
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
        const Dimension::IntervalLayout& interval = run.intervals.back();
        ASSERT_EQ(interval.row, c.row);
        ASSERT_GE(interval.text, 0);
        const Dimension::ValueTextLayout& text = run.texts[static_cast<std::size_t>(interval.text)];
        const Dimension::DrawingPoint anchor = InFrame(text.anchor, c.axis);
        EXPECT_NEAR(anchor.X, c.anchorX, 1e-12);
        EXPECT_NEAR(anchor.Y, c.anchorY, 1e-12);
        const Dimension::DrawingPoint direction = InFrame(run.TextDirection, c.axis);
        EXPECT_NEAR(direction.X, c.dirX, 1e-12);
        EXPECT_NEAR(direction.Y, 0, 1e-12);
        const Dimension::DrawingPoint leaderEnd = InFrame(text.leaderEnd, c.axis);
        EXPECT_NEAR(leaderEnd.X, 5, 1e-12);
        EXPECT_NEAR(leaderEnd.Y, c.leaderEndY, 1e-12);
    }
}

}  // namespace
