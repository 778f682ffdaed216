// Measuring points in the dimension frame: acquisition, ordering and grouping.
//
// The dimension frame is the drawing scaled to the host's current layer group and turned by
// minus the axis angle, so that the dimension direction is the X axis. Two points are one
// position when both coordinates differ by at most 1e-10, the differences formed in extended
// precision.
#pragma once

#include <cstdint>
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

// Fills the height point and the list: the indicated points, or those of a range selection of
// the kinds the settings take. A point is added
// unless one already collected stands at its position; the list keeps the order of first
// appearance. Takes constant time per point for any real drawing.
AcquireResult AcquireMeasurePoints(const DimensionSettings& settings,
                                   const RidEdaza::DrawingModel& model,
                                   PointSource source, HeightPoint& heightPoint,
                                   MeasurePointList& points);

// Ascending X, in the order of a tolerant selection sort (X within 1e-10 of the running minimum
// counts as equal, then ascending Y), bit for bit, in O(n log n) unless positions form long
// chains of near-equal X (see measure_points_order.cpp). Only X and Y move; Kept stays with the
// position.
void OrderMeasurePoints(MeasurePointList& points);

// Marks one point per position (X within 1e-10 of the group's first point): the one nearest to
// the height point's level.
void GroupMeasurePoints(MeasurePointList& points, const HeightPoint& heightPoint);

}  // namespace Dimension
