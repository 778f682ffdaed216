// 直列 (item 0), the run Korvane always drew: one dimension per interval between neighbouring kept
// points, in a row on the height point's level. A value text that does not fit over its interval
// goes to the first staggered row that is free at its left end, with a leader; an interval too
// narrow for both normal markers gets the narrow markers (slash or dot) at the points no wide
// neighbour marks. Its bytes are the reviewed ones: nothing here may change them.
#include <cstddef>
#include <utility>

#include "dimension/draw_internal.hpp"
#include "dimension/layout_internal.hpp"

namespace Dimension {
namespace {

// Every row starts far left of the run (in paper mm), so an untouched row is always free.
constexpr long double kRowStartOffset = 1000000.0L;

// The intervals' lengths and value texts, and the rows of the texts that do not fit over their
// intervals: each goes to the first row that is free at its left end.
void PlaceIntervalsAndTexts(const RunFrame& frame, ChainLayout& chain)
{
    const double s = frame.settings.CurrentScale;
    const ValueTextStyle& style = frame.style.TextStyle;
    const long double rowGap = (static_cast<long double>(style.width) + style.spacing) * s;
    const std::size_t w = frame.kept.size() - 1;
    // The X up to which row r + 1 is taken.
    std::vector<double> rowEnd(w, Store(static_cast<long double>(frame.listStartX) -
                                        kRowStartOffset * s));
    chain.intervals.resize(w);
    for (std::size_t k = 0; k < w; ++k) {
        IntervalLayout& interval = chain.intervals[k];
        const double x = frame.kept[k].X;
        const double next = frame.kept[k + 1].X;
        interval.segment.length = Store(Abs(static_cast<long double>(next) - x));
        const double length = interval.segment.length;

        ValueTextLayout text;
        if (!DistanceText(length, frame, text)) continue;
        interval.text = static_cast<std::int32_t>(chain.texts.size());
        const bool fits = length >= text.width;
        const double left = Store(static_cast<long double>(x) +
                                  static_cast<long double>(length) / 2.0L -
                                  static_cast<long double>(text.width) / 2.0L);
        chain.texts.push_back(std::move(text));
        if (fits) continue;

        interval.row = 1;  // kept when no row is free (a text of millions of paper mm)
        for (std::size_t r = 0; r < w; ++r) {
            if (rowEnd[r] < left) {
                interval.row = static_cast<std::int32_t>(r + 1);
                rowEnd[r] = Store(static_cast<long double>(left) + chain.texts.back().width +
                                  rowGap);
                break;
            }
        }
    }
}

// Where a value text goes: centred over its interval at the value gap, or in its staggered row,
// which stacks away from the measured point as seen in the texts' own upright frame, so that a
// staggered text never lands among the extension lines. The leader ends one gap short of it.
void PlaceText(const IntervalLayout& interval, const KeptPoint& measured,
               const DrawingPoint& heightInTextFrame, const RunFrame& frame,
               ValueTextLayout& text)
{
    const long double g = frame.g;
    const double offsetX = Store(-static_cast<long double>(text.width) / 2.0L);
    double offsetY = frame.settings.ValueGap;
    double leaderLength = 0.0;
    if (interval.row >= 1) {
        const long double step = frame.H + g;
        const DrawingPoint m1 = Turned(measured.X, measured.Y, frame.turns.axis);
        const DrawingPoint m2 = Turned(m1.X, m1.Y, frame.turns.untext);
        const long double r = interval.row;
        if (heightInTextFrame.Y >= m2.Y) {
            offsetY = Store(g + r * step);
            leaderLength = Store(r * step);
        } else {
            offsetY = Store(-(r + 1.0L) * step);
            leaderLength = Store(-r * step);
        }
    }
    const SegmentLayout& segment = interval.segment;
    text.anchor = Plus(segment.M, Turned(offsetX, offsetY, frame.turns.text));
    text.leaderEnd = interval.row >= 1
                         ? Plus(segment.M, Turned(0.0, leaderLength, frame.turns.text))
                         : segment.M;
}

// The segments on the dimension line, their texts and markers.
void PlaceSegmentsAndMarkers(const RunFrame& frame, ChainLayout& chain)
{
    const double h = frame.height.Y;
    const DrawingPoint h1 = Turned(frame.height.X, h, frame.turns.axis);
    const DrawingPoint heightInTextFrame = Turned(h1.X, h1.Y, frame.turns.untext);
    BarbTurns barbTurns;
    const std::size_t w = chain.intervals.size();
    for (std::size_t k = 0; k < w; ++k) {
        IntervalLayout& interval = chain.intervals[k];
        const KeptPoint& measured = frame.kept[k];
        interval.segment = SegmentAt(measured.X, interval.segment.length, h, frame.turns.axis);
        if (interval.text >= 0) {
            PlaceText(interval, measured, heightInTextFrame, frame,
                      chain.texts[static_cast<std::size_t>(interval.text)]);
        }
        if (IsWide(frame.style, interval.segment.length)) {
            interval.ends = static_cast<std::int32_t>(chain.ends.size());
            chain.ends.push_back(WideEnds(interval.segment, frame.settings, barbTurns));
        } else {
            interval.narrowMarkerAtN = !chain.points[k].wideNeighbour;
            interval.narrowMarkerAtP = k + 1 == w && !chain.points[w].wideNeighbour;
        }
    }
}

}  // namespace

void LayOut(const RunFrame& frame, ChainLayout& chain)
{
    PlaceIntervalsAndTexts(frame, chain);
    // Each point's extension line, and whether a wide interval beside it marks it.
    const std::size_t n = frame.kept.size();
    chain.points.reserve(n);
    bool wideBefore = false;
    for (std::size_t k = 0; k < n; ++k) {
        const bool wideAfter =
            k + 1 < n && IsWide(frame.style, chain.intervals[k].segment.length);
        const KeptPoint& point = frame.kept[k];
        chain.points.push_back(
            {wideBefore || wideAfter,
             SegmentOf(point.X, ExtensionSpanTo(point.Y, frame.height.Y, frame.settings),
                       frame.turns.axis)});
        wideBefore = wideAfter;
    }
    PlaceSegmentsAndMarkers(frame, chain);
}

RunCounts CountsOf(const ChainLayout& chain)
{
    RunCounts counts{chain.intervals.size(), chain.texts.size(), 0};
    for (const IntervalLayout& interval : chain.intervals) {
        if (interval.row >= 1) ++counts.staggeredTexts;
    }
    return counts;
}

void Draw(const RunStyle& style, const ChainLayout& chain, RidEdaza::CommandWriter& writer)
{
    for (const ChainPoint& point : chain.points) {
        if (point.extension.present) {
            MarkedLine(writer, point.extension.start, point.extension.end);
        }
    }
    for (const IntervalLayout& interval : chain.intervals) {
        const ValueTextLayout* text =
            interval.text >= 0 ? &chain.texts[static_cast<std::size_t>(interval.text)] : nullptr;
        WriteSegmentAndText(style, interval.segment, text, interval.row >= 1, writer);
    }
    for (const IntervalLayout& interval : chain.intervals) {
        const IntervalEnds* ends =
            interval.ends >= 0 ? &chain.ends[static_cast<std::size_t>(interval.ends)] : nullptr;
        WriteEndMarkers(style, interval.segment, ends, interval.narrowMarkerAtN,
                        interval.narrowMarkerAtP, writer);
    }
}

}  // namespace Dimension
