// 累進 (item 3): one dimension line from the first kept point to the last, the origin symbol at the
// first point and an end marker at each further one, pointing away from the origin. Each point's
// distance from the first reads along its extension line, beyond the line on the outward side; a
// text that would come too near the one before is moved along the run and gets a leader.
#include <algorithm>
#include <cstddef>
#include <utility>

#include "common/geometry.hpp"
#include "dimension/draw_internal.hpp"
#include "dimension/layout_internal.hpp"

namespace Dimension {
namespace {

// The value texts' near end: beyond the overshoot, the end markers and the origin symbol, and
// |g| further.
long double NearEndOf(const RunFrame& frame)
{
    return std::max<long double>({frame.o, frame.style.EndAcross,
                                  MarkerExtentOf(kOriginMarkerCode, frame.settings).across}) +
           frame.beside;
}

// The texts of the points, each at its own place |g| beside its extension line unless that is
// less than H + |g| beyond the text before it (to within a billionth of H, so that an interval
// of exactly H + |g| on a turned axis moves nothing), then exactly there. Returns their boxes.
std::vector<TextBox> PlaceTexts(const RunFrame& frame, CumulativeLayout& cumulative)
{
    const double h = frame.height.Y;
    const KeptPoint& first = frame.kept.front();
    // sin(TextAngle - DimensionAngle): +1 when the texts read towards +Y of the dimension
    // frame, their upper side then towards -X; -1 the other way round.
    const Rotation textTurn = MyFunc::RotationOfDeg(cumulative.TextAngle);
    const Rotation& axis = frame.turns.axis;
    const bool readsUp = textTurn.s * axis.c - textTurn.c * axis.s > 0.0L;

    const long double out = frame.sides.outward;
    const long double height = frame.H;
    const long double beside = frame.beside;
    const long double nearEnd = NearEndOf(frame);
    const double nearY = Store(static_cast<long double>(h) + out * nearEnd);

    std::vector<TextBox> boxes;
    boxes.reserve(frame.kept.size());
    cumulative.texts.reserve(frame.kept.size());
    long double previous = 0.0L;  // where the text before stands along the run
    for (std::size_t k = 0; k < frame.kept.size(); ++k) {
        const KeptPoint& measured = frame.kept[k];
        const double distance =
            k == 0 ? 0.0 : Store(Abs(static_cast<long double>(measured.X) - first.X));
        CumulativeText entry;
        ValueTextLayout& text = entry.text;
        text.text = FormatDimensionValue(distance, frame.options);
        text.width = TextWidth(text.text, frame);
        // The text's extent along the run starts at `place`: |g| beside the extension line, its
        // body away from it.
        const long double own = readsUp ? static_cast<long double>(measured.X) - beside - height
                                        : static_cast<long double>(measured.X) + beside;
        long double place = Store(own);
        if (k > 0 && own < previous + height + beside - 1e-9L * height) {
            place = Store(previous + height + beside);
            entry.moved = true;
        }
        previous = place;
        const long double baseX = readsUp ? place + height : place;
        const long double baseY = readsUp == (out > 0.0L)
                                      ? static_cast<long double>(h) + out * nearEnd
                                      : static_cast<long double>(h) + out * (nearEnd + text.width);
        text.anchor = Turned(Store(baseX), Store(baseY), axis);
        text.leaderEnd = Turned(Store(place + height / 2.0L), nearY, axis);
        const long double across[2] = {static_cast<long double>(h) + out * nearEnd,
                                       static_cast<long double>(h) + out * (nearEnd + text.width)};
        boxes.push_back({place, place + height, std::min(across[0], across[1]),
                         std::max(across[0], across[1])});
        cumulative.texts.push_back(std::move(entry));
    }
    return boxes;
}

// Where a moved text's leader starts: on its point's extension line, at the point of it nearest
// the level of the text's near end (the line's outer end for a point on the measured side, where
// the line stops at the overshoot); the point itself where it has no extension line.
DrawingPoint LeaderStart(const KeptPoint& point, const std::vector<ExtensionPiece>& pieces,
                         double nearY, const RunFrame& frame)
{
    if (pieces.empty()) return Turned(point.X, point.Y, frame.turns.axis);
    double best = pieces.front().from;
    long double closest = -1.0L;
    for (const ExtensionPiece& piece : pieces) {
        const double y = std::clamp(nearY, std::min(piece.from, piece.to),
                                    std::max(piece.from, piece.to));
        const long double off = Abs(static_cast<long double>(y) - nearY);
        if (closest < 0.0L || off < closest) {
            closest = off;
            best = y;
        }
    }
    return Turned(point.X, best, frame.turns.axis);
}

}  // namespace

void LayOut(const RunFrame& frame, CumulativeLayout& cumulative)
{
    const double h = frame.height.Y;
    const Rotation& axis = frame.turns.axis;
    cumulative.lineStart = Turned(frame.kept.front().X, h, axis);
    cumulative.lineEnd = Turned(frame.kept.back().X, h, axis);

    // The texts read along the extension lines and stay upright in vertical runs too.
    cumulative.TextAngle = TextAngleOf(frame.settings.DimensionAngle + 90.0);
    const Rotation textTurn = MyFunc::RotationOfDeg(cumulative.TextAngle);
    cumulative.TextDirection = {Store(10.0L * textTurn.c), Store(10.0L * textTurn.s)};
    const TextBoxIndex boxes = IndexOf(PlaceTexts(frame, cumulative));

    BarbTurns barbTurns;
    cumulative.ends.reserve(frame.kept.size() - 1);
    for (std::size_t k = 1; k < frame.kept.size(); ++k) {
        const DrawingPoint tip = Turned(frame.kept[k].X, h, axis);
        const double away = DirectionDeg(cumulative.lineStart, tip);
        if (k == 1) {
            cumulative.origin = EndMarkerAt(kOriginMarkerCode, cumulative.lineStart, away,
                                            frame.settings, barbTurns);
        }
        cumulative.ends.push_back(
            EndMarkerAt(frame.settings.EndMarker, tip, away, frame.settings, barbTurns));
    }
    // The extension lines of points on the outward side run through the band of texts: they are
    // interrupted around every text they would pass through.
    const double nearY =
        Store(static_cast<long double>(h) + frame.sides.outward * NearEndOf(frame));
    for (std::size_t k = 0; k < frame.kept.size(); ++k) {
        const KeptPoint& point = frame.kept[k];
        const ExtensionSpan span = ExtensionSpanTo(point.Y, h, frame.settings);
        std::vector<ExtensionPiece> pieces;
        if (span.present) {
            pieces = ExtensionPieces(point.X, span.startY, span.endY, {&h, 1}, boxes, frame);
        }
        AddExtensionPieces(point.X, pieces, frame, cumulative.extensions);
        CumulativeText& entry = cumulative.texts[k];
        if (entry.moved) entry.leaderStart = LeaderStart(point, pieces, nearY, frame);
    }
}

RunCounts CountsOf(const CumulativeLayout& cumulative)
{
    return {1, cumulative.texts.size(), 0};
}

void Draw(const RunStyle& style, const CumulativeLayout& cumulative,
          RidEdaza::CommandWriter& writer)
{
    WriteExtensionLines(cumulative.extensions, writer);
    MarkedLine(writer, cumulative.lineStart, cumulative.lineEnd);
    for (const CumulativeText& entry : cumulative.texts) {
        WriteText(style, entry.text, cumulative.TextDirection, writer);
        if (entry.moved) MarkedLine(writer, entry.leaderStart, entry.text.leaderEnd);
    }
    DrawEndMarker(writer, cumulative.origin, style.EndMarkerScale);
    for (const EndMarkerLayout& end : cumulative.ends) {
        DrawEndMarker(writer, end, style.EndMarkerScale);
    }
}

}  // namespace Dimension
