#include "dimension/layout.hpp"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "common/trig.hpp"
#include "dimension/layout_internal.hpp"

namespace Dimension {
namespace {

constexpr long double kSqrt2 = 1.41421356237309504880168872420969808L;

// The paper-mm extent of a slash or wave marker at size 1; the slash drawn at narrow points is
// scaled by it.
constexpr long double kDiagonalExtent = 1.25L * kSqrt2;

struct MarkerExtentRow {
    long double along;
    long double across;
};

// Paper-mm extents at EndMarkerScale 1, by the marker lists' item index. Item 0, the line arrow,
// is sized by MarkerLength and MarkerAngle instead.
constexpr std::array<MarkerExtentRow, 12> kMarkerExtents{{
    {0.0L, 0.0L},                        // line arrow
    {7.5L, 1.25L},                       // triangle
    {1.25L, 1.25L},                      // square
    {1.25L, 1.25L},                      // letter O
    {1.25L, 1.25L},                      // circle
    {1.25L, 1.25L},                      // filled square
    {7.5L, 1.25L},                       // filled triangle
    {1.25L, 1.25L},                      // filled circle
    {kDiagonalExtent, kDiagonalExtent},  // wave
    {7.5L, 1.25L},                       // open arrow head
    {kDiagonalExtent, kDiagonalExtent},  // slash
    {7.5L, 1.25L},                       // triangle, second kind
}};

RunStyle StyleOf(const DimensionSettings& settings, const RidEdaza::DrawingState& state,
                 const RunTurns& turns, double textAngle)
{
    RunStyle style;
    const MarkerExtent start = MarkerExtentOf(settings.StartMarker, settings);
    const MarkerExtent end = MarkerExtentOf(settings.EndMarker, settings);
    style.StartAlong = start.along;
    style.StartAcross = start.across;
    style.EndAlong = end.along;
    style.EndAcross = end.across;
    style.SlashScale =
        Store(static_cast<long double>(std::min(style.StartAcross, style.EndAcross)) /
              (kDiagonalExtent * settings.CurrentScale));
    style.EndMarkerScale = settings.EndMarkerScale;
    style.narrowMarker =
        settings.NarrowMarker == 0 ? NarrowMarkerKind::Slash : NarrowMarkerKind::Dot;
    style.dimensionFigures = settings.DimensionFigure;
    style.TextStyle = ValueTextStyleOf(settings.ValueTextKind, state);
    style.TextAngle = textAngle;
    style.TextDirection = {Store(10.0L * turns.text.c), Store(10.0L * turns.text.s)};
    return style;
}

// A kept point lies below when the height point's level is at or above it in the value texts'
// frame; the side where most of them lie is measured (a tie counts as below), the other one is
// outward.
RunSides SidesOf(const std::vector<KeptPoint>& kept, const HeightPoint& heightPoint,
                 const RunTurns& turns)
{
    const DrawingPoint h1 = Turned(heightPoint.X, heightPoint.Y, turns.axis);
    const DrawingPoint h2 = Turned(h1.X, h1.Y, turns.untext);
    std::size_t below = 0;
    for (const KeptPoint& point : kept) {
        const DrawingPoint m1 = Turned(point.X, point.Y, turns.axis);
        const DrawingPoint m2 = Turned(m1.X, m1.Y, turns.untext);
        if (h2.Y >= m2.Y) ++below;
    }
    RunSides sides;
    // cos(DimensionAngle - TextAngle): +1 or -1, as the text angle is the dimension angle or
    // the dimension angle turned half round.
    sides.textsTurned = turns.axis.c * turns.text.c + turns.axis.s * turns.text.s < 0.0L;
    const long double inTextFrame = 2 * below >= kept.size() ? 1.0L : -1.0L;
    sides.outward = sides.textsTurned ? -inTextFrame : inTextFrame;
    return sides;
}

// Lays out the arrangement of row I in the alternative of the same index: ComboBox6's index
// picks the row, the alternative's type picks its file's layout.
template <std::size_t I>
void LayOutArrangement(std::vector<KeptPoint> kept, const MeasurePointList& points,
                       const HeightPoint& heightPoint, const DimensionSettings& settings,
                       const RidEdaza::DrawingState& state, DimensionRun& run)
{
    using Part = std::variant_alternative_t<I, ArrangementLayout>;
    RunFrame frame = FrameOf(std::move(kept), points, heightPoint, settings, state,
                             Part::kNeedsSides);
    LayOut(frame, run.arrangement.emplace<I>());
    run.style = frame.style;
    run.points = std::move(frame.kept);
}

using LayOutFunction = void (*)(std::vector<KeptPoint>, const MeasurePointList&,
                                const HeightPoint&, const DimensionSettings&,
                                const RidEdaza::DrawingState&, DimensionRun&);

template <std::size_t... I>
constexpr std::array<LayOutFunction, sizeof...(I)> LayOutFunctions(std::index_sequence<I...>)
{
    return {&LayOutArrangement<I>...};
}

constexpr auto kLayOuts =
    LayOutFunctions(std::make_index_sequence<std::variant_size_v<ArrangementLayout>>());

}  // namespace

std::vector<KeptPoint> KeptPointsOf(const MeasurePointList& points)
{
    std::vector<KeptPoint> kept;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const MeasurePoint& point = points[i];
        if (point.Kept != 0) kept.push_back({point.X, point.Y, static_cast<std::int32_t>(i)});
    }
    return kept;
}

RunFrame FrameOf(std::vector<KeptPoint> kept, const MeasurePointList& points,
                 const HeightPoint& heightPoint, const DimensionSettings& settings,
                 const RidEdaza::DrawingState& state, bool findSides)
{
    const double textAngle = TextAngleOf(settings.DimensionAngle);
    const RunTurns turns{MyFunc::RotationOfDeg(settings.DimensionAngle),
                         MyFunc::RotationOfDeg(textAngle), MyFunc::RotationOfDeg(-textAngle)};
    const RunStyle style = StyleOf(settings, state, turns, textAngle);
    const long double H =
        Store(static_cast<long double>(style.TextStyle.height) * settings.CurrentScale);
    const long double g = settings.ValueGap;
    const long double o = settings.ExtensionOvershoot;
    const long double m = std::max(style.StartAcross, style.EndAcross);
    RunSides sides;
    if (findSides) sides = SidesOf(kept, heightPoint, turns);
    return RunFrame{.kept = std::move(kept),
                    .height = heightPoint,
                    .listStartX = points.front().X,
                    .settings = settings,
                    .turns = turns,
                    .style = style,
                    .sides = sides,
                    .H = H,
                    .g = g,
                    .beside = Abs(g),
                    .o = o,
                    .m = m,
                    .pitch = std::max({2.0L * H, H + 2.0L * Abs(g), 2.0L * o, H + Abs(g) + m,
                                       2.0L * m}),
                    .options = ValueOptionsOf(settings)};
}

ValueOptions ValueOptionsOf(const DimensionSettings& settings)
{
    ValueOptions options;
    options.precision = settings.Precision;
    options.rounding = settings.Rounding;
    options.showTrailingZeros = settings.ShowTrailingZeros;
    options.unit = settings.ValueUnit;
    options.thousandsCommas = settings.ThousandsCommas;
    options.appendUnit = settings.AppendUnit;
    options.fullWidth = settings.FullWidthValue;
    options.prefix = settings.Prefix;
    options.suffix = settings.Suffix;
    return options;
}

ValueTextStyle ValueTextStyleOf(std::int32_t valueTextKind, const RidEdaza::DrawingState& state)
{
    // The list offers 1..10 and entry 0 for the host's current kind. Any other index (from the
    // command line) would read past the table: it takes the host's current kind, which is also
    // what the text-kind writer falls back to for a kind it does not know.
    std::int32_t kind = valueTextKind;
    if (kind < 1 || kind > 10) {
        kind = state.initialTextKind;
        if (kind == 0) {
            const RidEdaza::TextKind& free = state.initialFreeText;
            return {0, free.width, free.height, free.spacing, free.colour};
        }
        if (kind < 1 || kind > 10) kind = 1;
    }
    const RidEdaza::TextKind& entry = state.textKinds[static_cast<std::size_t>(kind - 1)];
    return {kind, entry.width, entry.height, entry.spacing, entry.colour};
}

MarkerExtent MarkerExtentOf(std::int32_t marker, const DimensionSettings& settings)
{
    const long double s = settings.CurrentScale;
    if (!IsMarkerPointKind(marker)) {
        const double theta = MyFunc::DegreesToRadians(settings.MarkerAngle);
        const long double length = settings.MarkerLength;
        return {Store(length * MyFunc::Cos(theta) * s), Store(length * MyFunc::Sin(theta) * s)};
    }
    const MarkerExtentRow& row = kMarkerExtents[static_cast<std::size_t>(marker)];
    const long double factor = settings.EndMarkerScale;
    return {Store(row.along * factor * s), Store(row.across * factor * s)};
}

RunCounts CountsOf(const DimensionRun& run)
{
    return std::visit([](const auto& part) { return CountsOf(part); }, run.arrangement);
}

DimensionArrangement ArrangementOf(const DimensionRun& run)
{
    return static_cast<DimensionArrangement>(run.arrangement.index());
}

bool LayoutDimensionRun(const MeasurePointList& points, const HeightPoint& heightPoint,
                        const DimensionSettings& settings, const RidEdaza::DrawingState& state,
                        DimensionRun& run)
{
    run = DimensionRun{};
    std::vector<KeptPoint> kept = KeptPointsOf(points);
    if (kept.size() < 2) return false;
    const auto row = static_cast<std::size_t>(ArrangementOf(settings));
    kLayOuts[row](std::move(kept), points, heightPoint, settings, state, run);
    return true;
}

}  // namespace Dimension
