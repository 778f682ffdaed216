// The layout of one dimension run: every decision the drawing needs, in one record.
//
// LayoutDimensionRun is a pure function from the ordered measuring points, the height point, the
// settings and the host's drawing state to a DimensionRun. The record holds the arrangement and,
// per dimension, the segment (N, P and their midpoint M), the direction its markers point in,
// its value text with width, anchor, row and leader, and its end markers (kind, tip, direction,
// the barbs of a line arrow); per kept point its extension line and whether a wide interval
// gives it a normal marker; for the run the marker extents, the slash's scale, the text style
// and the text angle. The drawing (draw.hpp) only turns this record into commands.
//
// The arrangements: 直列 (chain) puts one dimension per interval on the line at the height
// point. 直列＋全体 adds the overall dimension, from the first kept point to the last, one pitch
// beyond everything the chain draws on the outward side (the side away from most kept points).
// 並列 (parallel) draws one dimension from the first point to each further point, the k-th one
// (k - 1) pitches outward from the height point's level; `intervals` then holds those lines.
// 累進 (cumulative) draws one line with the origin symbol at the first point, an end marker at
// each further point, and each point's distance from the first as a text along its extension
// line. The pitch is max(2H, H + 2|g|, 2o): room for a value text between two lines.
//
// Geometry is computed in the dimension frame (the X axis is the dimension direction) and every
// point in the record is turned back by the settings' +DimensionAngle into drawing coordinates.
// Lengths are drawing units of the current layer group: paper-mm sizes are multiplied by
// CurrentScale.
// Intermediates are long double; every field is a stored double. The sine and cosine of each
// angle are taken once per run (once per distinct barb angle), never per element.
//
// Where the extents are stored: each of StartAlong, StartAcross, EndAlong, EndAcross is one long
// double product, left to right (L * cos theta * s for a line arrow, base * EndMarkerScale * s for
// a marker), stored once; SlashScale is min(StartAcross, EndAcross) / (1.25 * sqrt 2 * s), stored.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "dimension/measure_points.hpp"
#include "dimension/settings.hpp"
#include "dimension/text_angle.hpp"
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

struct DrawingPoint {
    double X = 0.0;
    double Y = 0.0;
};

// Whether an index of the marker lists names one of the host's marker points (1..11). Any other
// index, also one the lists do not offer, is drawn and sized as the line arrow.
inline bool IsMarkerPointKind(std::int32_t marker) { return marker >= 1 && marker <= 11; }

// A normal end marker at one end of a wide interval.
struct EndMarkerLayout {
    std::int32_t kind = 0;  // the marker list's index; 1..11 a host marker point, else a line arrow
    DrawingPoint tip;
    double direction = 0.0;  // degrees, pointing out of the interval
    // Line arrow: the far ends of the barbs, in the order they are drawn (tip to each).
    std::array<DrawingPoint, 2> barbs{};
};

// The value text of an interval whose plain value text is not "0".
struct ValueTextLayout {
    std::string text;  // Shift-JIS, every value option applied
    double width = 0.0;
    DrawingPoint anchor;     // start of the text's base line
    DrawingPoint leaderEnd;  // staggered row: the leader runs from M to here; else M
};

// One interval: from kept point k to kept point k + 1.
struct IntervalLayout {
    double length = 0.0;     // |X of the next kept point - X of this one|
    DrawingPoint N;          // on the dimension line at the kept point
    DrawingPoint P;          // at the next one
    DrawingPoint M;          // their midpoint
    double direction = 0.0;  // of P - N, degrees: the end and the narrow markers point along it
    std::int32_t row = 0;    // 0: the text sits over the interval (or there is none); r >= 1 row r
    std::int32_t text = -1;  // index into DimensionRun::texts; -1: no value text
    std::int32_t ends = -1;  // wide interval: index into DimensionRun::ends; -1: narrow
    bool narrowMarkerAtN = false;  // narrow: N gets no normal marker from a wide neighbour
    bool narrowMarkerAtP = false;  // the last interval, narrow, and its end gets none either
};

// The two normal markers of a wide interval.
struct IntervalEnds {
    EndMarkerLayout start;  // at N
    EndMarkerLayout end;    // at P
};

// The extension line of a kept point, from the gap beside the point to the overshoot beyond the
// dimension line; none when the point lies within the gap of the line.
struct ExtensionSegment {
    bool present = false;
    DrawingPoint start;
    DrawingPoint end;
};

// A kept point, in ascending X.
struct PointLayout {
    std::int32_t index = 0;      // position in the sorted measuring-point list
    bool wideNeighbour = false;  // a wide interval beside it gives it a normal marker
    ExtensionSegment extension;
};

// 直列＋全体: the overall dimension from the first kept point to the last. Its text and ends index
// DimensionRun::texts and ::ends as an interval's do; its text sits as a parallel line's.
struct OverallLayout {
    bool present = false;  // the chain has two intervals or more
    IntervalLayout line;
    // At the first and the last kept point: from where the chain's extension line ends (or the
    // gap beside the point) to the overall's line plus the overshoot.
    std::array<ExtensionSegment, 2> extensions{};
};

// 累進: the value text of one kept point, reading along its extension line.
struct CumulativeText {
    ValueTextLayout text;      // leaderEnd: the middle of the text's near end
    bool moved = false;        // pushed along the run by the text before it: it has a leader
    DrawingPoint leaderStart;  // on the extension line, level with the text's near end
};

struct CumulativeLayout {
    DrawingPoint lineStart;               // the first kept point, on the dimension line
    DrawingPoint lineEnd;                 // the last one
    std::vector<CumulativeText> texts;    // one per kept point, "0" at the first
    EndMarkerLayout origin;               // the origin symbol: the host's circle marker
    std::vector<EndMarkerLayout> ends;    // at each further point, pointing away from the origin
    double TextAngle = 0.0;               // TextAngleOf(DimensionAngle + 90)
    DrawingPoint TextDirection;           // (10 cos TextAngle, 10 sin TextAngle)
};

// The host's marker code of the origin symbol (a circle).
inline constexpr std::int32_t kOriginMarkerCode = 4;

enum class NarrowMarkerKind {
    Slash,  // a slash marker point sized by SlashScale
    Dot,    // a plain point
};

// One run: n kept points, w = n - 1 intervals. Value texts and normal markers are held only for
// the intervals that have them: in a dense run most intervals are narrow and textless.
struct DimensionRun {
    DimensionArrangement arrangement = DimensionArrangement::Chain;
    std::vector<PointLayout> points;        // n
    std::vector<IntervalLayout> intervals;  // w: the intervals, or a parallel run's lines
    std::vector<ValueTextLayout> texts;     // one per interval with a value text, in order
    std::vector<IntervalEnds> ends;         // one per wide interval, in order

    double StartAlong = 0.0;
    double StartAcross = 0.0;
    double EndAlong = 0.0;
    double EndAcross = 0.0;
    double SlashScale = 0.0;
    double EndMarkerScale = 1.0;  // the host marker points' scale, as the dialog gives it
    NarrowMarkerKind narrowMarker = NarrowMarkerKind::Slash;
    bool dimensionFigures = false;  // segment and text go out as one dimension figure
    ValueTextStyle TextStyle;
    double TextAngle = 0.0;       // degrees, never upside down
    DrawingPoint TextDirection;  // (10 cos TextAngle, 10 sin TextAngle)
    OverallLayout overall;         // 直列＋全体 only
    CumulativeLayout cumulative;   // 累進 only: `intervals`, `texts` and `ends` stay empty
};

// What a run draws, for the front ends to report.
struct RunCounts {
    std::size_t dimensionLines = 0;
    std::size_t valueTexts = 0;  // also those inside dimension figures
};
RunCounts CountsOf(const DimensionRun& run);

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
struct MarkerExtent {
    double along = 0.0;
    double across = 0.0;
};
MarkerExtent MarkerExtentOf(std::int32_t marker, const DimensionSettings& settings);

}  // namespace Dimension
