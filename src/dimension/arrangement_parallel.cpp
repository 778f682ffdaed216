// 並列 (item 2): every dimension from the first kept point, the common origin, one to each further
// point, the shortest on the height point's level and each next one a pitch further out. Each
// line has its value text and markers as a run of one interval has them.
#include <cstddef>

#include "dimension/draw_internal.hpp"
#include "dimension/layout_internal.hpp"

namespace Dimension {
namespace {

void AddExtension(const KeptPoint& point, double level, const RunFrame& frame,
                  std::vector<ExtensionLine>& lines)
{
    const ExtensionSegment line = SegmentOf(
        point.X, ExtensionSpanTo(point.Y, level, frame.settings), frame.turns.axis);
    if (line.present) lines.push_back({line.start, line.end});
}

}  // namespace

void LayOut(const RunFrame& frame, ParallelLayout& parallel)
{
    const KeptPoint& first = frame.kept.front();
    BarbTurns barbTurns;
    std::vector<double> levels;
    levels.reserve(frame.kept.size() - 1);
    parallel.lines.reserve(frame.kept.size() - 1);
    for (std::size_t k = 1; k < frame.kept.size(); ++k) {
        const long double steps = static_cast<long double>(k - 1);
        const double level = Store(static_cast<long double>(frame.height.Y) +
                                   frame.sides.outward * steps * frame.pitch);
        levels.push_back(level);
        parallel.lines.push_back(LevelLine(first.X, frame.kept[k].X, level, frame, barbTurns));
    }
    // The common origin's extension line reaches the farthest line; each further point's its
    // own line.
    AddExtension(first, levels.back(), frame, parallel.extensions);
    for (std::size_t k = 1; k < frame.kept.size(); ++k) {
        AddExtension(frame.kept[k], levels[k - 1], frame, parallel.extensions);
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
