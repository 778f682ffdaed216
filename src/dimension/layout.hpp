// The layout of one dimension run: every decision the drawing needs, in one record.
//
// LayoutDimensionRun is a pure function from the ordered measuring points, the height point, the
// settings and the host's drawing state to a DimensionRun. The record holds the kept points, how
// the run draws its elements (RunStyle: the marker extents, the slash's scale, the text style and
// angle) and the arrangement's own part, one alternative of ArrangementLayout per row of the
// arrangements' table (arrangements.hpp), in the same order. Each alternative is laid out and
// drawn by its own file (arrangement_chain.cpp, arrangement_overall.cpp, arrangement_parallel.cpp,
// arrangement_cumulative.cpp); every dispatch on the alternative is a std::visit, so the compiler
// names each place a new arrangement must be handled. The drawing (draw.hpp) only turns the
// record into commands.
//
// The arrangements: 直列 (chain) puts one dimension per interval on the line at the height
// point. 直列＋全体 adds the overall dimension, from the first kept point to the last, one pitch
// beyond everything the chain draws on the outward side (the side away from most kept points).
// 並列 (parallel) draws one dimension from the first point to each further point, the k-th one
// (k - 1) pitches outward from the height point's level. 累進 (cumulative) draws one line with the
// origin symbol at the first point, an end marker at each further point, and each point's
// distance from the first as a text along its extension line.
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
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "dimension/arrangements.hpp"
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

// A normal end marker at one end of a wide line.
struct EndMarkerLayout {
    std::int32_t kind = 0;  // the marker list's index; 1..11 a host marker point, else a line arrow
    DrawingPoint tip;
    double direction = 0.0;  // degrees, pointing out of the line
    // Line arrow: the far ends of the barbs, in the order they are drawn (tip to each).
    std::array<DrawingPoint, 2> barbs{};
};

// The two normal markers of a wide line.
struct IntervalEnds {
    EndMarkerLayout start;  // at N
    EndMarkerLayout end;    // at P
};

// A value text: its Shift-JIS bytes with every value option applied, its width in drawing units,
// the start of its base line and, for a text with a leader, where the leader ends.
struct ValueTextLayout {
    std::string text;
    double width = 0.0;
    DrawingPoint anchor;
    DrawingPoint leaderEnd;
};

// One dimension line's segment: from N (at the point it starts from) to P, M their midpoint.
struct SegmentLayout {
    double length = 0.0;     // |X of P - X of N| in the dimension frame
    DrawingPoint N;
    DrawingPoint P;
    DrawingPoint M;
    double direction = 0.0;  // of P - N, degrees: the end and the narrow markers point along it
};

// An extension line from the gap beside its point towards the lines it serves, or one piece of
// one that is interrupted around a value text.
struct ExtensionLine {
    DrawingPoint start;  // the end nearer the point
    DrawingPoint end;
};

// A kept point, in ascending X: where it lies in the dimension frame, and its position in the
// sorted measuring-point list.
struct KeptPoint {
    double X = 0.0;
    double Y = 0.0;
    std::int32_t index = 0;
};

enum class NarrowMarkerKind {
    Slash,  // a slash marker point sized by SlashScale
    Dot,    // a plain point
};

// How every element of a run is drawn, whatever its arrangement.
struct RunStyle {
    double StartAlong = 0.0;
    double StartAcross = 0.0;
    double EndAlong = 0.0;
    double EndAcross = 0.0;
    double SlashScale = 0.0;
    double EndMarkerScale = 1.0;  // the host marker points' scale, as the dialog gives it
    NarrowMarkerKind narrowMarker = NarrowMarkerKind::Slash;
    bool dimensionFigures = false;  // segment and text go out as one dimension figure
    ValueTextStyle TextStyle;
    double TextAngle = 0.0;      // degrees, never upside down
    DrawingPoint TextDirection;  // (10 cos TextAngle, 10 sin TextAngle)
};

// 直列: one interval, from kept point k to kept point k + 1.
struct IntervalLayout {
    SegmentLayout segment;
    std::int32_t row = 0;   // 0: the text sits over the interval (or there is none); r >= 1 row r
    std::int32_t text = -1; // index into ChainLayout::texts; -1: no value text
    std::int32_t ends = -1; // wide interval: index into ChainLayout::ends; -1: narrow
    bool narrowMarkerAtN = false;  // narrow: N gets no normal marker from a wide neighbour
    bool narrowMarkerAtP = false;  // the last interval, narrow, and its end gets none either
};

// The extension line of a chain's kept point: from the gap beside the point to the overshoot
// beyond the dimension line; none when the point lies within the gap of the line.
struct ExtensionSegment {
    bool present = false;
    DrawingPoint start;
    DrawingPoint end;
};

// 直列: a kept point of the chain.
struct ChainPoint {
    bool wideNeighbour = false;  // a wide interval beside it gives it a normal marker
    ExtensionSegment extension;
};

// 直列 (item 0): n kept points, w = n - 1 intervals. Value texts and normal markers are held only
// for the intervals that have them: in a dense run most intervals are narrow and textless.
struct ChainLayout {
    static constexpr bool kNeedsSides = false;  // everything sits on the height point's level
    std::vector<ChainPoint> points;             // n
    std::vector<IntervalLayout> intervals;      // w
    std::vector<ValueTextLayout> texts;         // one per interval with a value text, in order
    std::vector<IntervalEnds> ends;             // one per wide interval, in order
};

// One dimension that stands on a level of its own (a parallel line, the overall dimension), with
// its value text and markers as a run of one interval has them.
struct LevelLineLayout {
    SegmentLayout segment;
    std::optional<ValueTextLayout> text;  // none when the plain value text is "0"
    std::optional<IntervalEnds> ends;     // wide; a narrow line has a narrow marker at each end
};

// 直列＋全体 (item 1): the chain as item 0 has it, and the overall dimension from the first kept
// point to the last.
struct ChainAndOverallLayout {
    static constexpr bool kNeedsSides = true;
    struct Overall {
        LevelLineLayout line;
        // At the first and the last kept point, in that order: from where the chain's
        // extension line ends (or the gap beside the point) to the overall's line plus the
        // overshoot.
        std::vector<ExtensionLine> extensions;
    };
    ChainLayout chain;
    std::optional<Overall> overall;  // the chain has two intervals or more
};

// 並列 (item 2): one line from the first kept point (the common origin) to each further one.
struct ParallelLayout {
    static constexpr bool kNeedsSides = true;
    std::vector<ExtensionLine> extensions;  // in ascending X of their points
    std::vector<LevelLineLayout> lines;     // to kept point k = 1 .. n - 1, in order
};

// 累進: the value text of one kept point, reading along its extension line.
struct CumulativeText {
    ValueTextLayout text;      // leaderEnd: the middle of the text's near end
    bool moved = false;        // pushed along the run by the text before it: it has a leader
    // On its point's extension line, nearest the level of the text's near end; the point
    // itself where it has none.
    DrawingPoint leaderStart;
};

// 累進 (item 3).
struct CumulativeLayout {
    static constexpr bool kNeedsSides = true;
    std::vector<ExtensionLine> extensions;  // in ascending X of their points
    DrawingPoint lineStart;                 // the first kept point, on the dimension line
    DrawingPoint lineEnd;                   // the last one
    std::vector<CumulativeText> texts;      // one per kept point, "0" at the first
    EndMarkerLayout origin;                 // the origin symbol: the host's circle marker
    std::vector<EndMarkerLayout> ends;      // at each further point, pointing away from the origin
    double TextAngle = 0.0;                 // TextAngleOf(DimensionAngle + 90)
    DrawingPoint TextDirection;             // (10 cos TextAngle, 10 sin TextAngle)
};

// The host's marker code of the origin symbol (a circle).
inline constexpr std::int32_t kOriginMarkerCode = 4;

// The arrangement's own part of the record, one alternative per row of kArrangements.
using ArrangementLayout =
    std::variant<ChainLayout, ChainAndOverallLayout, ParallelLayout, CumulativeLayout>;
static_assert(std::variant_size_v<ArrangementLayout> == kArrangements.size(),
              "one alternative of the layout record per row of the arrangements' table");

struct DimensionRun {
    std::vector<KeptPoint> points;  // n >= 2, ascending X
    RunStyle style;
    ArrangementLayout arrangement;
};

// What a run draws, for the front ends to report.
struct RunCounts {
    std::size_t dimensionLines = 0;
    std::size_t valueTexts = 0;  // also those inside dimension figures
    std::size_t staggeredTexts = 0;
};
RunCounts CountsOf(const DimensionRun& run);

// The arrangement the record holds.
DimensionArrangement ArrangementOf(const DimensionRun& run);

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
