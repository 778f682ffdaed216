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

IntervalEnds WideEnds(const SegmentLayout& segment, const DimensionSettings& settings,
                      BarbTurns& turns)
{
    IntervalEnds ends;
    ends.start = EndMarkerAt(settings.StartMarker, segment.N, DirectionDeg(segment.P, segment.N),
                             settings, turns);
    ends.end = EndMarkerAt(settings.EndMarker, segment.P, segment.direction, settings, turns);
    return ends;
}

double TextWidth(std::string_view text, const RunFrame& frame)
{
    const ValueTextStyle& style = frame.style.TextStyle;
    const double paperWidth = MyFunc::MeasureTextWidth(text, style.width, style.spacing);
    return Store(static_cast<long double>(paperWidth) * frame.settings.CurrentScale);
}

bool DistanceText(double distance, const RunFrame& frame, ValueTextLayout& text)
{
    if (PlainValueText(distance, frame.options) == "0") return false;
    text.text = FormatDimensionValue(distance, frame.options);
    text.width = TextWidth(text.text, frame);
    return true;
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
