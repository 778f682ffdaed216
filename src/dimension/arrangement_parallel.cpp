// 並列 (item 2): every dimension from the first kept point, the common origin, one to each further
// point, the shortest on the height point's level and each next one a pitch further out. Each
// line has its value text and markers as a run of one interval has them. Every line's ends lie on
// extension lines: the origin's reach the farthest line on each side of it, each further point's
// its own line; where one would pass through a value it is interrupted around it.
#include <cstddef>
#include <utility>

#include "dimension/draw_internal.hpp"
#include "dimension/layout_internal.hpp"

namespace Dimension {
namespace {

// The common origin's extension lines: every line ends on them. Where the lines lie on both
// sides of the origin (it stands among them, on the outward side), one goes each way, the one
// towards the height point's level first; each reaches the farthest line on its side. A line
// within the gap of the origin needs none.
void AddOriginExtensions(const KeptPoint& origin, const std::vector<double>& levels,
                         const TextBoxIndex& boxes, const RunFrame& frame,
                         std::vector<ExtensionLine>& lines)
{
    const long double y = origin.Y;
    for (const long double side : {-frame.sides.outward, frame.sides.outward}) {
        std::vector<double> served;
        double farthest = 0.0;
        for (const double level : levels) {
            const long double from = static_cast<long double>(level) - y;
            const bool withinGap = Abs(from) - frame.settings.ExtensionGap <= MyFunc::kTolerance;
            if (side * from <= 0.0L || withinGap) continue;
            if (served.empty() || side * (static_cast<long double>(level) - farthest) > 0.0L) {
                farthest = level;
            }
            served.push_back(level);
        }
        if (served.empty()) continue;
        const ExtensionSpan span = ExtensionSpanTo(origin.Y, farthest, frame.settings);
        AddExtensionPieces(origin.X,
                           ExtensionPieces(origin.X, span.startY, span.endY, served, boxes, frame),
                           frame, lines);
    }
}

}  // namespace

void LayOut(const RunFrame& frame, ParallelLayout& parallel)
{
    const KeptPoint& first = frame.kept.front();
    const long double out = frame.sides.outward;
    // Values read from the side towards the height point's level face the line before theirs,
    // into which that line's extension lines overshoot: the pitch leaves room for both.
    const bool facingBack = (frame.sides.textsTurned ? -out : out) < 0.0L;
    const long double pitch =
        facingBack ? std::max(frame.pitch, frame.H + frame.beside + frame.o) : frame.pitch;
    BarbTurns barbTurns;
    std::vector<double> levels;
    std::vector<TextBox> boxes;
    levels.reserve(frame.kept.size() - 1);
    parallel.lines.reserve(frame.kept.size() - 1);
    for (std::size_t k = 1; k < frame.kept.size(); ++k) {
        const long double steps = static_cast<long double>(k - 1);
        const double level = Store(static_cast<long double>(frame.height.Y) + out * steps * pitch);
        levels.push_back(level);
        parallel.lines.push_back(
            LevelLine(first.X, frame.kept[k].X, level, frame, barbTurns, boxes));
    }
    const TextBoxIndex index = IndexOf(std::move(boxes));
    AddOriginExtensions(first, levels, index, frame, parallel.extensions);
    for (std::size_t k = 1; k < frame.kept.size(); ++k) {
        const KeptPoint& point = frame.kept[k];
        const double level = levels[k - 1];
        const ExtensionSpan span = ExtensionSpanTo(point.Y, level, frame.settings);
        if (!span.present) continue;
        AddExtensionPieces(
            point.X, ExtensionPieces(point.X, span.startY, span.endY, {&level, 1}, index, frame),
            frame, parallel.extensions);
    }
}

RunCounts CountsOf(const ParallelLayout& parallel)
{
    RunCounts counts{parallel.lines.size(), 0, 0};
    for (const LevelLineLayout& line : parallel.lines) {
        if (line.text) ++counts.valueTexts;
    }
    return counts;
}

void Draw(const RunStyle& style, const ParallelLayout& parallel, RidEdaza::CommandWriter& writer)
{
    WriteExtensionLines(parallel.extensions, writer);
    for (const LevelLineLayout& line : parallel.lines) WriteLevelLine(style, line, writer);
    for (const LevelLineLayout& line : parallel.lines) WriteLevelLineMarkers(style, line, writer);
}

}  // namespace Dimension
