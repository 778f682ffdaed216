// The layout's own pieces, shared by the arrangements' files (arrangement_*.cpp): the frame of a
// run, built once, and the geometry every arrangement lays out with. Only this module's sources,
// its tests and the fuzzers include it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/geometry.hpp"
#include "dimension/layout.hpp"

namespace Dimension {

using MyFunc::Rotation;

inline double Store(long double v) { return static_cast<double>(v); }

inline long double Abs(long double v) { return v < 0.0L ? -v : v; }

// The turns of one run, each taken once.
struct RunTurns {
    Rotation axis;    // dimension frame -> drawing coordinates
    Rotation text;    // a text's own upright frame -> drawing coordinates
    Rotation untext;  // drawing coordinates -> a text's own frame
};

// The sides of a run whose dimensions stand beside one another, in the dimension frame.
struct RunSides {
    long double outward = 1.0L;  // +1 or -1 along Y: away from most kept points
    bool textsTurned = false;    // the value texts' frame is the dimension frame turned half round
};

// Everything about a run that its arrangement does not decide, found once before the
// arrangement's layout runs, which reads it and adds nothing to it.
struct RunFrame {
    std::vector<KeptPoint> kept;  // n >= 2, ascending X
    HeightPoint height;           // height.Y: the level of the chain's line
    double listStartX = 0.0;      // the first point of the sorted list, kept or not
    const DimensionSettings& settings;
    RunTurns turns;
    RunStyle style;
    // Found only for an arrangement whose lines stand beside the height point's level
    // (kNeedsSides): the chain never looks at the sides, and so never pays for them.
    RunSides sides;
    long double H = 0.0L;       // the value text's height, drawing units (stored)
    long double g = 0.0L;       // the value gap as the settings give it: the chain's, signed
    long double beside = 0.0L;  // |g|: how far items 1-3 set a value beside its line
    long double o = 0.0L;       // the extension lines' overshoot
    long double m = 0.0L;       // the markers' extent across the line: max(StartAcross, EndAcross)
    // Between two lines that stand beside one another: max(2H, H + 2|g|, 2o, H + |g| + m, 2m),
    // room for a value and its gaps, for the overshoot, and for the markers of both lines.
    long double pitch = 0.0L;
    ValueOptions options;
};

// The kept points of an ordered measuring-point list, in one pass.
std::vector<KeptPoint> KeptPointsOf(const MeasurePointList& points);

// The frame of a run of at least two kept points.
RunFrame FrameOf(std::vector<KeptPoint> kept, const MeasurePointList& points,
                 const HeightPoint& heightPoint, const DimensionSettings& settings,
                 const RidEdaza::DrawingState& state, bool findSides);

// Small and called for every interval of a chain: inline, so that the chain pays no call for
// them where it did not before its arrangement had a file of its own.
inline DrawingPoint Turned(double x, double y, const Rotation& turn)
{
    DrawingPoint p;
    MyFunc::RotatePoint(x, y, 0.0, 0.0, turn, p.X, p.Y);
    return p;
}

inline DrawingPoint Plus(const DrawingPoint& a, const DrawingPoint& b)
{
    return {Store(static_cast<long double>(a.X) + b.X), Store(static_cast<long double>(a.Y) + b.Y)};
}

// Direction in degrees of the vector from `from` to `to`.
inline double DirectionDeg(const DrawingPoint& from, const DrawingPoint& to)
{
    return MyFunc::VectorAngleDeg(Store(static_cast<long double>(to.X) - from.X),
                                  Store(static_cast<long double>(to.Y) - from.Y));
}

// The sines and cosines of the barb angles. A run has few distinct ones (two per direction of
// its dimension line), so each is taken once; a run whose directions scatter keeps only the
// latest few.
struct BarbTurns {
    struct Entry {
        std::uint64_t degreesBits;
        Rotation turn;
    };
    static constexpr std::size_t kMostKept = 16;
    std::vector<Entry> entries;
};

// A normal end marker at `tip`, q pointing out of the line. A line arrow's barbs open back
// into the line: at q + 180 + theta and q + 180 - theta, each L (paper mm) long.
EndMarkerLayout EndMarkerAt(std::int32_t kind, const DrawingPoint& tip, double q,
                            const DimensionSettings& settings, BarbTurns& turns);

// A wide line has room for both normal markers between its ends.
inline bool IsWide(const RunStyle& style, double length)
{
    return static_cast<long double>(style.StartAlong) + style.EndAlong < length;
}

// The segment from (x, level) to (x + length, level) of the dimension frame.
inline SegmentLayout SegmentAt(double x, double length, double level, const Rotation& axis)
{
    SegmentLayout segment;
    segment.length = length;
    const double bx = Store(static_cast<long double>(x) + length);
    segment.N = Turned(x, level, axis);
    segment.P = Turned(bx, level, axis);
    segment.M = {Store((static_cast<long double>(segment.N.X) + segment.P.X) / 2.0L),
                 Store((static_cast<long double>(segment.N.Y) + segment.P.Y) / 2.0L)};
    segment.direction = DirectionDeg(segment.N, segment.P);
    return segment;
}

// The normal markers of a wide line: the start marker at N, the end marker at P.
IntervalEnds WideEnds(const SegmentLayout& segment, const DimensionSettings& settings,
                      BarbTurns& turns);

// The width of a value text in drawing units.
double TextWidth(std::string_view text, const RunFrame& frame);

// The value text of a distance between two points; none when the plain value text is "0".
bool DistanceText(double distance, const RunFrame& frame, ValueTextLayout& text);

// An extension line in the dimension frame: from the gap beside the point at `y` to the overshoot
// beyond the dimension line at `level`; none when the point lies within the gap of the line.
struct ExtensionSpan {
    bool present = false;
    double startY = 0.0;
    double endY = 0.0;
};
inline ExtensionSpan ExtensionSpanTo(double pointY, double level,
                                     const DimensionSettings& settings)
{
    const long double h = level;
    const long double y = pointY;
    ExtensionSpan span;
    if (Abs(h - y) - settings.ExtensionGap <= MyFunc::kTolerance) return span;
    span.present = true;
    if (h >= y) {
        span.startY = Store(y + settings.ExtensionGap);
        span.endY = Store(h + settings.ExtensionOvershoot);
    } else {
        span.startY = Store(y - settings.ExtensionGap);
        span.endY = Store(h - settings.ExtensionOvershoot);
    }
    return span;
}

inline ExtensionSegment SegmentOf(double x, const ExtensionSpan& span, const Rotation& axis)
{
    ExtensionSegment line;
    if (!span.present) return line;
    line.present = true;
    line.start = Turned(x, span.startY, axis);
    line.end = Turned(x, span.endY, axis);
    return line;
}

// How far past the end of a level line its end marker reaches along it.
long double EndReachOf(const RunStyle& style, const LevelLineLayout& line);

// A value text's box in the dimension frame: x along the run, y across it.
struct TextBox {
    long double x0 = 0.0L;
    long double x1 = 0.0L;
    long double y0 = 0.0L;
    long double y1 = 0.0L;
};

// One dimension from fromX to toX at `level` of the dimension frame, with its markers as a run
// of one interval has them and its value text |g| beside it on the side it reads from: centred
// between the markers when its width and both markers' reach along the line fit the line, else
// on the same level beyond the end, past the end marker's reach. The text's box is appended
// to `boxes`.
LevelLineLayout LevelLine(double fromX, double toX, double level, const RunFrame& frame,
                          BarbTurns& barbTurns, std::vector<TextBox>& boxes);

// The values' boxes ordered along the run, so that the few an extension line at some X can pass
// through are found without looking at every value: only a box that starts less than the widest
// box's width before X can reach X.
struct TextBoxIndex {
    std::vector<TextBox> boxes;  // by x0
    long double widest = 0.0L;
};
TextBoxIndex IndexOf(std::vector<TextBox> boxes);

// A stretch of an extension line in the dimension frame, at one X: from `from` (the end nearer
// the point) to `to`.
struct ExtensionPiece {
    double from = 0.0;
    double to = 0.0;
};

// The extension line at x from fromY (beside its point) to toY, left out where it would pass
// through a value: it skips the stretch within the value's box grown by max(|g|, H/4) on every
// side, but never the stretch within the overshoot of a line it serves (`serves`, the levels of
// the lines that end on it), so every such line still ends on it and is passed by o. An
// uninterrupted line is the one piece from fromY to toY, its ends exactly those numbers.
std::vector<ExtensionPiece> ExtensionPieces(double x, double fromY, double toY,
                                            std::span<const double> serves,
                                            const TextBoxIndex& texts,
                                            const RunFrame& frame);

// The pieces turned into drawing coordinates, appended in order.
void AddExtensionPieces(double x, std::span<const ExtensionPiece> pieces, const RunFrame& frame,
                        std::vector<ExtensionLine>& lines);

// Each arrangement's layout, in its own file; each fills its part of the record from the frame.
void LayOut(const RunFrame& frame, ChainLayout& chain);
void LayOut(const RunFrame& frame, ChainAndOverallLayout& run);
void LayOut(const RunFrame& frame, ParallelLayout& parallel);
void LayOut(const RunFrame& frame, CumulativeLayout& cumulative);

// What each arrangement draws, counted.
RunCounts CountsOf(const ChainLayout& chain);
RunCounts CountsOf(const ChainAndOverallLayout& run);
RunCounts CountsOf(const ParallelLayout& parallel);
RunCounts CountsOf(const CumulativeLayout& cumulative);

}  // namespace Dimension
