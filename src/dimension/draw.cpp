#include "dimension/draw.hpp"

#include <cstddef>
#include <cstdint>

namespace Dimension {
namespace {

using RidEdaza::CommandWriter;
using RidEdaza::kZ3Mark;

// The text key "cs" of the value texts.
constexpr std::int32_t kValueTextKey = 2;

// The host's marker code of the slash drawn at narrow points.
constexpr std::int32_t kSlashMarkerCode = 10;

// Every colour and line type the run writes comes from the exchange file: already the host's.
constexpr RidEdaza::NumberMapping kAsGiven = RidEdaza::NumberMapping::AsGiven;

void MarkedLine(CommandWriter& writer, const DrawingPoint& a, const DrawingPoint& b)
{
    RidEdaza::OutZFlags(writer, kZ3Mark);
    RidEdaza::OutLine(writer, a.X, a.Y, b.X, b.Y);
}

// A host marker point with the list's index as its code, or a line arrow's two barbs.
void DrawEndMarker(CommandWriter& writer, const EndMarkerLayout& marker, double markerScale)
{
    if (IsMarkerPointKind(marker.kind)) {
        RidEdaza::OutZFlags(writer, kZ3Mark);
        RidEdaza::OutMarkerPoint(writer, marker.kind, marker.tip.X, marker.tip.Y, markerScale,
                                 marker.direction);
        return;
    }
    for (const DrawingPoint& barb : marker.barbs) MarkedLine(writer, marker.tip, barb);
}

// The marker of a point that no wide interval gives a normal marker.
void DrawNarrowMarker(CommandWriter& writer, const DimensionRun& run, const DrawingPoint& at,
                      double direction)
{
    RidEdaza::OutZFlags(writer, kZ3Mark);
    if (run.narrowMarker == NarrowMarkerKind::Slash) {
        RidEdaza::OutMarkerPoint(writer, kSlashMarkerCode, at.X, at.Y, run.SlashScale, direction);
    } else {
        RidEdaza::OutPoint(writer, at.X, at.Y);
    }
}

void WriteHostAttributes(CommandWriter& writer, const RidEdaza::DrawingState& state)
{
    RidEdaza::OutLayerGroup(writer, state.initialLayerGroup);
    RidEdaza::OutLayer(writer, state.initialLayer);
    RidEdaza::OutLineColor(writer, state.initialColour, kAsGiven);
    RidEdaza::OutPnValue(writer, state.initialColour, kAsGiven);
    RidEdaza::OutLineType(writer, state.initialLineType, kAsGiven);
    RidEdaza::OutLineWidth(writer, state.initialLineWidth);
    RidEdaza::OutFontName(writer, state.initialFontName);
}

void WriteSegmentAndText(const DimensionRun& run, const IntervalLayout& interval,
                         CommandWriter& writer)
{
    if (interval.text < 0) {
        MarkedLine(writer, interval.N, interval.P);
        return;
    }
    const ValueTextLayout& text = run.texts[static_cast<std::size_t>(interval.text)];
    const ValueTextStyle& style = run.TextStyle;
    const DrawingPoint& d = run.TextDirection;
    if (!run.dimensionFigures) {
        MarkedLine(writer, interval.N, interval.P);
        RidEdaza::OutTextKind(writer, style.kind, style.colour, kAsGiven, style.width,
                              style.height, style.spacing);
        RidEdaza::OutCcValue(writer, 0);
        RidEdaza::OutZFlags(writer, kZ3Mark);
        RidEdaza::OutText(writer, kValueTextKey, text.text, text.anchor.X, text.anchor.Y, d.X, d.Y);
    } else {
        RidEdaza::OutTextKind(writer, style.kind, style.colour, kAsGiven, style.width,
                              style.height, style.spacing);
        RidEdaza::OutDimensionFigure(writer, text.text, interval.N.X, interval.N.Y, interval.P.X,
                                     interval.P.Y, text.anchor.X, text.anchor.Y, d.X, d.Y);
    }
    if (interval.row >= 1) MarkedLine(writer, interval.M, text.leaderEnd);
}

void WriteEndMarkers(const DimensionRun& run, const IntervalLayout& interval,
                     CommandWriter& writer)
{
    if (interval.ends >= 0) {
        const IntervalEnds& ends = run.ends[static_cast<std::size_t>(interval.ends)];
        DrawEndMarker(writer, ends.start, run.EndMarkerScale);
        DrawEndMarker(writer, ends.end, run.EndMarkerScale);
        return;
    }
    // Both narrow markers of an interval point along it, from N towards P.
    if (interval.narrowMarkerAtN) DrawNarrowMarker(writer, run, interval.N, interval.direction);
    if (interval.narrowMarkerAtP) DrawNarrowMarker(writer, run, interval.P, interval.direction);
}

void WriteExtension(CommandWriter& writer, const ExtensionSegment& extension)
{
    if (extension.present) MarkedLine(writer, extension.start, extension.end);
}

// 累進: the line, each point's text with its leader, the origin symbol and the end markers.
void WriteCumulative(const DimensionRun& run, CommandWriter& writer)
{
    const CumulativeLayout& cumulative = run.cumulative;
    const ValueTextStyle& style = run.TextStyle;
    const DrawingPoint& d = cumulative.TextDirection;
    MarkedLine(writer, cumulative.lineStart, cumulative.lineEnd);
    for (const CumulativeText& entry : cumulative.texts) {
        const ValueTextLayout& text = entry.text;
        RidEdaza::OutTextKind(writer, style.kind, style.colour, kAsGiven, style.width,
                              style.height, style.spacing);
        RidEdaza::OutCcValue(writer, 0);
        RidEdaza::OutZFlags(writer, kZ3Mark);
        RidEdaza::OutText(writer, kValueTextKey, text.text, text.anchor.X, text.anchor.Y, d.X, d.Y);
        if (entry.moved) MarkedLine(writer, entry.leaderStart, text.leaderEnd);
    }
    DrawEndMarker(writer, cumulative.origin, run.EndMarkerScale);
    for (const EndMarkerLayout& end : cumulative.ends) {
        DrawEndMarker(writer, end, run.EndMarkerScale);
    }
}

}  // namespace

void DrawDimensionRun(const DimensionRun& run, const RidEdaza::DrawingState& state,
                      RidEdaza::CommandWriter& writer)
{
    WriteHostAttributes(writer, state);
    for (const PointLayout& point : run.points) WriteExtension(writer, point.extension);
    if (run.arrangement == DimensionArrangement::Cumulative) {
        WriteCumulative(run, writer);
    } else {
        for (const IntervalLayout& line : run.intervals) WriteSegmentAndText(run, line, writer);
        for (const IntervalLayout& line : run.intervals) WriteEndMarkers(run, line, writer);
    }
    if (run.overall.present) {
        for (const ExtensionSegment& extension : run.overall.extensions) {
            WriteExtension(writer, extension);
        }
        WriteSegmentAndText(run, run.overall.line, writer);
        WriteEndMarkers(run, run.overall.line, writer);
    }

    // The host's current text kind is in force again after the run.
    const RidEdaza::TextKind& free = state.initialFreeText;
    RidEdaza::OutTextKind(writer, state.initialTextKind, free.colour, kAsGiven, free.width,
                          free.height, free.spacing);
}

}  // namespace Dimension
