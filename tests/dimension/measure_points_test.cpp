#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "dimension/measure_points_internal.hpp"

using Dimension::AcquireMeasurePoints;
using Dimension::AcquireResult;
using Dimension::AddMeasurePoint;
using Dimension::DimensionSettings;
using Dimension::GroupMeasurePoints;
using Dimension::HeightPoint;
using Dimension::MeasurePoint;
using Dimension::MeasurePointList;
using Dimension::OrderMeasurePoints;
using Dimension::PointKind;
using Dimension::PointSource;
using RidEdaza::DrawingModel;

namespace {

struct Xy {
    double x;
    double y;
};

constexpr double kInf = std::numeric_limits<double>::infinity();

// Exact comparison: with an axis angle of 0 the frame is the drawing scaled, bit for bit.
void ExpectPoints(const MeasurePointList& actual, const std::vector<Xy>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("point " + std::to_string(i));
        EXPECT_EQ(actual[i].X, expected[i].x);
        EXPECT_EQ(actual[i].Y, expected[i].y);
        EXPECT_EQ(actual[i].Kept, 1);
    }
}

// Up to the rounding of sines and cosines of whole right angles.
void ExpectPointsNear(const MeasurePointList& actual, const std::vector<Xy>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("point " + std::to_string(i));
        EXPECT_NEAR(actual[i].X, expected[i].x, 1e-9);
        EXPECT_NEAR(actual[i].Y, expected[i].y, 1e-9);
    }
}

RidEdaza::EntityAttributes OnGroup(std::int32_t layerGroup, std::int32_t zFlags = 0)
{
    RidEdaza::EntityAttributes attributes;
    attributes.layerGroup = layerGroup;
    attributes.zFlags = zFlags;
    return attributes;
}

// The records of a drawing, on a layer group and with z marks where a test needs them.
RidEdaza::TJwwEntLine Line(double x1, double y1, double x2, double y2, std::int32_t group = 0,
                           std::int32_t zFlags = 0)
{
    return {.attributes = OnGroup(group, zFlags), .x1 = x1, .y1 = y1, .x2 = x2, .y2 = y2};
}

RidEdaza::TJwwEntPoint Point(double x, double y, std::int32_t group = 0, std::int32_t zFlags = 0)
{
    return {.attributes = OnGroup(group, zFlags), .x = x, .y = y};
}

RidEdaza::TJwwEntMarkerPoint Marker(double x, double y, std::int32_t group = 0,
                                    std::int32_t zFlags = 0)
{
    return {.attributes = OnGroup(group, zFlags), .x = x, .y = y};
}

RidEdaza::TJwwEntCircle Circle(double cx, double cy, double r, std::int32_t group = 0,
                               std::int32_t zFlags = 0)
{
    return {.attributes = OnGroup(group, zFlags), .centreX = cx, .centreY = cy, .radius = r};
}

RidEdaza::TJwwEntArc Arc(double cx, double cy, double r, double start, double end,
                         double flatness = 1.0, double tilt = 0.0, std::int32_t group = 0,
                         std::int32_t zFlags = 0)
{
    return {.attributes = OnGroup(group, zFlags), .centreX = cx, .centreY = cy, .radius = r,
            .startAngle = start, .endAngle = end, .flatness = flatness, .tiltAngle = tilt};
}

void Indicate(DrawingModel& model, int n, double x, double y)
{
    RidEdaza::IndicatedPoint& point = model.state.indicatedPoints[static_cast<std::size_t>(n)];
    point.present = true;
    point.x = x;
    point.y = y;
}

// Sets of point kinds as bits, one a kind, for compact tables.
constexpr unsigned Kind(PointKind kind) { return 1u << static_cast<unsigned>(kind); }
constexpr unsigned kNear = Kind(PointKind::NearLineEnds);
constexpr unsigned kFar = Kind(PointKind::FarLineEnds);
constexpr unsigned kPoints = Kind(PointKind::Points);
constexpr unsigned kCentres = Kind(PointKind::ArcCentres);
constexpr unsigned kArcEnds = Kind(PointKind::ArcEnds);
constexpr unsigned kAll = kNear | kFar | kPoints | kCentres | kArcEnds;

constexpr PointSource kIndicated = PointSource::IndicatedPoints;
constexpr PointSource kRange = PointSource::RangeSelection;

DimensionSettings Taking(unsigned kinds)
{
    DimensionSettings settings;
    for (std::size_t k = 0; k < Dimension::kPointKindCount; ++k) {
        settings.TakenPoints[k] = (kinds & (1u << k)) != 0;
    }
    return settings;
}

// The points of an acquisition in range-selection mode; one that does not complete fails the
// test.
MeasurePointList Acquired(const DimensionSettings& settings, const DrawingModel& model)
{
    HeightPoint height;
    MeasurePointList points;
    EXPECT_EQ(AcquireMeasurePoints(settings, model, kRange, height, points), AcquireResult::Done);
    return points;
}

MeasurePointList Listed(const std::vector<Xy>& xy)
{
    MeasurePointList points;
    for (const Xy& p : xy) points.push_back(MeasurePoint{p.x, p.y, 1});
    return points;
}

}  // namespace

TEST(AddMeasurePoint, DropsOnlyPointsWithinTheToleranceInBothCoordinates)
{
    struct Case {
        const char* name;
        std::vector<Xy> added;
        std::vector<Xy> expected;
    };
    const Case cases[] = {
        {"same point twice", {{3, 4}, {3, 4}}, {{3, 4}}},
        {"half the tolerance in both", {{0, 0}, {0.5e-10, -0.5e-10}}, {{0, 0}}},
        // The double nearest 1e-10 lies just above the extended tolerance.
        {"X apart by the double 1e-10", {{0, 0}, {1e-10, 0}}, {{0, 0}, {1e-10, 0}}},
        {"Y apart by the double 1e-10", {{0, 0}, {0, 1e-10}}, {{0, 0}, {0, 1e-10}}},
        {"close in X only", {{0, 0}, {0.5e-10, 2e-10}}, {{0, 0}, {0.5e-10, 2e-10}}},
        {"close in Y only", {{0, 0}, {2e-10, 0.5e-10}}, {{0, 0}, {2e-10, 0.5e-10}}},
        {"near an earlier point, not the last", {{0, 0}, {5, 5}, {0.5e-10, 0}},
         {{0, 0}, {5, 5}}},
        {"insertion order kept", {{9, 0}, {1, 0}, {5, 0}}, {{9, 0}, {1, 0}, {5, 0}}},
        // Compared with the points kept, not with the points offered.
        {"chain of near points", {{0, 0}, {0.8e-10, 0}, {1.6e-10, 0}}, {{0, 0}, {1.6e-10, 0}}},
        {"near the second point only", {{0, 0}, {1.5e-10, 0}, {2.3e-10, 0}},
         {{0, 0}, {1.5e-10, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MeasurePointList points;
        for (const Xy& p : c.added) AddMeasurePoint(points, p.x, p.y);
        ExpectPoints(points, c.expected);
    }
}

TEST(AddMeasurePoint, KeepsManyDistinctPoints)
{
    MeasurePointList points;
    for (int i = 0; i < 250; ++i) AddMeasurePoint(points, i, -i);
    for (int i = 0; i < 250; ++i) AddMeasurePoint(points, i, -i);
    ASSERT_EQ(points.size(), 250u);
    EXPECT_EQ(points[249].X, 249.0);
    EXPECT_EQ(points[249].Y, -249.0);
}

// The host's arguments are read once into the request: only exactly "1" selects the indicated
// points, and a V as the first or second argument a vertical run.
TEST(AcquireMeasurePoints, OnlyTheArgumentOneSelectsIndicatedPoints)
{
    DrawingModel model;
    model.state.layerGroupScale[0] = 100.0;
    Indicate(model, 1, 0, 50);
    Indicate(model, 2, 10, 1);
    Indicate(model, 3, 20, 2);
    Indicate(model, 5, 40, 4);  // after the gap at 4: never reached
    model.points.push_back(Point(8, 6));
    DimensionSettings settings = Taking(kPoints);
    settings.CurrentScale = 50.0;

    using Dimension::RequestedRuns;
    constexpr RequestedRuns kH = RequestedRuns::Horizontal;
    constexpr RequestedRuns kV = RequestedRuns::Vertical;
    constexpr RequestedRuns kHV = RequestedRuns::Both;
    struct Case {
        std::vector<std::string> arguments;
        PointSource source;
        RequestedRuns runs;
    };
    const Case cases[] = {
        {{"1"}, kIndicated, kH},    {{" 1"}, kRange, kH},      {{"01"}, kRange, kH},
        {{"1 "}, kRange, kH},       {{""}, kRange, kH},        {{}, kRange, kH},
        {{"2"}, kRange, kH},        {{"11"}, kRange, kH},      {{"+1"}, kRange, kH},
        {{"1", "V"}, kIndicated, kV}, {{"2", "v"}, kRange, kV}, {{"V"}, kRange, kV},
        {{"V", "1"}, kRange, kV},   {{"1", "2", "V"}, kIndicated, kH},
        {{"1", "Vertical"}, kIndicated, kH},
        {{"2", "HV"}, kRange, kHV}, {{"1", "hv"}, kIndicated, kHV}, {{"HV"}, kRange, kHV},
        {{"hv", "1"}, kRange, kHV}, {{"2", "Hv"}, kRange, kH},    {{"2", "VH"}, kRange, kH},
        {{"1", "2", "HV"}, kIndicated, kH},
    };
    const std::vector<Xy> indicated = {{10, 1}, {20, 2}};  // turned, never scaled
    const std::vector<Xy> selected = {{4, 3}};              // 50 / 100 of the drawing
    for (const Case& c : cases) {
        std::string trace = "arguments";
        for (const std::string& a : c.arguments) trace += " [" + a + "]";
        SCOPED_TRACE(trace);
        const Dimension::HostRequest request = Dimension::ReadHostArguments(c.arguments);
        EXPECT_EQ(request.source, c.source);
        EXPECT_EQ(request.runs, c.runs);
        HeightPoint height;
        MeasurePointList points{{1, 1, 1}};  // left from an earlier OK
        ASSERT_EQ(AcquireMeasurePoints(settings, model, request.source, height, points),
                  AcquireResult::Done);
        ExpectPoints(points, c.source == kIndicated ? indicated : selected);
        EXPECT_EQ(height.X, 0.0);
        EXPECT_EQ(height.Y, 50.0);
    }
}

TEST(AcquireMeasurePoints, IndicatedPointsRunUpTo99AndIgnoreTheCategories)
{
    DrawingModel model;
    for (int n = 2; n <= 99; ++n) Indicate(model, n, n, 0);
    Indicate(model, 7, 6, 0);  // the same position as point 6: given once
    HeightPoint height;
    MeasurePointList points;
    ASSERT_EQ(AcquireMeasurePoints(Taking(0), model, kIndicated, height, points), AcquireResult::Done);
    ASSERT_EQ(points.size(), 97u);
    EXPECT_EQ(points.front().X, 2.0);
    EXPECT_EQ(points[5].X, 8.0);
    EXPECT_EQ(points.back().X, 99.0);
}

TEST(AcquireMeasurePoints, HeightPointIsIndicatedPointOneTurnedButNotScaled)
{
    struct Case {
        const char* name;
        bool present;
        double axisAngle;
        Xy indicated;
        Xy expected;
    };
    const Case cases[] = {
        {"axis 0", true, 0.0, {7, 30}, {7, 30}},
        {"absent entry as stored", false, 0.0, {7, 30}, {7, 30}},
        {"axis 90", true, 90.0, {0, 10}, {10, 0}},
        {"axis -90", true, -90.0, {0, 10}, {-10, 0}},
        {"axis 180", true, 180.0, {3, 4}, {-3, -4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DrawingModel model;
        model.state.axisAngle = c.axisAngle;
        model.state.layerGroupScale[0] = 10.0;
        RidEdaza::IndicatedPoint& first = model.state.indicatedPoints[1];
        first.present = c.present;
        first.x = c.indicated.x;
        first.y = c.indicated.y;
        DimensionSettings settings = Taking(kAll);
        settings.CurrentScale = 40.0;
        settings.DimensionAngle = c.axisAngle;
        HeightPoint height;
        MeasurePointList points;
        ASSERT_EQ(AcquireMeasurePoints(settings, model, kRange, height, points), AcquireResult::Done);
        EXPECT_NEAR(height.X, c.expected.x, 1e-12);
        EXPECT_NEAR(height.Y, c.expected.y, 1e-12);
        EXPECT_TRUE(points.empty());
    }
}

TEST(AcquireMeasurePoints, LineEndsNearAndFarFromTheHeightPoint)
{
    struct Case {
        const char* name;
        std::vector<RidEdaza::TJwwEntLine> lines;
        unsigned categories;
        double heightY;
        std::vector<Xy> expected;
    };
    const Case cases[] = {
        {"parallel, far only: both ends", {Line(0, 5, 10, 5)}, kFar, 0, {{0, 5}, {10, 5}}},
        {"parallel, near only: both ends", {Line(10, 5, 0, 5)}, kNear, 0, {{10, 5}, {0, 5}}},
        {"parallel within the tolerance", {Line(0, 5, 10, 5 + 0.5e-10)}, kFar, 100,
         {{0, 5}, {10, 5 + 0.5e-10}}},
        // A rise of the double 1e-10 is more than the tolerance: the segment slopes.
        {"rise of the double 1e-10 slopes", {Line(0, 0, 10, 1e-10)}, kFar, 5, {{0, 0}}},
        {"near only", {Line(0, 0, 10, 10)}, kNear, 8, {{10, 10}}},
        {"far only", {Line(0, 0, 10, 10)}, kFar, 8, {{0, 0}}},
        {"near then far", {Line(0, 0, 10, 10)}, kNear | kFar, 8, {{10, 10}, {0, 0}}},
        {"near is the first end", {Line(0, 0, 10, 10)}, kNear | kFar, 1, {{0, 0}, {10, 10}}},
        {"tie: second end is near", {Line(0, 0, 10, 10)}, kNear, 5, {{10, 10}}},
        {"tie, reversed slope", {Line(0, 10, 10, 0)}, kNear | kFar, 5, {{10, 0}, {0, 10}}},
        {"height point between far below", {Line(0, -1, 4, 3)}, kNear, 2, {{4, 3}}},
        // The distances 1e17 - 2 and 1e17 - 1 are one double apart only in extended precision.
        {"distances compared in extended precision", {Line(0, 2, 5, 1)}, kNear, 1e17, {{0, 2}}},
        {"shared end given once", {Line(0, 0, 10, 0), Line(10, 0, 20, 0)}, kNear,
         0, {{0, 0}, {10, 0}, {20, 0}}},
        {"shared end of sloping segments", {Line(0, 0, 5, 5), Line(5, 5, 10, 0)}, kNear | kFar,
         0, {{0, 0}, {5, 5}, {10, 0}}},
        {"other categories do not take ends", {Line(0, 0, 10, 10)}, kPoints | kCentres | kArcEnds,
         0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DrawingModel model;
        model.lines = c.lines;
        Indicate(model, 1, -50, c.heightY);
        const MeasurePointList points = Acquired(Taking(c.categories), model);
        ExpectPoints(points, c.expected);
    }
}

TEST(AcquireMeasurePoints, ArcCentresAndEnds)
{
    struct Case {
        const char* name;
        RidEdaza::TJwwEntArc arc;
        unsigned categories;
        std::vector<Xy> expected;
    };
    const Case cases[] = {
        {"centre, start, end", Arc(10, 20, 2, 0, 90), kCentres | kArcEnds,
         {{10, 20}, {12, 20}, {10, 22}}},
        {"ends only", Arc(10, 20, 2, 0, 90), kArcEnds, {{12, 20}, {10, 22}}},
        {"centre only", Arc(10, 20, 2, 0, 90), kCentres, {{10, 20}}},
        {"ends of a tilted flat ellipse", Arc(10, 20, 2, 0, 90, 0.5, 90), kArcEnds,
         {{10, 22}, {9, 20}}},
        {"closed: equal angles, ends only", Arc(10, 20, 2, 30, 30), kArcEnds, {}},
        {"closed: equal angles with centre", Arc(10, 20, 2, 30, 30), kCentres | kArcEnds,
         {{10, 20}}},
        {"closed: 360 apart", Arc(10, 20, 2, 0, 360), kArcEnds, {}},
        {"closed: -90 and 270", Arc(10, 20, 2, -90, 270), kArcEnds, {}},
        {"closed: 370 and 10", Arc(10, 20, 2, 370, 10), kArcEnds, {}},
        {"closed: start a hair above the end", Arc(0, 0, 1e6, 90.00000000001, 90), kArcEnds, {}},
        // One-sided: a start a hair below the end is an arc of nearly 360 degrees.
        {"start a hair below the end", Arc(0, 0, 1e6, 90, 90.00000000001), kArcEnds,
         {{0, 1e6}, {-1.7468787173604227e-7, 1e6}}},
        {"other categories do not take arcs", Arc(10, 20, 2, 0, 90), kNear | kFar | kPoints, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DrawingModel model;
        model.arcs.push_back(c.arc);
        const MeasurePointList points = Acquired(Taking(c.categories), model);
        ExpectPointsNear(points, c.expected);
    }
}

TEST(AcquireMeasurePoints, ArcEndsAtRepeatedAndScatteredAnglesAreEachTheirOwn)
{
    // The sines and cosines of the angles are taken once per angle: every arc must still get the
    // ends of its own angles, whether an angle came before, is new, is -0 against 0, or is one
    // of more distinct angles than are kept at once. Each arc has its own centre, so every end
    // is a position of its own.
    DrawingModel model;
    const double angles[] = {0.0, 90.0, -0.0, 180.0, 90.0, 45.5, 0.0, 270.0, 1e-300, 33.3};
    for (int i = 0; i < 400; ++i) {
        const double start = i < 100 ? angles[i % 10] : 0.37 * i;
        const double end = i < 100 ? angles[(i + 3) % 10] + 1.0 : 359.0 - 0.41 * i;
        const double tilt = i % 3 == 0 ? 0.0 : 7.0 * (i % 7);
        model.arcs.push_back(Arc(10.0 * i, 5.0 * (i % 13), 1.0 + i % 4, start, end, 0.75, tilt));
    }
    const MeasurePointList points = Acquired(Taking(kArcEnds), model);
    ASSERT_EQ(points.size(), 2 * model.arcs.size());
    for (std::size_t i = 0; i < model.arcs.size(); ++i) {
        SCOPED_TRACE(i);
        const RidEdaza::TJwwEntArc& a = model.arcs[i];
        double x = 0.0;
        double y = 0.0;
        MyFunc::EllipsePointDeg(a.centreX, a.centreY, a.radius, a.flatness, a.tiltAngle,
                                a.startAngle, x, y);
        EXPECT_EQ(points[2 * i].X, x);
        EXPECT_EQ(points[2 * i].Y, y);
        MyFunc::EllipsePointDeg(a.centreX, a.centreY, a.radius, a.flatness, a.tiltAngle,
                                a.endAngle, x, y);
        EXPECT_EQ(points[2 * i + 1].X, x);
        EXPECT_EQ(points[2 * i + 1].Y, y);
    }
}

TEST(AcquireMeasurePoints, CategoriesAddInAFixedOrder)
{
    // The tables are visited lines, points, marker points, circles, arcs, whatever the file order.
    DrawingModel model;
    model.arcs.push_back(Arc(50, 0, 1, 0, 180));
    model.circles.push_back(Circle(40, 0, 3));
    model.markerPoints.push_back(Marker(30, 0));
    model.points.push_back(Point(20, 0));
    model.points.push_back(Point(21, 0));
    model.lines.push_back(Line(0, 0, 10, 10));
    Indicate(model, 1, 0, 9);

    struct Case {
        unsigned categories;
        std::vector<Xy> expected;
    };
    const Case cases[] = {
        {kAll, {{10, 10}, {0, 0}, {20, 0}, {21, 0}, {30, 0}, {40, 0}, {50, 0}, {51, 0}, {49, 0}}},
        {kCentres, {{40, 0}, {50, 0}}},
        {kArcEnds, {{51, 0}, {49, 0}}},
        {kPoints, {{20, 0}, {21, 0}, {30, 0}}},
        {kFar | kArcEnds, {{0, 0}, {51, 0}, {49, 0}}},
        {0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("categories " + std::to_string(c.categories));
        const MeasurePointList points = Acquired(Taking(c.categories), model);
        ExpectPointsNear(points, c.expected);
    }
}

TEST(AcquireMeasurePoints, MapsEveryRecordWithTheScaleOfItsLayerGroup)
{
    struct Case {
        const char* name;
        double currentScale;
        double groupScale;
        double axisAngle;
        Xy drawn;
        Xy expected;
    };
    const Case cases[] = {
        {"same scale", 50, 50, 0, {10, 4}, {10, 4}},
        {"group 100, current 50: halved", 50, 100, 0, {10, 4}, {5, 2}},
        {"group 20, current 50", 50, 20, 0, {10, 4}, {25, 10}},
        {"axis 90", 1, 1, 90, {0, 10}, {10, 0}},
        {"halved, then turned by 90", 50, 100, 90, {0, 10}, {5, 0}},
        {"axis 45", 1, 1, 45, {1, 1}, {1.4142135623730951, 0}},
        {"negative group scale", 50, -100, 0, {10, 4}, {-5, -2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DrawingModel model;
        model.state.axisAngle = c.axisAngle;
        model.state.layerGroupScale[3] = c.groupScale;
        model.points.push_back(Point(c.drawn.x, c.drawn.y, 3));
        DimensionSettings settings = Taking(kPoints);
        settings.CurrentScale = c.currentScale;
        settings.DimensionAngle = c.axisAngle;
        const MeasurePointList points = Acquired(settings, model);
        ExpectPointsNear(points, {c.expected});
    }
}

TEST(AcquireMeasurePoints, ScaleFactorIsStoredBeforeItMultiplies)
{
    // 1/3 as a double times 7 lies below 7/3; a factor kept in extended precision would round up.
    DrawingModel model;
    model.state.layerGroupScale[2] = 3.0;
    model.points.push_back(Point(7, -7, 2));
    model.arcs.push_back(Arc(7, 0, 7, 0, 180, 1.0, 0.0, 2));
    const MeasurePointList points = Acquired(Taking(kPoints | kCentres), model);
    ExpectPoints(points, {{0x1.2aaaaaaaaaaaap+1, -0x1.2aaaaaaaaaaaap+1},
                          {0x1.2aaaaaaaaaaaap+1, 0}});
}

TEST(AcquireMeasurePoints, RecordsMarkedZ3ContributeNothing)
{
    struct Case {
        std::int32_t zFlags;
        bool taken;
    };
    const Case cases[] = {
        {0, true}, {1, true}, {2, true}, {8, true}, {16, true}, {27, true},
        {4, false}, {5, false}, {12, false}, {31, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("zFlags " + std::to_string(c.zFlags));
        DrawingModel model;
        model.lines.push_back(Line(0, 0, 10, 0, 0, c.zFlags));
        model.points.push_back(Point(20, 0, 0, c.zFlags));
        model.markerPoints.push_back(Marker(30, 0, 0, c.zFlags));
        model.circles.push_back(Circle(40, 0, 1, 0, c.zFlags));
        model.arcs.push_back(Arc(50, 0, 1, 0, 180, 1.0, 0.0, 0, c.zFlags));
        // A marked record on a layer group without scale is not visited, so it cannot stop.
        model.points.push_back(Point(60, 0, 9, c.zFlags));
        model.state.layerGroupScale[9] = c.taken ? 1.0 : 0.0;
        const MeasurePointList points = Acquired(Taking(kAll), model);
        EXPECT_EQ(points.size(), c.taken ? 9u : 0u);
    }
}

TEST(AcquireMeasurePoints, ZeroLayerGroupScaleStopsOnlyAVisitedRecord)
{
    struct Case {
        const char* name;
        unsigned categories;
        std::int32_t zFlags;
        PointSource source;
        AcquireResult expected;
    };
    const Case cases[] = {
        {"visited line", kNear, 0, kRange, AcquireResult::CannotDimension},
        {"line, far ends only", kFar, 0, kRange, AcquireResult::CannotDimension},
        {"line category off", kPoints, 0, kRange, AcquireResult::Done},
        {"an earlier line z3-marked", kNear, 4, kRange, AcquireResult::CannotDimension},
        {"indicated points", kAll, 0, kIndicated, AcquireResult::Done},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DrawingModel model;
        model.state.layerGroupScale[5] = 0.0;
        model.lines.push_back(Line(0, 0, 10, 0, 0, c.zFlags));  // group 0: fine
        model.lines.push_back(Line(0, 3, 10, 3, 5, 0));         // group 5: no scale
        Indicate(model, 2, 1, 1);
        Indicate(model, 3, 2, 1);
        HeightPoint height;
        MeasurePointList points;
        EXPECT_EQ(AcquireMeasurePoints(Taking(c.categories), model, c.source, height, points),
                  c.expected);
    }

    // Each table stops on its own visited record on a group without scale.
    struct TableCase {
        const char* name;
        unsigned categories;
        unsigned unvisiting;  // the other categories: the record is not visited
        void (*fill)(DrawingModel&);
    };
    const TableCase tables[] = {
        {"point", kPoints, kNear | kFar | kCentres | kArcEnds, [](DrawingModel& m) { m.points.push_back(Point(1, 1, 5)); }},
        {"marker point", kPoints, kNear | kFar | kCentres | kArcEnds,
         [](DrawingModel& m) { m.markerPoints.push_back(Marker(1, 1, 5)); }},
        {"circle", kCentres, kNear | kFar | kPoints | kArcEnds, [](DrawingModel& m) { m.circles.push_back(Circle(1, 1, 1, 5)); }},
        {"arc centre", kCentres, kNear | kFar | kPoints,
         [](DrawingModel& m) { m.arcs.push_back(Arc(1, 1, 1, 0, 90, 1, 0, 5)); }},
        // A closed arc adds no ends, but the record is still visited.
        {"closed arc, ends only", kArcEnds, kNear | kFar | kPoints,
         [](DrawingModel& m) { m.arcs.push_back(Arc(1, 1, 1, 0, 360, 1, 0, 5)); }},
        {"layer group out of range", kPoints, kNear | kFar | kCentres | kArcEnds,
         [](DrawingModel& m) { m.points.push_back(Point(1, 1, 16)); }},
        {"negative layer group", kPoints, kNear | kFar | kCentres | kArcEnds,
         [](DrawingModel& m) { m.points.push_back(Point(1, 1, -1)); }},
    };
    for (const TableCase& t : tables) {
        SCOPED_TRACE(t.name);
        DrawingModel model;
        model.state.layerGroupScale[5] = -0.0;
        t.fill(model);
        HeightPoint height;
        MeasurePointList points;
        EXPECT_EQ(AcquireMeasurePoints(Taking(t.categories), model, kRange, height, points),
                  AcquireResult::CannotDimension);
        EXPECT_EQ(AcquireMeasurePoints(Taking(t.unvisiting), model, kRange, height, points),
                  AcquireResult::Done);
    }
}

TEST(AcquireMeasurePoints, PointsThatAreNotFiniteStopAcquisition)
{
    constexpr double kHuge = 1.7e308;
    struct Case {
        const char* name;
        PointSource source;
        unsigned categories;
        void (*fill)(DrawingModel&, DimensionSettings&);
        AcquireResult expected;
    };
    // Each of these two drawings is tried twice: in both modes, with and without its category.
    const auto hugeHeightPoint = [](DrawingModel& m, DimensionSettings& s) {
        s.DimensionAngle = 45;
        Indicate(m, 1, kHuge, kHuge);
    };
    const auto hugeFactor = [](DrawingModel& m, DimensionSettings& s) {
        s.CurrentScale = 1e300;
        m.state.layerGroupScale[1] = 1e-300;
        m.points.push_back(Point(0, 0, 1));
    };
    const Case cases[] = {
        {"height point overflows when turned", kRange, 0, hugeHeightPoint,
         AcquireResult::CannotDimension},
        {"height point overflows, indicated mode", kIndicated, 0, hugeHeightPoint,
         AcquireResult::CannotDimension},
        {"indicated point overflows", kIndicated, 0,
         [](DrawingModel& m, DimensionSettings& s) {
             s.DimensionAngle = -45;
             Indicate(m, 2, 0, 0);
             Indicate(m, 3, kHuge, -kHuge);
         },
         AcquireResult::CannotDimension},
        {"indicated point after the gap is not read", kIndicated, 0,
         [](DrawingModel& m, DimensionSettings& s) {
             s.DimensionAngle = -45;
             Indicate(m, 2, 0, 0);
             Indicate(m, 4, kHuge, -kHuge);
         },
         AcquireResult::Done},
        {"scaled point overflows", kRange, kPoints,
         [](DrawingModel& m, DimensionSettings& s) {
             s.CurrentScale = 1e10;
             m.points.push_back(Point(1e300, 0));
         },
         AcquireResult::CannotDimension},
        {"factor overflows on the origin", kRange, kPoints, hugeFactor,
         AcquireResult::CannotDimension},
        {"factor overflows, category off", kRange, kNear, hugeFactor, AcquireResult::Done},
        {"far line end overflows", kRange, kFar,
         [](DrawingModel& m, DimensionSettings& s) {
             s.CurrentScale = 10;
             m.lines.push_back(Line(0, 0, 0, 1e308));
         },
         AcquireResult::CannotDimension},
        {"arc end overflows", kRange, kArcEnds,
         [](DrawingModel& m, DimensionSettings& s) {
             s.CurrentScale = 10;
             m.arcs.push_back(Arc(0, 0, 1e308, 0, 90));
         },
         AcquireResult::CannotDimension},
        {"huge closed arc, ends only", kRange, kArcEnds,
         [](DrawingModel& m, DimensionSettings& s) {
             s.CurrentScale = 10;
             m.arcs.push_back(Arc(0, 0, 1e308, 90, 90));
         },
         AcquireResult::Done},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DrawingModel model;
        DimensionSettings settings = Taking(c.categories);
        c.fill(model, settings);
        HeightPoint height;
        MeasurePointList points;
        const AcquireResult result =
            AcquireMeasurePoints(settings, model, c.source, height, points);
        EXPECT_EQ(result, c.expected);
        if (result == AcquireResult::Done) {
            for (const MeasurePoint& p : points) {
                EXPECT_TRUE(std::isfinite(p.X) && std::isfinite(p.Y));
            }
        }
    }
}

TEST(OrderMeasurePoints, AscendingXThenYWithinTheTolerance)
{
    struct Case {
        const char* name;
        std::vector<Xy> input;
        std::vector<Xy> expected;
    };
    const Case cases[] = {
        {"empty", {}, {}},
        {"single", {{4, 4}}, {{4, 4}}},
        {"three positions", {{5, 0}, {1, 2}, {3, 1}}, {{1, 2}, {3, 1}, {5, 0}}},
        {"shared position by Y", {{2, 5}, {2, -1}}, {{2, -1}, {2, 5}}},
        {"X decides beyond the tolerance", {{1, -5}, {0, 5}}, {{0, 5}, {1, -5}}},
        {"Y decides within the tolerance", {{0.5e-10, -1}, {0, 1}}, {{0.5e-10, -1}, {0, 1}}},
        {"double 1e-10 apart is apart", {{1e-10, -1}, {0, 1}}, {{0, 1}, {1e-10, -1}}},
        // Equal Y within the tolerance: strict comparisons leave the earlier point first.
        {"tie keeps input order", {{0.5e-10, 1}, {0, 1}}, {{0.5e-10, 1}, {0, 1}}},
        {"tie keeps input order, reversed", {{0, 1}, {0.5e-10, 1}}, {{0, 1}, {0.5e-10, 1}}},
        // Compared with the running minimum: the chain walks away from point 0 step by step.
        {"chain follows the running minimum", {{0, 5}, {0.8e-10, 1}, {1.6e-10, -1}},
         {{1.6e-10, -1}, {0.8e-10, 1}, {0, 5}}},
        {"chain broken by a far smaller X", {{0, 5}, {0.8e-10, 1}, {-3, 9}, {1.6e-10, -1}},
         {{-3, 9}, {1.6e-10, -1}, {0.8e-10, 1}, {0, 5}}},
        {"duplicates of X among others", {{7, 2}, {3, 3}, {7, 1}, {3, 0}, {5, 5}},
         {{3, 0}, {3, 3}, {5, 5}, {7, 1}, {7, 2}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MeasurePointList points = Listed(c.input);
        OrderMeasurePoints(points);
        ExpectPoints(points, c.expected);
    }
}

TEST(GroupMeasurePoints, KeepsThePointNearestTheHeightInEachPosition)
{
    struct Case {
        const char* name;
        std::vector<Xy> ordered;
        double heightY;
        std::vector<std::int32_t> kept;
    };
    const Case cases[] = {
        {"empty", {}, 0, {}},
        {"single", {{4, 4}}, 0, {1}},
        {"distinct positions", {{1, 2}, {3, 1}, {5, 0}}, 0, {1, 1, 1}},
        {"nearer one wins", {{2, -1}, {2, 5}}, 0, {1, 0}},
        {"nearer one later", {{2, -1}, {2, 5}}, 4, {0, 1}},
        {"equal distance: earlier wins", {{2, -1}, {2, 1}}, 0, {1, 0}},
        // Anchored at the first point: 1.2e-10 is too far from 0, though near 0.6e-10.
        {"anchored chain", {{0, 0}, {0.6e-10, 1}, {1.2e-10, 2}}, 0, {1, 0, 1}},
        {"anchored chain, height at 2", {{0, 0}, {0.6e-10, 1}, {1.2e-10, 2}}, 2, {0, 1, 1}},
        {"double 1e-10 apart is apart", {{0, 0}, {1e-10, 0}}, 0, {1, 1}},
        {"three in a group", {{3, 9}, {3, -2}, {3, 4}, {8, 0}}, 3, {0, 0, 1, 1}},
        // 1e17 - 1 and 1e17 - 2 are the same double: the stored distances tie.
        {"distances stored as doubles", {{0, 1}, {0, 2}}, 1e17, {1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MeasurePointList points = Listed(c.ordered);
        for (MeasurePoint& p : points) p.Kept = 1;
        GroupMeasurePoints(points, HeightPoint{-100, c.heightY});
        ASSERT_EQ(points.size(), c.kept.size());
        for (std::size_t i = 0; i < c.kept.size(); ++i) {
            SCOPED_TRACE("point " + std::to_string(i));
            EXPECT_EQ(points[i].Kept, c.kept[i]);
            EXPECT_EQ(points[i].X, c.ordered[i].x);  // grouping never moves a point
        }
    }
}

TEST(GroupMeasurePoints, AfterOrderingOnePointPerPosition)
{
    // Acquisition order decides the survivor when the ordering meets near-equal positions.
    DrawingModel model;
    model.points.push_back(Point(30, 4));
    model.points.push_back(Point(10, 7));
    model.points.push_back(Point(30, -1));
    model.points.push_back(Point(10 + 0.5e-10, 2));
    model.points.push_back(Point(20, 3));
    Indicate(model, 1, 0, 1);
    HeightPoint height;
    MeasurePointList points;
    ASSERT_EQ(AcquireMeasurePoints(Taking(kPoints), model, kRange, height, points),
              AcquireResult::Done);
    OrderMeasurePoints(points);
    GroupMeasurePoints(points, height);
    const std::vector<Xy> order = {{10 + 0.5e-10, 2}, {10, 7}, {20, 3}, {30, -1}, {30, 4}};
    const std::int32_t kept[] = {1, 0, 1, 1, 0};
    ASSERT_EQ(points.size(), order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        SCOPED_TRACE("point " + std::to_string(i));
        EXPECT_EQ(points[i].X, order[i].x);
        EXPECT_EQ(points[i].Y, order[i].y);
        EXPECT_EQ(points[i].Kept, kept[i]);
    }
}
