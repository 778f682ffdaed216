// The layout of one dimension run: intervals, value-text rows, marker extents, text angle, and the
// per-element geometry that the drawing writes.
//
// Everything is computed in the dimension frame (the X axis is the dimension direction) and every
// point handed out is turned back by +axisAngle into drawing coordinates. Lengths are drawing units
// of the current layer group: paper-mm sizes are multiplied by CurrentScale. Intermediates are long
// double; every field and every returned coordinate is a stored double.
//
// Where the extents are stored: each of StartAlong, StartAcross, EndAlong, EndAcross is one long
// double product, left to right (L * cos theta * s for a line arrow, base * EndMarkerScale * s for
// a marker), stored once; SlashScale is min(StartAcross, EndAcross) / (1.25 * sqrt 2 * s), stored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "dimension/measure_points.hpp"
#include "dimension/settings.hpp"
#include "dimension/value_text.hpp"
#include "exchange/drawing_model.hpp"

namespace Dimension {

// Text kind of the value texts: kind number, size in paper mm and colour.
struct ValueTextStyle {
    std::int32_t kind = 1;
    double width = 0.0;
    double height = 0.0;
    double spacing = 0.0;
    std::int32_t colour = 1;
};

// One run: n kept points, w = n - 1 intervals.
struct DimensionRun {
    std::vector<std::int32_t> KeptIndex;  // n: position in the sorted list, ascending X
    std::vector<double> Interval;         // w: distance to the next kept point
    std::vector<std::int32_t> TextLevel;  // w: 0 over the interval, r >= 1 staggered row r
    std::vector<double> RowEnd;           // w: X up to which row r + 1 is occupied
    std::vector<bool> WideNeighbour;      // n: a wide interval gives the point its normal marker
    double StartAlong = 0.0;
    double StartAcross = 0.0;
    double EndAlong = 0.0;
    double EndAcross = 0.0;
    double SlashScale = 0.0;
    ValueTextStyle TextStyle;
    double TextAngle = 0.0;  // degrees, never upside down
};

// The value options of the dialog's settings.
ValueOptions ValueOptionsOf(const DimensionSettings& settings);

// Lays out the run. False, with an empty run, when fewer than two points are kept; telling the
// user is the caller's. The settings' distances must already be in drawing units.
bool LayoutDimensionRun(const MeasurePointList& points, const HeightPoint& heightPoint,
                        const DimensionSettings& settings, const RidEdaza::DrawingState& state,
                        DimensionRun& run);

// The text style the value texts use: ComboBox3's kind, or the host's current one for entry 0.
ValueTextStyle ValueTextStyleOf(std::int32_t valueTextKind, const RidEdaza::DrawingState& state);

// Along and across extents of one end-marker kind (the marker lists' item index), drawing units.
// An index the lists do not offer counts as the line arrow, here and in the drawing.
struct MarkerExtent {
    double along = 0.0;
    double across = 0.0;
};
MarkerExtent MarkerExtentOf(std::int32_t marker, const DimensionSettings& settings);

// True when the interval leaves room for both normal end markers (strictly).
bool IsWideInterval(const DimensionRun& run, std::size_t k);

// The value text of an interval and its width in drawing units; no text when the plain value
// text is "0".
struct IntervalText {
    bool present = false;
    std::string text;
    double width = 0.0;
};
IntervalText IntervalTextOf(double interval, const ValueOptions& options,
                            const ValueTextStyle& style, double currentScale);

struct DrawingPoint {
    double X = 0.0;
    double Y = 0.0;
};

// The segment of interval k on the dimension line: N at the kept point, P at the next one, M
// their midpoint.
struct IntervalSegment {
    DrawingPoint N;
    DrawingPoint P;
    DrawingPoint M;
};
IntervalSegment SegmentEnds(const DimensionRun& run, std::size_t k,
                            const MeasurePointList& points, const HeightPoint& heightPoint,
                            double axisAngle);

// The extension line of a kept point, from the gap beside the point to the overshoot beyond the
// dimension line; none when the point lies within the gap of the line.
struct ExtensionSegment {
    bool present = false;
    DrawingPoint start;
    DrawingPoint end;
};
ExtensionSegment ExtensionLine(const MeasurePoint& point, const HeightPoint& heightPoint,
                               const DimensionSettings& settings, double axisAngle);

// Where the value text of interval k goes: anchor (start of its base line), direction vector,
// and for a staggered row the leader from M to leaderEnd (leaderLength 0 at level 0).
struct TextPlacement {
    DrawingPoint anchor;
    DrawingPoint direction;
    double leaderLength = 0.0;
    DrawingPoint leaderEnd;
};
TextPlacement TextAnchor(const DimensionRun& run, std::size_t k, double textWidth,
                         const MeasurePointList& points, const HeightPoint& heightPoint,
                         const DimensionSettings& settings, double axisAngle);

}  // namespace Dimension
