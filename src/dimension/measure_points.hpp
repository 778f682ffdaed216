// Measuring points in the dimension frame: acquisition, ordering and grouping.
//
// The dimension frame is the drawing scaled to the host's current layer group and turned by
// minus the axis angle, so that the dimension direction is the X axis.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "dimension/settings.hpp"
#include "exchange/drawing_model.hpp"

namespace Dimension {

struct MeasurePoint {
    double X = 0.0;
    double Y = 0.0;
    std::int32_t Kept = 1;  // 1: the point dimensioned at its position
};

using MeasurePointList = std::vector<MeasurePoint>;

// Indicated point 1 in the dimension frame; its Y is the level of the dimension line.
struct HeightPoint {
    double X = 0.0;
    double Y = 0.0;
};

enum class AcquireResult {
    Done,
    CannotDimension,  // a visited record on a layer group with scale 0, or a point not finite
};

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

// Fills the height point and the list: indicated-points mode when firstArgument is exactly "1",
// otherwise range selection with the five point categories of the settings.
AcquireResult AcquireMeasurePoints(const DimensionSettings& settings,
                                   const RidEdaza::DrawingModel& model,
                                   std::string_view firstArgument, HeightPoint& heightPoint,
                                   MeasurePointList& points);

// The same acquisition, each point checked against the list by AddMeasurePointLinear.
AcquireResult AcquireMeasurePointsByScan(const DimensionSettings& settings,
                                         const RidEdaza::DrawingModel& model,
                                         std::string_view firstArgument,
                                         HeightPoint& heightPoint, MeasurePointList& points);

// Ascending X, in the order of a tolerant selection sort (X within 1e-10 of the running minimum
// counts as equal, then ascending Y), bit for bit, in O(n log n) unless positions form long
// chains of near-equal X (see the .cpp). Only X and Y move; Kept stays with the position.
void OrderMeasurePoints(MeasurePointList& points);

// The selection sort itself (quadratic): the reference OrderMeasurePoints is tested against.
void OrderMeasurePointsBySelection(MeasurePointList& points);

// Marks one point per position (X within 1e-10 of the group's first point): the one nearest to
// the height point's level.
void GroupMeasurePoints(MeasurePointList& points, const HeightPoint& heightPoint);

}  // namespace Dimension
