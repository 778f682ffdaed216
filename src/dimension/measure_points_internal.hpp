// Internals of the measuring points, for their implementation, the tests and the benchmarks
// only: the index the acquisition collects into, the quadratic stages (the reference the fast
// ones are checked against, and their fallback where the fast ones cannot serve), and the
// tolerance every stage shares. Every other module uses measure_points.hpp.
#pragma once

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

// The list being filled by an acquisition, with an index of its points by position: a hash of
// the grid cells (2^-30 wide in X and Y) that the points lie in, each cell chaining its points.
// A point matches only points in the cells its 1e-10 window touches, so a look-up reads a cell
// or two instead of the whole list. Beyond 2^22 in magnitude the doubles themselves lie further
// apart than 1e-10, and a coordinate there is its own cell. Points that are not finite match
// nothing and stay out of the index.
struct MeasurePointIndex {
    std::vector<std::uint64_t> slots;  // 0 empty, else (first point + 1) | cell hash << 32
    std::vector<std::uint32_t> next;   // per point: the next point of its cell, or kNone
    std::size_t cells = 0;
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
};

struct MeasurePointCollector {
    MeasurePointList points;  // insertion order
    MeasurePointIndex index;
};

// Appends (x, y) unless a point already collected lies within 1e-10 in both coordinates, with
// the differences formed in extended precision: exactly what the scan of the list decides, in
// constant time per point for any real drawing.
void AddMeasurePoint(MeasurePointCollector& collector, double x, double y);

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
                                         std::string_view firstArgument,
                                         HeightPoint& heightPoint, MeasurePointList& points);

// The selection sort itself (quadratic): the reference OrderMeasurePoints is tested against.
void OrderMeasurePointsBySelection(MeasurePointList& points);

}  // namespace Dimension
