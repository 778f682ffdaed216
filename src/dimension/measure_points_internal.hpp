// Internals of the measuring points, for their implementation, the tests and the benchmarks
// only: the index the acquisition collects into, the quadratic stages (the reference the fast
// ones are checked against, and their fallback where the fast ones cannot serve), and the
// tolerance every stage shares. Every other module uses measure_points.hpp.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "common/geometry.hpp"
#include "dimension/measure_points.hpp"
#include "dimension/settings.hpp"
#include "exchange/drawing_model.hpp"

namespace Dimension {

// The largest extended difference of two coordinates of one position.
inline constexpr long double kSamePosition = MyFunc::kTolerance;

inline bool IsFinitePoint(double x, double y) { return std::isfinite(x) && std::isfinite(y); }

// Two coordinates of one position: their extended difference is within the tolerance.
inline bool NearCoordinates(double a, double b)
{
    return std::fabs(static_cast<long double>(a) - b) <= kSamePosition;
}

// The list being filled by an acquisition, with an index of its points by position: a hash
// table keyed by the grid cell (2^-30 wide in X and Y) that each point lies in. A point matches
// only points in the cells its 1e-10 window touches, so a look-up reads a cell or two instead of
// the whole list. Beyond 2^22 in magnitude the doubles themselves lie further apart than 1e-10,
// and a coordinate there is its own cell. Points that are not finite match nothing and stay out
// of the index.
struct MeasurePointIndex {
    // Open addressing by cell: each full slot holds the coordinates of one collected point, in
    // the run of full slots that begins at its cell's home slot, so every point of a cell lies
    // between its home slot and the next empty slot. A look-up reads that run and no point of
    // the list; growing the table takes each point's home slot from the slot itself.
    struct Place {
        double x = 0.0;  // NaN: an empty slot
        double y = 0.0;
    };
    std::vector<Place> slots;
    std::size_t filled = 0;
};

// A point offered to the collector and not yet looked up, with its cells and their hash.
struct PendingMeasurePoint {
    double x = 0.0;
    double y = 0.0;
    std::int64_t cellX = 0;
    std::int64_t cellY = 0;
    std::uint64_t hash = 0;
    std::uint8_t borders = 0;  // which neighbouring cells the point's window reaches
    bool finite = true;
};

struct MeasurePointCollector {
    MeasurePointList points;  // insertion order; complete after FlushMeasurePoints
    MeasurePointIndex index;
    // The points offered since the last look-ups: each one's home slot is asked for from memory
    // when it is offered, and has arrived by the time the points are decided together.
    std::array<PendingMeasurePoint, 16> pending;
    std::size_t pendingCount = 0;
    // The finite point offered last: the same point again is dropped at once.
    double lastX = 0.0;
    double lastY = 0.0;
    bool hasLast = false;
};

// Offers (x, y): it is appended unless a point already collected lies within 1e-10 in both
// coordinates, with the differences formed in extended precision: exactly what the scan of the
// list decides, in constant time per point for any real drawing. The decision may wait until
// more points are offered; FlushMeasurePoints makes every decision and completes the list.
void AddMeasurePoint(MeasurePointCollector& collector, double x, double y);
void FlushMeasurePoints(MeasurePointCollector& collector);

// The same decision by scanning the whole list (quadratic over an acquisition); the reference
// the collector is tested against, and what a bare list without an index gets.
void AddMeasurePointLinear(MeasurePointList& points, double x, double y);
inline void AddMeasurePoint(MeasurePointList& points, double x, double y)
{
    AddMeasurePointLinear(points, x, y);
}

// AcquireMeasurePoints with each point checked against the list by AddMeasurePointLinear.
AcquireResult AcquireMeasurePointsByScan(const DimensionSettings& settings,
                                         const RidEdaza::DrawingModel& model,
                                         PointSource source, HeightPoint& heightPoint,
                                         MeasurePointList& points);

// The selection sort itself (quadratic): the reference OrderMeasurePoints is tested against.
void OrderMeasurePointsBySelection(MeasurePointList& points);

// OrderMeasurePoints with every chain replayed on the 32-bit ranks that only chains of 32,767
// points or more use otherwise: for the tests.
void OrderMeasurePointsOnWideRanks(MeasurePointList& points);

}  // namespace Dimension
