// The geometry every arrangement lays out with: points turned into drawing coordinates, segments,
// end markers, value texts and their widths, extension lines, lines on a level of their own.
#include <algorithm>
#include <bit>
#include <utility>

#include "common/trig.hpp"
#include "dimension/layout_internal.hpp"

namespace Dimension {
namespace {

const Rotation& BarbTurn(BarbTurns& cache, double degrees)
{
    const auto bits = std::bit_cast<std::uint64_t>(degrees);
    for (const BarbTurns::Entry& entry : cache.entries) {
        if (entry.degreesBits == bits) return entry.turn;
    }
    if (cache.entries.size() == BarbTurns::kMostKept) cache.entries.clear();
    cache.entries.push_back({bits, MyFunc::RotationOfDeg(degrees)});
    return cache.entries.back().turn;
}

// The value text of a line that stands on its own level: centred over it at the value gap or,
// when it does not fit between the ends, on the same level beyond the end, past its marker.
void PlaceLevelText(const LevelLineLayout& line, const RunFrame& frame, ValueTextLayout& text)
{
    const SegmentLayout& segment = line.segment;
    double offsetX = Store(-static_cast<long double>(text.width) / 2.0L);
    if (segment.length < text.width) {
        const long double beyond = static_cast<long double>(segment.length) / 2.0L +
                                   EndReachOf(frame.style, line) + Abs(frame.g);
        offsetX = frame.sides.textsTurned ? Store(-(beyond + text.width)) : Store(beyond);
    }
    text.anchor = Plus(segment.M, Turned(offsetX, frame.settings.ValueGap, frame.turns.text));
    text.leaderEnd = segment.M;
}

}  // namespace

DrawingPoint Plus(const DrawingPoint& a, const DrawingPoint& b)
{
    return {Store(static_cast<long double>(a.X) + b.X), Store(static_cast<long double>(a.Y) + b.Y)};
}

DrawingPoint Turned(double x, double y, const Rotation& turn)
{
    DrawingPoint p;
    MyFunc::RotatePoint(x, y, 0.0, 0.0, turn, p.X, p.Y);
    return p;
}

double DirectionDeg(const DrawingPoint& from, const DrawingPoint& to)
{
    return MyFunc::VectorAngleDeg(Store(static_cast<long double>(to.X) - from.X),
                                  Store(static_cast<long double>(to.Y) - from.Y));
}

EndMarkerLayout EndMarkerAt(std::int32_t kind, const DrawingPoint& tip, double q,
                            const DimensionSettings& settings, BarbTurns& turns)
{
    EndMarkerLayout marker;
    marker.kind = kind;
    marker.tip = tip;
    marker.direction = q;
    if (IsMarkerPointKind(kind)) return marker;
    const long double back = static_cast<long double>(q) + 180.0L;
    const double barbs[2] = {Store(back + settings.MarkerAngle),
                             Store(back - settings.MarkerAngle)};
    const long double length =
        static_cast<long double>(settings.MarkerLength) * settings.CurrentScale;
    for (std::size_t i = 0; i < 2; ++i) {
        const Rotation& turn = BarbTurn(turns, barbs[i]);
        const double dx = Store(length * turn.c);
        const double dy = Store(length * turn.s);
        marker.barbs[i] = {Store(static_cast<long double>(tip.X) + dx),
                           Store(static_cast<long double>(tip.Y) + dy)};
    }
    return marker;
}

bool IsWide(const RunStyle& style, double length)
{
    return static_cast<long double>(style.StartAlong) + style.EndAlong < length;
}

SegmentLayout SegmentAt(double x, double length, double level, const Rotation& axis)
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

IntervalEnds WideEnds(const SegmentLayout& segment, const DimensionSettings& settings,
                      BarbTurns& turns)
{
    IntervalEnds ends;
    ends.start = EndMarkerAt(settings.StartMarker, segment.N, DirectionDeg(segment.P, segment.N),
                             settings, turns);
    ends.end = EndMarkerAt(settings.EndMarker, segment.P, segment.direction, settings, turns);
    return ends;
}

ValueTextLayout MeasuredText(std::string text, const RunFrame& frame)
{
    const ValueTextStyle& style = frame.style.TextStyle;
    ValueTextLayout layout;
    layout.text = std::move(text);
    const double paperWidth = MyFunc::MeasureTextWidth(layout.text, style.width, style.spacing);
    layout.width = Store(static_cast<long double>(paperWidth) * frame.settings.CurrentScale);
    return layout;
}

bool DistanceText(double distance, const RunFrame& frame, ValueTextLayout& text)
{
    if (PlainValueText(distance, frame.options) == "0") return false;
    text = MeasuredText(FormatDimensionValue(distance, frame.options), frame);
    return true;
}

ExtensionSpan ExtensionSpanTo(double pointY, double level, const DimensionSettings& settings)
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

ExtensionSegment SegmentOf(double x, const ExtensionSpan& span, const Rotation& axis)
{
    ExtensionSegment line;
    if (!span.present) return line;
    line.present = true;
    line.start = Turned(x, span.startY, axis);
    line.end = Turned(x, span.endY, axis);
    return line;
}

long double EndReachOf(const RunStyle& style, const LevelLineLayout& line)
{
    if (line.ends) return style.EndAlong;
    if (style.narrowMarker == NarrowMarkerKind::Slash) {
        return std::min(style.StartAcross, style.EndAcross);
    }
    return 0.0L;
}

LevelLineLayout LevelLine(double fromX, double toX, double level, const RunFrame& frame,
                          BarbTurns& barbTurns)
{
    LevelLineLayout line;
    const double length = Store(Abs(static_cast<long double>(toX) - fromX));
    line.segment = SegmentAt(fromX, length, level, frame.turns.axis);
    if (IsWide(frame.style, length)) line.ends = WideEnds(line.segment, frame.settings, barbTurns);
    ValueTextLayout text;
    if (DistanceText(length, frame, text)) {
        PlaceLevelText(line, frame, text);
        line.text = std::move(text);
    }
    return line;
}

}  // namespace Dimension
