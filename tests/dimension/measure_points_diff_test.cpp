// The indexed collector and the fast ordering against the plain scan and the selection sort:
// the same points, the same order, the same bits, on inputs crowded with ties and near-ties, and
// whole runs of the command compared line for line.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "common/geometry.hpp"
#include "dimension/command.hpp"
#include "dimension/draw.hpp"
#include "dimension/layout.hpp"
#include "dimension/measure_points_internal.hpp"
#include "dimension/settings.hpp"
#include "exchange/command_writer.hpp"
#include "exchange/drawing_model.hpp"

using Dimension::AddMeasurePoint;
using Dimension::AddMeasurePointLinear;
using Dimension::MeasurePoint;
using Dimension::MeasurePointCollector;
using Dimension::MeasurePointList;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Equal bit for bit (so -0 differs from 0, and a NaN equals the same NaN).
void ExpectSameBits(const MeasurePointList& actual, const MeasurePointList& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("point " + std::to_string(i));
        EXPECT_EQ(std::bit_cast<std::uint64_t>(actual[i].X),
                  std::bit_cast<std::uint64_t>(expected[i].X));
        EXPECT_EQ(std::bit_cast<std::uint64_t>(actual[i].Y),
                  std::bit_cast<std::uint64_t>(expected[i].Y));
        EXPECT_EQ(actual[i].Kept, expected[i].Kept);
    }
}

// Both ways of replaying chains (16-bit ranks for the chains of a drawing, 32-bit ranks for
// larger ones) order the list as the selection sort does.
void ExpectOrderedAsBySelection(const MeasurePointList& input)
{
    MeasurePointList reference = input;
    Dimension::OrderMeasurePointsBySelection(reference);
    MeasurePointList narrow = input;
    Dimension::OrderMeasurePoints(narrow);
    ExpectSameBits(narrow, reference);
    MeasurePointList wide = input;
    Dimension::OrderMeasurePointsOnWideRanks(wide);
    ExpectSameBits(wide, reference);
}

MeasurePointList Collected(const std::vector<std::pair<double, double>>& offered)
{
    MeasurePointCollector collector;
    for (const auto& [x, y] : offered) AddMeasurePoint(collector, x, y);
    Dimension::FlushMeasurePoints(collector);
    return collector.points;
}

MeasurePointList Scanned(const std::vector<std::pair<double, double>>& offered)
{
    MeasurePointList points;
    for (const auto& [x, y] : offered) AddMeasurePointLinear(points, x, y);
    return points;
}

// Coordinates that sit at the edges that matter: the tolerance, the index's cell borders (odd
// multiples of 2^-31) and the magnitude 2^22 from which only equal coordinates can match.
class TieSource {
public:
    explicit TieSource(std::uint64_t seed) : engine_(seed) {}

    std::size_t Below(std::size_t n) { return static_cast<std::size_t>(engine_() % n); }
    double Unit() { return static_cast<double>(engine_() >> 11) * 0x1p-53; }

    double Base()
    {
        static constexpr double kBases[] = {
            0.0, -0.0, 1.0, -1.0, 3600.0, 12345.678901234, -98765.4321, 5e-11, 1e-300,
            0x1p-31, 3 * 0x1p-31, -7 * 0x1p-31, 0x1p22, -0x1p22, 0x1p22 - 0x1p-31, 0x1p24,
            1.0e7, -4.5e12, 1e20, 123456789.123,
        };
        return kBases[Below(std::size(kBases))];
    }

    // An offset within, at or just beyond the tolerance, a chain step, or a few units in the
    // last place.
    double Offset(double base)
    {
        switch (Below(12)) {
        case 0: return 0.0;
        case 1: return 0.5e-10;
        case 2: return -0.5e-10;
        case 3: return 1e-10;  // just beyond: the double lies above 1e-10L
        case 4: return -1e-10;
        case 5: return std::nextafter(1e-10, 0.0);  // just within
        case 6: return 0.6e-10 * static_cast<double>(Below(5));
        case 7: return 2.3e-10;
        case 8: return 0x1p-32 * (static_cast<double>(Below(9)) - 4.0);  // quarter cells
        case 9: return (std::nextafter(base, kInf) - base) * static_cast<double>(Below(4));
        case 10: return (Unit() - 0.5) * 4e-10;
        default: return static_cast<double>(Below(3)) * 1e3;
        }
    }

    double Coordinate()
    {
        const double base = Base();
        return base + Offset(base);
    }

private:
    std::mt19937_64 engine_;
};

}  // namespace

TEST(MeasurePointCollector, KeepsWhatTheScanKeepsAtTheEdges)
{
    // The index's cells are 2^-30 wide and centred on the multiples of 2^-30, so their borders
    // lie on the odd multiples of 2^-31; from 2^22 on only equal coordinates can match.
    const double border = 3 * 0x1p-31;
    const double quarter = 0x1p-32;
    const double eighth = 0x1p-33;
    // A border where a coordinate's place in the grid carries into the next power of two and
    // is rounded to 1/8 of a cell there; the coordinates around it lie 1/16 of a cell apart.
    const double carry = 0x1p19 - 0x1p-31;
    const double step = 0x1p-34;
    struct Case {
        const char* name;
        std::vector<std::pair<double, double>> offered;
        std::size_t kept;
    };
    const Case cases[] = {
        {"either side of a cell border", {{border - 0.4e-10, 0}, {border + 0.5e-10, 0}}, 1},
        {"a quarter cell below a border", {{border - quarter, 0}, {border - quarter + 0.9e-10, 0}},
         1},
        {"a quarter cell above a border", {{border + quarter, 0}, {border + quarter - 0.9e-10, 0}},
         1},
        // The later point lies just within the margin (0.106 of a cell from the border) and
        // must look across the border for the earlier one.
        {"just inside the margin below a border", {{border + 0.004e-10, 0},
                                                   {border - 0.99e-10, 0}}, 1},
        {"just inside the margin above a border", {{border - 0.004e-10, 0},
                                                   {border + 0.99e-10, 0}}, 1},
        {"just inside the margin, in Y", {{-4, -border - 0.004e-10}, {-4, -border + 0.99e-10}},
         1},
        {"an eighth of a cell from a border", {{border - eighth, 1}, {border + 0.1e-10, 1},
                                               {border + eighth, 1}}, 3},
        {"where the place carries", {{carry - step, 7}, {carry + step, 7}, {carry, 7},
                                     {carry + 3 * step, 7}, {carry + 2 * step, 7}}, 3},
        {"across a border in Y", {{5, -border + 0.3e-10}, {5, -border - 0.6e-10}}, 1},
        {"across a corner", {{border + 0.2e-10, -border - 0.2e-10},
                             {border - 0.7e-10, -border + 0.7e-10}}, 1},
        {"whole millimetres", {{3600, 910}, {3600 + 0.9e-10, 910 - 0.9e-10}, {3600, 910 + 1e-9}},
         2},
        {"zero and minus zero", {{0.0, 0.0}, {-0.0, -0.0}, {-0.5e-10, 0.5e-10}}, 1},
        {"the double 1e-10 apart", {{0, 0}, {1e-10, 0}, {0, -1e-10}}, 3},
        {"last grid coordinates", {{0x1p22 - 0x1p-31, 1}, {0x1p22, 1}, {-0x1p22, 1},
                                   {-0x1p22 + 0x1p-31, 1}}, 4},
        {"equal beyond the grid", {{1e20, 3}, {1e20, 3 + 0.5e-10}, {-1e20, 3}, {5e6, 3}}, 3},
        {"neighbouring doubles beyond the grid", {{0x1p22, 0}, {std::nextafter(0x1p22, kInf), 0},
                                                  {std::nextafter(0x1p22, 0.0), 0}}, 3},
        {"largest doubles", {{1.7e308, -1.7e308}, {1.7e308, -1.7e308}}, 1},
        {"not finite", {{kNaN, 0}, {kNaN, 0}, {kInf, 1}, {kInf, 1}, {0, kInf}, {1, 2}}, 6},
        {"chain of near points", {{0, 0}, {0.8e-10, 0}, {1.6e-10, 0}, {2.4e-10, 0}}, 2},
        {"tiny numbers", {{1e-300, -1e-300}, {-1e-300, 1e-300}, {0.99e-10, 0}}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MeasurePointList scanned = Scanned(c.offered);
        EXPECT_EQ(scanned.size(), c.kept);
        ExpectSameBits(Collected(c.offered), scanned);
    }
}

TEST(MeasurePointCollector, AgreesWithTheScanOnCrowdedPoints)
{
    // Clusters around a few bases: most points have near neighbours in X, in Y or in both.
    for (std::uint64_t seed = 1; seed <= 3000; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        TieSource source(seed);
        std::vector<double> xs;
        std::vector<double> ys;
        for (std::size_t k = 0; k < 1 + source.Below(4); ++k) xs.push_back(source.Base());
        for (std::size_t k = 0; k < 1 + source.Below(4); ++k) ys.push_back(source.Base());
        std::vector<std::pair<double, double>> offered;
        const std::size_t count = 1 + source.Below(seed % 10 == 0 ? 2000 : 120);
        for (std::size_t k = 0; k < count; ++k) {
            const double bx = xs[source.Below(xs.size())];
            const double by = ys[source.Below(ys.size())];
            double x = bx + source.Offset(bx);
            double y = by + source.Offset(by);
            if (source.Below(200) == 0) x = source.Below(2) == 0 ? kNaN : -kInf;
            offered.emplace_back(x, y);
        }
        ExpectSameBits(Collected(offered), Scanned(offered));
        if (HasFailure()) return;
    }
}

TEST(MeasurePointCollector, AgreesWithTheScanWhileTheIndexGrows)
{
    // Thousands of positions, each offered again later nearly or exactly: the index is rebuilt
    // several times on the way, and must still find every earlier point afterwards.
    TieSource source(4242);
    std::vector<std::pair<double, double>> offered;
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 3000; ++i) {
            const double x = 455.0 * (i % 60) + 12345.678901234;
            const double y = 910.0 * (i / 60) - 98765.4321;
            offered.emplace_back(x + (round == 0 ? 0.0 : source.Offset(x)),
                                 y + (round == 0 ? 0.0 : source.Offset(y)));
        }
    }
    const MeasurePointList collected = Collected(offered);
    EXPECT_GT(collected.size(), 3000u);
    ExpectSameBits(collected, Scanned(offered));
}

TEST(OrderMeasurePoints, MatchesTheSelectionSortOnChainsAndTies)
{
    struct Case {
        const char* name;
        std::vector<std::pair<double, double>> input;
    };
    const Case cases[] = {
        // A chain whose members stand among points of higher components: the exchanges of the
        // first steps move them, and the chain's own order depends on where they end up.
        {"chain among others", {{9, 1}, {1.2e-10, 0}, {5, 5}, {0, 2}, {0.6e-10, 1}, {7, 0}}},
        {"chain after a component", {{-1, 3}, {2.4e-10, -4}, {-1, 1}, {1.8e-10, 3}, {0, 2},
                                     {1.2e-10, -1}, {0.6e-10, 9}, {-1, 2}}},
        {"two chains interleaved", {{10 + 1.2e-10, 0}, {1.2e-10, 0}, {10, 1}, {0, 1},
                                    {10 + 0.6e-10, 2}, {0.6e-10, 2}}},
        {"equal Y at different X", {{0.5e-10, 1}, {3, 3}, {0, 1}, {0.2e-10, 1}, {3, 3}}},
        {"zero and minus zero in Y", {{0, 0.0}, {0.3e-10, -0.0}, {0.1e-10, 0.0}}},
        {"duplicates everywhere", {{2, 2}, {2, 2}, {1, 1}, {2, 2}, {1, 1}}},
        {"wide component of many steps", {{0, 0}, {0.9e-10, 5}, {1.8e-10, -5}, {2.7e-10, 4},
                                          {3.6e-10, -4}, {4.5e-10, 3}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MeasurePointList fast;
        for (const auto& [x, y] : c.input) fast.push_back(MeasurePoint{x, y, 1});
        ExpectOrderedAsBySelection(fast);
    }
}

TEST(OrderMeasurePoints, MatchesTheSelectionSortWhenFarPointsHaveTheLowerY)
{
    // One chain: a few points at X = 0 with high Y first, then many at 1.5e-10, far above X = 0,
    // with the lowest Y, and last the link at 0.75e-10. Seen from a running minimum at X = 0,
    // every one of the many looks as if it could precede it, and none does: the replay gives up
    // jumping and looks at every point, and must still come out exact.
    for (std::uint64_t seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        TieSource source(seed);
        MeasurePointList fast;
        for (std::size_t i = 0; i < 10 + seed; ++i) fast.push_back({0.0, 1e6 + source.Unit(), 1});
        MeasurePointList far;
        for (int i = 0; i < 900; ++i) far.push_back({1.5e-10, source.Unit() * 1000.0, 1});
        fast.insert(fast.end(), far.begin(), far.end());
        for (std::size_t i = 0; i < 1 + seed % 3; ++i) {
            fast.push_back({0.75e-10, 5e5 + static_cast<double>(i), 1});
        }
        ExpectOrderedAsBySelection(fast);
    }
}

TEST(OrderMeasurePoints, ComponentsComeOutWholeInXOrder)
{
    // Components separated by more than the tolerance; inside each, ascending Y.
    MeasurePointList points = {{3, 1, 1}, {1, 5, 1}, {3 + 0.5e-10, -2, 1}, {1 - 0.5e-10, 0, 1},
                               {2, 7, 1}, {1 + 0.2e-10, 9, 1}};
    Dimension::OrderMeasurePoints(points);
    const double expected[][2] = {{1 - 0.5e-10, 0}, {1, 5}, {1 + 0.2e-10, 9}, {2, 7},
                                  {3 + 0.5e-10, -2}, {3, 1}};
    ASSERT_EQ(points.size(), std::size(expected));
    for (std::size_t i = 0; i < points.size(); ++i) {
        SCOPED_TRACE("point " + std::to_string(i));
        EXPECT_EQ(points[i].X, expected[i][0]);
        EXPECT_EQ(points[i].Y, expected[i][1]);
    }
}

TEST(OrderMeasurePoints, AgreesWithTheSelectionSortOnRandomLists)
{
    for (std::uint64_t seed = 1; seed <= 4000; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        TieSource source(seed);
        MeasurePointList fast;
        // Every 500th list is longer than the ordering sorts by comparisons: its keys (-0 and
        // 0, negatives, equal values) are sorted by their bits.
        const std::size_t count = seed % 500 == 0 ? 5000 + source.Below(4000)
                                                  : 1 + source.Below(seed % 20 == 0 ? 600 : 60);
        const double chainStart = source.Base();
        const double turn = 30.0 * static_cast<double>(source.Below(12)) + source.Unit();
        for (std::size_t k = 0; k < count; ++k) {
            double x = 0.0;
            double y = 0.0;
            switch (source.Below(5)) {
            case 0:  // a chain: steps of 0.6e-10 from one start
                x = chainStart + 0.6e-10 * static_cast<double>(source.Below(8));
                y = static_cast<double>(source.Below(6));
                break;
            case 4:  // a column whose X the host's 15 digits spread over 50e-10, Y often equal
                x = chainStart + 1e-12 * static_cast<double>(source.Below(5000));
                y = static_cast<double>(source.Below(40));
                break;
            case 1: {  // grid points turned away and back, as an axis angle leaves them
                double tx = 0.0, ty = 0.0;
                MyFunc::RotatePointDeg(910.0 * static_cast<double>(source.Below(4)) + 12345.678,
                                       455.0 * static_cast<double>(source.Below(6)), 0, 0, turn,
                                       tx, ty);
                MyFunc::RotatePointDeg(tx, ty, 0, 0, -turn, x, y);
                break;
            }
            default:
                x = source.Coordinate();
                y = source.Coordinate();
                break;
            }
            // Kept stays with the position whatever it holds.
            fast.push_back(MeasurePoint{x, y, static_cast<std::int32_t>(source.Below(3))});
        }
        ExpectOrderedAsBySelection(fast);
        if (HasFailure()) return;
    }
}

TEST(OrderMeasurePoints, ChainsAtTheLimitOfSixteenBitRanksComeOutAsOnWideRanks)
{
    // One chain of k points (X 1e-13 apart, every Y its own): below 32,767 points it is replayed
    // on 16-bit ranks, from there on 32-bit ranks; a limit set too high would hand the 16-bit
    // replay a rank equal to its "no point" or past its range. The selection sort is too
    // slow at this size; the wide replay, checked against it on the lists above, stands in.
    for (const std::size_t k : {32766u, 32767u, 32768u, 32769u}) {
        SCOPED_TRACE("chain of " + std::to_string(k));
        TieSource source(k);
        MeasurePointList input;
        for (std::size_t i = 0; i < k; ++i) {
            const double x = 1e-13 * static_cast<double>(source.Below(k));
            input.push_back({x, static_cast<double>(i), 1});
        }
        MeasurePointList narrow = input;
        Dimension::OrderMeasurePoints(narrow);
        MeasurePointList wide = input;
        Dimension::OrderMeasurePointsOnWideRanks(wide);
        ExpectSameBits(narrow, wide);
    }
}

TEST(OrderMeasurePoints, PointsThatAreNotFiniteAreSortedAsTheSelectionSortDoes)
{
    MeasurePointList fast = {{3, 1, 1}, {kNaN, 0, 1}, {1, kInf, 1}, {-kInf, 2, 1}, {0, 0, 1}};
    ExpectOrderedAsBySelection(fast);
}

TEST(AcquireMeasurePoints, MapsEveryPointAsTheGeometryTurnDoesBitForBit)
{
    // The acquisition takes the sine and cosine of the turn once per layer group; every point
    // must still come out as MyFunc::RotatePointDeg turns it.
    const double angles[] = {0.0, -0.0, 30.0, 90.0, 180.0, 270.0, -45.0, 1e-9, 359.999999,
                             12345.6789, 0.1, 60.000000001};
    TieSource source(77);
    for (double angle : angles) {
        SCOPED_TRACE("axis angle " + std::to_string(angle));
        RidEdaza::DrawingModel model;
        model.state.axisAngle = angle;
        model.state.layerGroupScale[0] = 100.0;
        model.state.layerGroupScale[1] = 30.0;
        model.state.indicatedPoints[1] = {true, 12.5, -7.25, 0};
        for (int k = 0; k < 200; ++k) {
            RidEdaza::TJwwEntPoint point;
            point.attributes.layerGroup = k % 2;
            // std::pow only makes the input, which both sides of the comparison then turn.
            point.x = (source.Unit() - 0.5) * std::pow(10.0, static_cast<double>(source.Below(12)));
            point.y = (source.Unit() - 0.5) * std::pow(10.0, static_cast<double>(source.Below(12)));
            model.points.push_back(point);
        }
        Dimension::DimensionSettings settings;
        settings.TakenPoints[static_cast<std::size_t>(Dimension::PointKind::Points)] = true;
        Dimension::ScaleDimensionSettings(settings, 100.0);
        settings.DimensionAngle = angle;
        Dimension::HeightPoint height;
        MeasurePointList points;
        ASSERT_EQ(Dimension::AcquireMeasurePoints(settings, model,
                                                  Dimension::PointSource::RangeSelection, height,
                                                  points),
                  Dimension::AcquireResult::Done);
        ASSERT_EQ(points.size(), model.points.size());
        double hx = 0.0, hy = 0.0;
        MyFunc::RotatePointDeg(12.5, -7.25, 0.0, 0.0, -angle, hx, hy);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(height.Y), std::bit_cast<std::uint64_t>(hy));
        for (std::size_t k = 0; k < points.size(); ++k) {
            const RidEdaza::TJwwEntPoint& p = model.points[k];
            const double f = static_cast<double>(100.0L / (k % 2 == 0 ? 100.0 : 30.0));
            double x = 0.0, y = 0.0;
            MyFunc::RotatePointDeg(static_cast<double>(static_cast<long double>(p.x) * f),
                                   static_cast<double>(static_cast<long double>(p.y) * f), 0.0,
                                   0.0, -angle, x, y);
            ASSERT_EQ(std::bit_cast<std::uint64_t>(points[k].X), std::bit_cast<std::uint64_t>(x));
            ASSERT_EQ(std::bit_cast<std::uint64_t>(points[k].Y), std::bit_cast<std::uint64_t>(y));
        }
    }
}

namespace {

// A random drawing crowded with shared and nearly shared positions: grid walls, their ends
// repeated on other layer groups at other scales, door swings, points, circles, z3-marked
// records.
RidEdaza::DrawingModel CrowdedDrawing(TieSource& source, double axisAngle)
{
    RidEdaza::DrawingModel model;
    model.state.axisAngle = axisAngle;
    model.state.layerGroupScale = {100, 50, 200, 100, 100, 100, 100, 100,
                                   100, 100, 100, 100, 100, 100, 100, 100};
    const double groupScale[] = {100, 50, 200};
    const double radians = MyFunc::DegreesToRadians(axisAngle);
    auto place = [&](double x, double y, int group, double& ox, double& oy) {
        double tx = 0.0, ty = 0.0;
        MyFunc::RotatePoint(x, y, 0, 0, radians, tx, ty);
        ox = tx * groupScale[group] / 100.0;
        oy = ty * groupScale[group] / 100.0;
    };
    const std::size_t walls = 5 + source.Below(80);
    for (std::size_t k = 0; k < walls; ++k) {
        const double x = 910.0 * static_cast<double>(source.Below(5)) +
                         0.6e-10 * static_cast<double>(source.Below(3));
        const double y = 455.0 * static_cast<double>(source.Below(5));
        const bool vertical = source.Below(2) == 0;
        RidEdaza::TJwwEntLine line;
        const int group = static_cast<int>(source.Below(3));
        line.attributes.layerGroup = group;
        if (source.Below(25) == 0) line.attributes.zFlags = RidEdaza::kZ3Mark;
        place(x, y, group, line.x1, line.y1);
        place(vertical ? x : x + 910.0, vertical ? y + 455.0 : y, group, line.x2, line.y2);
        model.lines.push_back(line);
    }
    for (std::size_t k = 0; k < source.Below(6); ++k) {
        RidEdaza::TJwwEntArc arc;
        place(910.0 * static_cast<double>(source.Below(5)),
              455.0 * static_cast<double>(source.Below(5)), 0, arc.centreX, arc.centreY);
        arc.radius = 455.0;
        arc.startAngle = 90.0 * static_cast<double>(source.Below(4)) + axisAngle;
        arc.endAngle = arc.startAngle + 90.0;
        arc.flatness = 1.0;
        model.arcs.push_back(arc);
        RidEdaza::TJwwEntCircle circle;
        circle.centreX = arc.centreX + source.Offset(arc.centreX);
        circle.centreY = arc.centreY;
        circle.radius = 100.0;
        model.circles.push_back(circle);
        RidEdaza::TJwwEntPoint point;
        point.x = arc.centreX;
        point.y = arc.centreY + source.Offset(arc.centreY);
        model.points.push_back(point);
    }
    RidEdaza::IndicatedPoint& height = model.state.indicatedPoints[1];
    height.present = true;
    place(1000.0, 5000.0 * (source.Below(2) == 0 ? 1.0 : -1.0), 0, height.x, height.y);
    for (int n = 2; n < 2 + static_cast<int>(source.Below(12)); ++n) {
        RidEdaza::IndicatedPoint& p = model.state.indicatedPoints[static_cast<std::size_t>(n)];
        p.present = true;
        place(910.0 * static_cast<double>(source.Below(4)), source.Unit(), 0, p.x, p.y);
    }
    return model;
}

Dimension::DimensionSettings SettingsTaking(TieSource& source)
{
    Dimension::DimensionSettings settings;
    settings.ValueTextKind = 3;
    // Line ends near the height point most often; each other kind half the time.
    for (std::size_t kind = 0; kind < Dimension::kPointKindCount; ++kind) {
        settings.TakenPoints[kind] = kind == 0 ? source.Below(3) != 0 : source.Below(2) == 0;
    }
    settings.DimensionFigure = source.Below(4) == 0;
    return settings;
}

}  // namespace

TEST(MeasurePointsWholeRun, FastAndReferenceStagesWriteTheSameCommands)
{
    int drawn = 0;
    for (std::uint64_t seed = 1; seed <= 400; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        TieSource source(seed);
        const double axisAngle =
            source.Below(3) == 0 ? 0.0 : 15.0 * static_cast<double>(source.Below(24));
        const RidEdaza::DrawingModel model = CrowdedDrawing(source, axisAngle);
        const Dimension::DimensionSettings settings = SettingsTaking(source);
        const Dimension::HostRequest request{source.Below(5) == 0
                                                 ? Dimension::PointSource::IndicatedPoints
                                                 : Dimension::PointSource::RangeSelection};

        // Acquisition alone: the same list, the same height point.
        Dimension::DimensionSettings scaled = settings;
        Dimension::ScaleDimensionSettings(scaled, Dimension::CurrentScale(model.state));
        scaled.DimensionAngle = model.state.axisAngle;
        Dimension::HeightPoint fastHeight;
        Dimension::HeightPoint referenceHeight;
        MeasurePointList fast;
        MeasurePointList reference;
        ASSERT_EQ(Dimension::AcquireMeasurePoints(scaled, model, request.source, fastHeight, fast),
                  Dimension::AcquireMeasurePointsByScan(scaled, model, request.source, referenceHeight,
                                                        reference));
        ExpectSameBits(fast, reference);
        EXPECT_EQ(fastHeight.Y, referenceHeight.Y);

        // The whole command with the fast stages, against the reference stages by hand.
        RidEdaza::CommandWriter fastWriter;
        RidEdaza::ResetOutputState(fastWriter, model.state);
        RidEdaza::CommandWriter referenceWriter = fastWriter;
        const Dimension::CommandResult result = Dimension::RunDimensionCommand(
            settings, model, request, fastWriter, Dimension::CommandHooks{});

        Dimension::OrderMeasurePoints(fast);
        Dimension::GroupMeasurePoints(fast, fastHeight);
        Dimension::OrderMeasurePointsBySelection(reference);
        Dimension::GroupMeasurePoints(reference, referenceHeight);
        ExpectSameBits(fast, reference);
        Dimension::DimensionRun run;
        if (Dimension::LayoutDimensionRun(reference, referenceHeight, scaled, model.state, run)) {
            Dimension::DrawDimensionRun(run, model.state, referenceWriter);
            ++drawn;
        }
        EXPECT_EQ(result.outcome == Dimension::CommandOutcome::Drawn, !run.points.empty());
        EXPECT_EQ(RidEdaza::LinesOf(fastWriter.buffer), RidEdaza::LinesOf(referenceWriter.buffer));
        if (HasFailure()) return;
    }
    EXPECT_GT(drawn, 300);  // the drawings really produce runs
}
