// 直列＋全体 (item 1): the chain, byte for byte as item 0 writes it, and then the overall
// dimension from the first kept point to the last, one pitch beyond everything the chain draws
// on the outward side. Its value text and markers are those of a line on a level of its own;
// its extension lines continue the chain's.
#include <algorithm>
#include <cstddef>
#include <utility>

#include "dimension/draw_internal.hpp"
#include "dimension/layout_internal.hpp"

namespace Dimension {
namespace {

// How far the laid-out chain reaches from its line to the outward side: its texts in every row,
// their leaders, the extension lines' overshoot and the markers' extents across the line.
long double ChainReach(const RunFrame& frame, const ChainLayout& chain)
{
    const Rotation back = MyFunc::RotationOfDeg(-frame.settings.DimensionAngle);
    const long double h = frame.height.Y;
    const RunSides& sides = frame.sides;
    const RunStyle& style = frame.style;
    auto outward = [&](const DrawingPoint& p) {
        return sides.outward * (static_cast<long double>(Turned(p.X, p.Y, back).Y) - h);
    };
    const long double body = sides.outward * (sides.textsTurned ? -frame.H : frame.H);
    long double reach = 0.0L;
    for (const IntervalLayout& interval : chain.intervals) {
        if (interval.text >= 0) {
            const ValueTextLayout& text = chain.texts[static_cast<std::size_t>(interval.text)];
            const long double base = outward(text.anchor);
            reach = std::max({reach, base, base + body});
            if (interval.row >= 1) reach = std::max(reach, outward(text.leaderEnd));
        }
        if (interval.ends >= 0) {
            reach = std::max<long double>({reach, style.StartAcross, style.EndAcross});
        } else if ((interval.narrowMarkerAtN || interval.narrowMarkerAtP) &&
                   style.narrowMarker == NarrowMarkerKind::Slash) {
            reach = std::max<long double>(reach, std::min(style.StartAcross, style.EndAcross));
        }
    }
    for (const ChainPoint& point : chain.points) {
        if (point.extension.present) reach = std::max(reach, outward(point.extension.end));
    }
    return reach;
}

// The chain's value texts as boxes in the dimension frame, from where their base lines start.
std::vector<TextBox> ChainTextBoxes(const RunFrame& frame, const ChainLayout& chain)
{
    const Rotation back = MyFunc::RotationOfDeg(-frame.settings.DimensionAngle);
    const bool turned = frame.sides.textsTurned;
    std::vector<TextBox> boxes;
    boxes.reserve(chain.texts.size());
    for (const ValueTextLayout& text : chain.texts) {
        const DrawingPoint base = Turned(text.anchor.X, text.anchor.Y, back);
        const long double width = text.width;
        TextBox box;
        box.x0 = turned ? base.X - width : base.X;
        box.x1 = box.x0 + width;
        box.y0 = turned ? base.Y - frame.H : base.Y;
        box.y1 = box.y0 + frame.H;
        boxes.push_back(box);
    }
    return boxes;
}

// The overall's extension line at a kept point: from where the chain's ends (or from the gap
// beside the point, or from the height point's level), whichever is farthest out, to the
// overall's line plus the overshoot; it never runs over the chain's own lines, and it is
// interrupted around the chain's values it would pass through (staggered ones stand across the
// first and the last point's lines).
void AddOverallExtension(const KeptPoint& point, double level, const TextBoxIndex& boxes,
                         const RunFrame& frame, std::vector<ExtensionLine>& lines)
{
    const DimensionSettings& settings = frame.settings;
    const long double h = frame.height.Y;
    const long double out = frame.sides.outward;
    const ExtensionSpan chain = ExtensionSpanTo(point.Y, frame.height.Y, settings);
    double start = frame.height.Y;
    auto farther = [&](double y) {
        if (out * (static_cast<long double>(y) - h) > out * (static_cast<long double>(start) - h)) {
            start = y;
        }
    };
    farther(Store(static_cast<long double>(point.Y) + out * settings.ExtensionGap));
    if (chain.present) {
        farther(chain.startY);
        farther(chain.endY);
    }
    const double end = Store(static_cast<long double>(level) + out * settings.ExtensionOvershoot);
    if (out * (static_cast<long double>(end) - start) <= MyFunc::kTolerance) return;
    AddExtensionPieces(point.X, ExtensionPieces(point.X, start, end, {&level, 1}, boxes, frame),
                       frame, lines);
}

}  // namespace

void LayOut(const RunFrame& frame, ChainAndOverallLayout& run)
{
    LayOut(frame, run.chain);
    // With one interval the chain already is the overall dimension.
    if (run.chain.intervals.size() < 2) return;
    const long double beyond = ChainReach(frame, run.chain) + frame.pitch;
    const double level =
        Store(static_cast<long double>(frame.height.Y) + frame.sides.outward * beyond);
    const KeptPoint& first = frame.kept.front();
    const KeptPoint& last = frame.kept.back();
    BarbTurns barbTurns;
    std::vector<TextBox> boxes = ChainTextBoxes(frame, run.chain);
    ChainAndOverallLayout::Overall& overall = run.overall.emplace();
    overall.line = LevelLine(first.X, last.X, level, frame, barbTurns, boxes);
    const TextBoxIndex index = IndexOf(std::move(boxes));
    AddOverallExtension(first, level, index, frame, overall.extensions);
    AddOverallExtension(last, level, index, frame, overall.extensions);
}

RunCounts CountsOf(const ChainAndOverallLayout& run)
{
    RunCounts counts = CountsOf(run.chain);
    if (run.overall) {
        ++counts.dimensionLines;
        if (run.overall->line.text) ++counts.valueTexts;
    }
    return counts;
}

void Draw(const RunStyle& style, const ChainAndOverallLayout& run,
          RidEdaza::CommandWriter& writer)
{
    Draw(style, run.chain, writer);
    if (!run.overall) return;
    WriteExtensionLines(run.overall->extensions, writer);
    WriteLevelLine(style, run.overall->line, writer);
    WriteLevelLineMarkers(style, run.overall->line, writer);
}

}  // namespace Dimension
