// Measuring points in the dimension frame: acquisition, ordering and grouping.
//
// The dimension frame is the drawing scaled to the host's current layer group and turned by
// minus the axis angle, so that the dimension direction is the X axis.
#pragma once

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

// Appends (x, y) unless a point already in the list lies within 1e-10 in both coordinates.
void AddMeasurePoint(MeasurePointList& points, double x, double y);

// Fills the height point and the list: indicated-points mode when firstArgument is exactly "1",
// otherwise range selection with the five point categories of the settings.
AcquireResult AcquireMeasurePoints(const DimensionSettings& settings,
                                   const RidEdaza::DrawingModel& model,
                                   std::string_view firstArgument, HeightPoint& heightPoint,
                                   MeasurePointList& points);

// Ascending X, tolerant selection sort (X within 1e-10 counts as equal, then ascending Y).
void OrderMeasurePoints(MeasurePointList& points);

// Marks one point per position (X within 1e-10 of the group's first point): the one nearest to
// the height point's level.
void GroupMeasurePoints(MeasurePointList& points, const HeightPoint& heightPoint);

}  // namespace Dimension
