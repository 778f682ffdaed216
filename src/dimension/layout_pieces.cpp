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

// The value text of a line that stands on its own level, |g| beside it on the side it reads
// from: centred on the stretch the markers leave free when its width and both markers' reach
// along the line fit the line (with equal markers, the line's middle), else on the same level
// beyond the end, past its marker's reach. Returns the text's box.
TextBox PlaceLevelText(const LevelLineLayout& line, double fromX, double level,
                       const RunFrame& frame, ValueTextLayout& text)
{
    const SegmentLayout& segment = line.segment;
    const RunStyle& style = frame.style;
    const bool turned = frame.sides.textsTurned;
    const long double width = text.width;
    const long double half = static_cast<long double>(segment.length) / 2.0L;
    double offsetX = 0.0;
    long double start = 0.0L;  // the text's lower end along the run, from the line's middle
    if (width + style.StartAlong + style.EndAlong <= segment.length) {
        const long double shift =
            (static_cast<long double>(style.StartAlong) - style.EndAlong) / 2.0L;
        offsetX = Store(-width / 2.0L + (turned ? -shift : shift));
        start = shift - width / 2.0L;
    } else {
        start = half + EndReachOf(style, line) + frame.beside;
        offsetX = turned ? Store(-(start + width)) : Store(start);
    }
    text.anchor = Plus(segment.M, Turned(offsetX, Store(frame.beside), frame.turns.text));
    text.leaderEnd = segment.M;
    TextBox box;
    box.x0 = static_cast<long double>(fromX) + half + start;
    box.x1 = box.x0 + width;
    const long double near = turned ? level - frame.beside : level + frame.beside;
    const long double far = turned ? near - frame.H : near + frame.H;
    box.y0 = std::min(near, far);
    box.y1 = std::max(near, far);
    return box;
}

// A stretch [low, high] of Y.
struct Stretch {
    long double low;
    long double high;
};

// The stretches of `from` that none of `cuts` covers.
std::vector<Stretch> Uncut(Stretch from, std::vector<Stretch> cuts)
{
    std::sort(cuts.begin(), cuts.end(),
              [](const Stretch& a, const Stretch& b) { return a.low < b.low; });
    std::vector<Stretch> left;
    long double at = from.low;
    for (const Stretch& cut : cuts) {
        if (cut.low > at) left.push_back({at, std::min(cut.low, from.high)});
        at = std::max(at, cut.high);
        if (at >= from.high) break;
    }
    if (at < from.high) left.push_back({at, from.high});
    return left;
}

// A piece no longer than this is left out rather than drawn as a line of (almost) no length.
constexpr long double kShortestPiece = 1e-7L;

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
                          BarbTurns& barbTurns, std::vector<TextBox>& boxes)
{
    LevelLineLayout line;
    const double length = Store(Abs(static_cast<long double>(toX) - fromX));
    line.segment = SegmentAt(fromX, length, level, frame.turns.axis);
    if (IsWide(frame.style, length)) line.ends = WideEnds(line.segment, frame.settings, barbTurns);
    ValueTextLayout text;
    if (DistanceText(length, frame, text)) {
        boxes.push_back(PlaceLevelText(line, fromX, level, frame, text));
        line.text = std::move(text);
    }
    return line;
}

TextBoxIndex IndexOf(std::vector<TextBox> boxes)
{
    TextBoxIndex index;
    std::sort(boxes.begin(), boxes.end(),
              [](const TextBox& a, const TextBox& b) { return a.x0 < b.x0; });
    for (const TextBox& box : boxes) index.widest = std::max(index.widest, box.x1 - box.x0);
    index.boxes = std::move(boxes);
    return index;
}

std::vector<ExtensionPiece> ExtensionPieces(double x, double fromY, double toY,
                                            std::span<const double> serves,
                                            const TextBoxIndex& texts, const RunFrame& frame)
{
    const Stretch whole{std::min<long double>(fromY, toY), std::max<long double>(fromY, toY)};
    const long double grow = std::max(frame.beside, frame.H / 4.0L);
    // A value whose side only touches the line is not passed through.
    const long double slack = 1e-9L * (Abs(x) + frame.H);
    std::vector<Stretch> cuts;
    // The boxes that start before x, back to the first that cannot reach it.
    const auto after = std::partition_point(
        texts.boxes.begin(), texts.boxes.end(),
        [&](const TextBox& box) { return box.x0 + slack < x; });
    for (auto at = after; at != texts.boxes.begin();) {
        const TextBox& box = *--at;
        if (box.x0 + texts.widest <= x) break;
        if (x < box.x1 - slack && box.y0 < whole.high - slack && box.y1 > whole.low + slack) {
            cuts.push_back({box.y0 - grow, box.y1 + grow});
        }
    }
    if (cuts.empty()) return {{fromY, toY}};
    // The overshoot around each line the extension line serves stays.
    for (const double level : serves) {
        std::vector<Stretch> kept;
        for (const Stretch& cut : cuts) {
            for (const Stretch& part :
                 Uncut(cut, {{static_cast<long double>(level) - frame.o,
                              static_cast<long double>(level) + frame.o}})) {
                kept.push_back(part);
            }
        }
        cuts = std::move(kept);
    }
    std::vector<ExtensionPiece> pieces;
    for (const Stretch& part : Uncut(whole, cuts)) {
        if (part.high - part.low <= kShortestPiece) continue;
        // The line's own ends keep their numbers.
        const double low = part.low == whole.low ? Store(whole.low) : Store(part.low);
        const double high = part.high == whole.high ? Store(whole.high) : Store(part.high);
        pieces.push_back(fromY <= toY ? ExtensionPiece{low, high} : ExtensionPiece{high, low});
    }
    if (fromY > toY) std::reverse(pieces.begin(), pieces.end());
    return pieces;
}

void AddExtensionPieces(double x, std::span<const ExtensionPiece> pieces, const RunFrame& frame,
                        std::vector<ExtensionLine>& lines)
{
    for (const ExtensionPiece& piece : pieces) {
        lines.push_back(
            {Turned(x, piece.from, frame.turns.axis), Turned(x, piece.to, frame.turns.axis)});
    }
}

}  // namespace Dimension
