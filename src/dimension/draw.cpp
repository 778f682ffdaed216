#include "dimension/draw.hpp"

#include <cstddef>
#include <cstdint>
#include <variant>

#include "dimension/draw_internal.hpp"

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

// The marker of a point that no wide line gives a normal marker.
void DrawNarrowMarker(CommandWriter& writer, const RunStyle& style, const DrawingPoint& at,
                      double direction)
{
    RidEdaza::OutZFlags(writer, kZ3Mark);
    if (style.narrowMarker == NarrowMarkerKind::Slash) {
        RidEdaza::OutMarkerPoint(writer, kSlashMarkerCode, at.X, at.Y, style.SlashScale,
                                 direction);
    } else {
        RidEdaza::OutPoint(writer, at.X, at.Y);
    }
}

void WriteTextKind(const RunStyle& style, CommandWriter& writer)
{
    const ValueTextStyle& text = style.TextStyle;
    RidEdaza::OutTextKind(writer, text.kind, text.colour, kAsGiven, text.width, text.height,
                          text.spacing);
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

}  // namespace

void MarkedLine(CommandWriter& writer, const DrawingPoint& a, const DrawingPoint& b)
{
    RidEdaza::OutZFlags(writer, kZ3Mark);
    RidEdaza::OutLine(writer, a.X, a.Y, b.X, b.Y);
}

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

void WriteText(const RunStyle& style, const ValueTextLayout& text, const DrawingPoint& direction,
               CommandWriter& writer)
{
    WriteTextKind(style, writer);
    RidEdaza::OutCcValue(writer, 0);
    RidEdaza::OutZFlags(writer, kZ3Mark);
    RidEdaza::OutText(writer, kValueTextKey, text.text, text.anchor.X, text.anchor.Y,
                      direction.X, direction.Y);
}

void WriteSegmentAndText(const RunStyle& style, const SegmentLayout& segment,
                         const ValueTextLayout* text, bool leader, CommandWriter& writer)
{
    if (!text) {
        MarkedLine(writer, segment.N, segment.P);
        return;
    }
    const DrawingPoint& d = style.TextDirection;
    if (!style.dimensionFigures) {
        MarkedLine(writer, segment.N, segment.P);
        WriteText(style, *text, d, writer);
    } else {
        WriteTextKind(style, writer);
        RidEdaza::OutDimensionFigure(writer, text->text, segment.N.X, segment.N.Y, segment.P.X,
                                     segment.P.Y, text->anchor.X, text->anchor.Y, d.X, d.Y);
    }
    if (leader) MarkedLine(writer, segment.M, text->leaderEnd);
}

void WriteEndMarkers(const RunStyle& style, const SegmentLayout& segment,
                     const IntervalEnds* ends, bool narrowAtN, bool narrowAtP,
                     CommandWriter& writer)
{
    if (ends) {
        DrawEndMarker(writer, ends->start, style.EndMarkerScale);
        DrawEndMarker(writer, ends->end, style.EndMarkerScale);
        return;
    }
    // Both narrow markers of a line point along it, from N towards P.
    if (narrowAtN) DrawNarrowMarker(writer, style, segment.N, segment.direction);
    if (narrowAtP) DrawNarrowMarker(writer, style, segment.P, segment.direction);
}

void WriteLevelLine(const RunStyle& style, const LevelLineLayout& line, CommandWriter& writer)
{
    WriteSegmentAndText(style, line.segment, line.text ? &*line.text : nullptr, false, writer);
}

void WriteLevelLineMarkers(const RunStyle& style, const LevelLineLayout& line,
                           CommandWriter& writer)
{
    WriteEndMarkers(style, line.segment, line.ends ? &*line.ends : nullptr, true, true, writer);
}

void WriteExtensionLines(std::span<const ExtensionLine> lines, CommandWriter& writer)
{
    for (const ExtensionLine& line : lines) MarkedLine(writer, line.start, line.end);
}

void DrawDimensionRun(const DimensionRun& run, const RidEdaza::DrawingState& state,
                      RidEdaza::CommandWriter& writer)
{
    DrawDimensionRunBody(run, state, writer);
    RestoreHostTextKind(state, writer);
}

void DrawDimensionRunBody(const DimensionRun& run, const RidEdaza::DrawingState& state,
                          RidEdaza::CommandWriter& writer)
{
    WriteHostAttributes(writer, state);
    std::visit([&](const auto& part) { Draw(run.style, part, writer); }, run.arrangement);
}

void RestoreHostTextKind(const RidEdaza::DrawingState& state, RidEdaza::CommandWriter& writer)
{
    const RidEdaza::TextKind& free = state.initialFreeText;
    RidEdaza::OutTextKind(writer, state.initialTextKind, free.colour, kAsGiven, free.width,
                          free.height, free.spacing);
}

}  // namespace Dimension
