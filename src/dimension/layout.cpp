#include "dimension/layout.hpp"

#include <algorithm>
#include <array>

#include "common/geometry.hpp"
#include "common/trig.hpp"

namespace Dimension {
namespace {

double Store(long double v) { return static_cast<double>(v); }

long double Abs(long double v) { return v < 0.0L ? -v : v; }

constexpr long double kSqrt2 = 1.41421356237309504880168872420969808L;

// The paper-mm extent of a slash or wave marker at size 1; the slash drawn at narrow points is
// scaled by it.
constexpr long double kDiagonalExtent = 1.25L * kSqrt2;

// Every row starts far left of the run (in paper mm), so an untouched row is always free.
constexpr long double kRowStartOffset = 1000000.0L;

// Above this the value text would read upside down and is turned half round.
constexpr long double kUprightLimit = 90.00000001L;

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

double TextAngleOf(double axisAngle)
{
    double a = MyFunc::NormalizeDegrees(axisAngle);
    if (a >= 180.0) a = Store(static_cast<long double>(a) - 180.0L);
    if (a > kUprightLimit) a = Store(static_cast<long double>(a) + 180.0L);
    return a;
}

DrawingPoint Turned(double x, double y, double angleDeg)
{
    DrawingPoint p;
    MyFunc::RotatePointDeg(x, y, 0.0, 0.0, angleDeg, p.X, p.Y);
    return p;
}

DrawingPoint Plus(const DrawingPoint& a, const DrawingPoint& b)
{
    return {Store(static_cast<long double>(a.X) + b.X), Store(static_cast<long double>(a.Y) + b.Y)};
}

// Places the texts that do not fit over their intervals in the first row that is free at their
// left end.
void PlaceTextRows(const MeasurePointList& points, const ValueOptions& options,
                   double currentScale, DimensionRun& run)
{
    const ValueTextStyle& style = run.TextStyle;
    const long double rowGap = (static_cast<long double>(style.width) + style.spacing) * currentScale;
    for (std::size_t k = 0; k < run.Interval.size(); ++k) {
        const double interval = run.Interval[k];
        const IntervalText text = IntervalTextOf(interval, options, style, currentScale);
        if (!text.present || interval >= text.width) continue;

        const double x = points[static_cast<std::size_t>(run.KeptIndex[k])].X;
        const double left = Store(static_cast<long double>(x) + static_cast<long double>(interval) / 2.0L -
                                  static_cast<long double>(text.width) / 2.0L);
        run.TextLevel[k] = 1;  // kept when no row is free (a text of millions of paper mm)
        for (std::size_t r = 0; r < run.RowEnd.size(); ++r) {
            if (run.RowEnd[r] < left) {
                run.TextLevel[k] = static_cast<std::int32_t>(r + 1);
                run.RowEnd[r] = Store(static_cast<long double>(left) + text.width + rowGap);
                break;
            }
        }
    }
}

}  // namespace

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
    if (marker < 1 || marker > 11) {
        const double theta = MyFunc::DegreesToRadians(settings.MarkerAngle);
        const long double length = settings.MarkerLength;
        return {Store(length * MyFunc::Cos(theta) * s), Store(length * MyFunc::Sin(theta) * s)};
    }
    const MarkerExtentRow& row = kMarkerExtents[static_cast<std::size_t>(marker)];
    const long double factor = settings.EndMarkerScale;
    return {Store(row.along * factor * s), Store(row.across * factor * s)};
}

bool IsWideInterval(const DimensionRun& run, std::size_t k)
{
    return static_cast<long double>(run.StartAlong) + run.EndAlong < run.Interval[k];
}

IntervalText IntervalTextOf(double interval, const ValueOptions& options,
                            const ValueTextStyle& style, double currentScale)
{
    IntervalText result;
    if (PlainValueText(interval, options) == "0") return result;
    result.present = true;
    result.text = FormatDimensionValue(interval, options);
    const double paperWidth = MyFunc::MeasureTextWidth(result.text, style.width, style.spacing);
    result.width = Store(static_cast<long double>(paperWidth) * currentScale);
    return result;
}

bool LayoutDimensionRun(const MeasurePointList& points, const HeightPoint& heightPoint,
                        const DimensionSettings& settings, const RidEdaza::DrawingState& state,
                        DimensionRun& run)
{
    (void)heightPoint;  // the rows and extents do not depend on the line's level
    run = DimensionRun{};
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (points[i].Kept != 0) run.KeptIndex.push_back(static_cast<std::int32_t>(i));
    }
    if (run.KeptIndex.size() < 2) {
        run = DimensionRun{};
        return false;
    }

    const double s = settings.CurrentScale;
    const MarkerExtent start = MarkerExtentOf(settings.StartMarker, settings);
    const MarkerExtent end = MarkerExtentOf(settings.EndMarker, settings);
    run.StartAlong = start.along;
    run.StartAcross = start.across;
    run.EndAlong = end.along;
    run.EndAcross = end.across;
    run.SlashScale = Store(static_cast<long double>(std::min(run.StartAcross, run.EndAcross)) /
                           (kDiagonalExtent * s));
    run.TextStyle = ValueTextStyleOf(settings.ValueTextKind, state);

    const std::size_t n = run.KeptIndex.size();
    const double rowStart = Store(static_cast<long double>(points.front().X) - kRowStartOffset * s);
    for (std::size_t k = 1; k < n; ++k) {
        const double x = points[static_cast<std::size_t>(run.KeptIndex[k])].X;
        const double previous = points[static_cast<std::size_t>(run.KeptIndex[k - 1])].X;
        run.Interval.push_back(Store(Abs(static_cast<long double>(x) - previous)));
        run.RowEnd.push_back(rowStart);
        run.TextLevel.push_back(0);
    }
    run.WideNeighbour.assign(n, false);

    PlaceTextRows(points, ValueOptionsOf(settings), s, run);

    for (std::size_t k = 0; k + 1 < n; ++k) {
        if (IsWideInterval(run, k)) {
            run.WideNeighbour[k] = true;
            run.WideNeighbour[k + 1] = true;
        }
    }
    run.TextAngle = TextAngleOf(state.axisAngle);
    return true;
}

IntervalSegment SegmentEnds(const DimensionRun& run, std::size_t k,
                            const MeasurePointList& points, const HeightPoint& heightPoint,
                            double axisAngle)
{
    const double ax = points[static_cast<std::size_t>(run.KeptIndex[k])].X;
    const double bx = Store(static_cast<long double>(ax) + run.Interval[k]);
    IntervalSegment segment;
    segment.N = Turned(ax, heightPoint.Y, axisAngle);
    segment.P = Turned(bx, heightPoint.Y, axisAngle);
    segment.M = {Store((static_cast<long double>(segment.N.X) + segment.P.X) / 2.0L),
                 Store((static_cast<long double>(segment.N.Y) + segment.P.Y) / 2.0L)};
    return segment;
}

ExtensionSegment ExtensionLine(const MeasurePoint& point, const HeightPoint& heightPoint,
                               const DimensionSettings& settings, double axisAngle)
{
    const long double h = heightPoint.Y;
    const long double y = point.Y;
    ExtensionSegment line;
    if (Abs(h - y) - settings.ExtensionGap <= MyFunc::kTolerance) return line;

    double startY = 0.0;
    double endY = 0.0;
    if (h >= y) {
        startY = Store(y + settings.ExtensionGap);
        endY = Store(h + settings.ExtensionOvershoot);
    } else {
        startY = Store(y - settings.ExtensionGap);
        endY = Store(h - settings.ExtensionOvershoot);
    }
    line.present = true;
    line.start = Turned(point.X, startY, axisAngle);
    line.end = Turned(point.X, endY, axisAngle);
    return line;
}

TextPlacement TextAnchor(const DimensionRun& run, std::size_t k, double textWidth,
                         const MeasurePointList& points, const HeightPoint& heightPoint,
                         const DimensionSettings& settings, double axisAngle)
{
    const IntervalSegment segment = SegmentEnds(run, k, points, heightPoint, axisAngle);
    const std::int32_t level = run.TextLevel[k];
    const double angle = run.TextAngle;
    const long double g = settings.ValueGap;

    const double offsetX = Store(-static_cast<long double>(textWidth) / 2.0L);
    double offsetY = settings.ValueGap;
    TextPlacement placement;
    if (level >= 1) {
        // Seen in the texts' own upright frame: rows stack away from the measured points, so a
        // staggered text never lands among the extension lines.
        const double height = Store(static_cast<long double>(run.TextStyle.height) *
                                    settings.CurrentScale);
        const long double step = static_cast<long double>(height) + g;
        const MeasurePoint& measured = points[static_cast<std::size_t>(run.KeptIndex[k])];
        const DrawingPoint h1 = Turned(heightPoint.X, heightPoint.Y, axisAngle);
        const DrawingPoint h2 = Turned(h1.X, h1.Y, -angle);
        const DrawingPoint m1 = Turned(measured.X, measured.Y, axisAngle);
        const DrawingPoint m2 = Turned(m1.X, m1.Y, -angle);
        const long double r = level;
        if (h2.Y >= m2.Y) {
            offsetY = Store(g + r * step);
            placement.leaderLength = Store(r * step);
        } else {
            offsetY = Store(-(r + 1.0L) * step);
            placement.leaderLength = Store(-r * step);
        }
    }

    placement.anchor = Plus(segment.M, Turned(offsetX, offsetY, angle));
    const double radians = MyFunc::DegreesToRadians(angle);
    placement.direction = {Store(10.0L * MyFunc::Cos(radians)), Store(10.0L * MyFunc::Sin(radians))};
    placement.leaderEnd = level >= 1 ? Plus(segment.M, Turned(0.0, placement.leaderLength, angle))
                                     : segment.M;
    return placement;
}

}  // namespace Dimension
