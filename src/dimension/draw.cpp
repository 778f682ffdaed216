#include "dimension/draw.hpp"

#include <cstddef>
#include <cstdint>

#include "common/geometry.hpp"
#include "common/trig.hpp"
#include "dimension/value_text.hpp"

namespace Dimension {
namespace {

using RidEdaza::CommandWriter;
using RidEdaza::kZ3Mark;

// Every colour and line type the run writes comes from the exchange file: already the host's.
constexpr RidEdaza::NumberMapping kAsGiven = RidEdaza::NumberMapping::AsGiven;

double Store(long double v) { return static_cast<double>(v); }

// The text key "cs" of the value texts.
constexpr std::int32_t kValueTextKey = 2;

// The host's marker code of the slash drawn at narrow points.
constexpr std::int32_t kSlashMarkerCode = 10;

void MarkedLine(CommandWriter& writer, const DrawingPoint& a, const DrawingPoint& b)
{
    RidEdaza::OutZFlags(writer, kZ3Mark);
    RidEdaza::OutLine(writer, a.X, a.Y, b.X, b.Y);
}

// Direction in degrees of the vector from `from` to `to`.
double DirectionDeg(const DrawingPoint& from, const DrawingPoint& to)
{
    return MyFunc::VectorAngleDeg(Store(static_cast<long double>(to.X) - from.X),
                                  Store(static_cast<long double>(to.Y) - from.Y));
}

// The normal end marker at `tip`, q pointing out of the interval. A line arrow's barbs open back
// into the interval; the other kinds are host marker points with the list's index as their code.
// An index the lists do not offer is sized as a line arrow by the layout, so it is drawn as one.
void DrawEndMarker(CommandWriter& writer, std::int32_t marker, const DrawingPoint& tip, double q,
                   const DimensionSettings& settings)
{
    if (marker >= 1 && marker <= 11) {
        RidEdaza::OutZFlags(writer, kZ3Mark);
        RidEdaza::OutMarkerPoint(writer, marker, tip.X, tip.Y, settings.EndMarkerScale, q);
        return;
    }
    const long double back = static_cast<long double>(q) + 180.0L;
    const double barbs[2] = {Store(back + settings.MarkerAngle), Store(back - settings.MarkerAngle)};
    for (const double phi : barbs) {
        const double radians = MyFunc::DegreesToRadians(phi);
        const long double length = static_cast<long double>(settings.MarkerLength) * settings.CurrentScale;
        const double dx = Store(length * MyFunc::Cos(radians));
        const double dy = Store(length * MyFunc::Sin(radians));
        const DrawingPoint end{Store(static_cast<long double>(tip.X) + dx),
                               Store(static_cast<long double>(tip.Y) + dy)};
        MarkedLine(writer, tip, end);
    }
}

// The marker of a point that no wide interval gives a normal marker: a slash sized to the
// smaller of the chosen markers, or a plain dot.
void DrawNarrowMarker(CommandWriter& writer, const DimensionRun& run, const DrawingPoint& at,
                      double q, const DimensionSettings& settings)
{
    RidEdaza::OutZFlags(writer, kZ3Mark);
    if (settings.NarrowMarker == 0) {
        RidEdaza::OutMarkerPoint(writer, kSlashMarkerCode, at.X, at.Y, run.SlashScale, q);
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

void WriteSegmentsAndTexts(const DimensionRun& run, const MeasurePointList& points,
                           const HeightPoint& heightPoint, const DimensionSettings& settings,
                           double axisAngle, CommandWriter& writer)
{
    const ValueOptions options = ValueOptionsOf(settings);
    const ValueTextStyle& style = run.TextStyle;
    for (std::size_t k = 0; k < run.Interval.size(); ++k) {
        const IntervalSegment segment = SegmentEnds(run, k, points, heightPoint, axisAngle);
        const IntervalText text =
            IntervalTextOf(run.Interval[k], options, style, settings.CurrentScale);
        if (!text.present) {
            MarkedLine(writer, segment.N, segment.P);
            continue;
        }
        const TextPlacement place =
            TextAnchor(run, k, text.width, points, heightPoint, settings, axisAngle);
        if (!settings.DimensionFigure) {
            MarkedLine(writer, segment.N, segment.P);
            RidEdaza::OutTextKind(writer, style.kind, style.colour, kAsGiven, style.width,
                                  style.height, style.spacing);
            RidEdaza::OutCcValue(writer, 0);
            RidEdaza::OutZFlags(writer, kZ3Mark);
            RidEdaza::OutText(writer, kValueTextKey, text.text, place.anchor.X, place.anchor.Y,
                              place.direction.X, place.direction.Y);
        } else {
            RidEdaza::OutTextKind(writer, style.kind, style.colour, kAsGiven, style.width,
                                  style.height, style.spacing);
            RidEdaza::OutDimensionFigure(writer, text.text, segment.N.X, segment.N.Y,
                                         segment.P.X, segment.P.Y, place.anchor.X,
                                         place.anchor.Y, place.direction.X, place.direction.Y);
        }
        if (run.TextLevel[k] >= 1) MarkedLine(writer, segment.M, place.leaderEnd);
    }
}

void WriteEndMarkers(const DimensionRun& run, const MeasurePointList& points,
                     const HeightPoint& heightPoint, const DimensionSettings& settings,
                     double axisAngle, CommandWriter& writer)
{
    const std::size_t w = run.Interval.size();
    for (std::size_t k = 0; k < w; ++k) {
        const IntervalSegment segment = SegmentEnds(run, k, points, heightPoint, axisAngle);
        if (IsWideInterval(run, k)) {
            DrawEndMarker(writer, settings.StartMarker, segment.N,
                          DirectionDeg(segment.P, segment.N), settings);
            DrawEndMarker(writer, settings.EndMarker, segment.P,
                          DirectionDeg(segment.N, segment.P), settings);
            continue;
        }
        // Both narrow markers of an interval point along it, from N towards P.
        const double q = DirectionDeg(segment.N, segment.P);
        if (!run.WideNeighbour[k]) DrawNarrowMarker(writer, run, segment.N, q, settings);
        if (k + 1 == w && !run.WideNeighbour[w]) {
            DrawNarrowMarker(writer, run, segment.P, q, settings);
        }
    }
}

}  // namespace

void DrawDimensionRun(const DimensionRun& run, const MeasurePointList& points,
                      const HeightPoint& heightPoint, const DimensionSettings& settings,
                      const RidEdaza::DrawingState& state, RidEdaza::CommandWriter& writer)
{
    const double axisAngle = state.axisAngle;
    WriteHostAttributes(writer, state);

    for (const std::int32_t index : run.KeptIndex) {
        const ExtensionSegment line = ExtensionLine(points[static_cast<std::size_t>(index)],
                                                    heightPoint, settings, axisAngle);
        if (line.present) MarkedLine(writer, line.start, line.end);
    }

    WriteSegmentsAndTexts(run, points, heightPoint, settings, axisAngle, writer);
    WriteEndMarkers(run, points, heightPoint, settings, axisAngle, writer);

    // The host's current text kind is in force again after the run.
    const RidEdaza::TextKind& free = state.initialFreeText;
    RidEdaza::OutTextKind(writer, state.initialTextKind, free.colour, kAsGiven, free.width,
                          free.height, free.spacing);
}

}  // namespace Dimension
