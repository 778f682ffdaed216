#include "dimension/layout.hpp"

#include <algorithm>
#include <bit>
#include <utility>

#include "common/geometry.hpp"
#include "common/trig.hpp"

namespace Dimension {
namespace {

using MyFunc::Rotation;

double Store(long double v) { return static_cast<double>(v); }

long double Abs(long double v) { return v < 0.0L ? -v : v; }

constexpr long double kSqrt2 = 1.41421356237309504880168872420969808L;

// The paper-mm extent of a slash or wave marker at size 1; the slash drawn at narrow points is
// scaled by it.
constexpr long double kDiagonalExtent = 1.25L * kSqrt2;

// Every row starts far left of the run (in paper mm), so an untouched row is always free.
constexpr long double kRowStartOffset = 1000000.0L;

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

bool IsMarkerPointKind(std::int32_t marker) { return marker >= 1 && marker <= 11; }

// The turns of one run, each taken once.
struct RunTurns {
    Rotation axis;    // dimension frame -> drawing coordinates
    Rotation text;    // a text's own upright frame -> drawing coordinates
    Rotation untext;  // drawing coordinates -> a text's own frame
};

DrawingPoint Turned(double x, double y, const Rotation& turn)
{
    DrawingPoint p;
    MyFunc::RotatePoint(x, y, 0.0, 0.0, turn, p.X, p.Y);
    return p;
}

DrawingPoint Plus(const DrawingPoint& a, const DrawingPoint& b)
{
    return {Store(static_cast<long double>(a.X) + b.X), Store(static_cast<long double>(a.Y) + b.Y)};
}

// Direction in degrees of the vector from `from` to `to`.
double DirectionDeg(const DrawingPoint& from, const DrawingPoint& to)
{
    return MyFunc::VectorAngleDeg(Store(static_cast<long double>(to.X) - from.X),
                                  Store(static_cast<long double>(to.Y) - from.Y));
}

// The sines and cosines of the barb angles. A run has few distinct ones (two per direction of
// its dimension line), so each is taken once; a run whose directions scatter keeps only the
// latest few.
struct BarbTurns {
    struct Entry {
        std::uint64_t degreesBits;
        Rotation turn;
    };
    static constexpr std::size_t kMostKept = 16;
    std::vector<Entry> entries;
};

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

// A normal end marker at `tip`, q pointing out of the interval. A line arrow's barbs open back
// into the interval: at q + 180 + theta and q + 180 - theta, each L (paper mm) long.
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

// The value text of an interval and its width in drawing units; none when the plain value text
// is "0".
bool IntervalText(double interval, const ValueOptions& options, const ValueTextStyle& style,
                  double currentScale, ValueTextLayout& text)
{
    if (PlainValueText(interval, options) == "0") return false;
    text.text = FormatDimensionValue(interval, options);
    const double paperWidth = MyFunc::MeasureTextWidth(text.text, style.width, style.spacing);
    text.width = Store(static_cast<long double>(paperWidth) * currentScale);
    return true;
}

// The intervals' lengths and value texts, and the rows of the texts that do not fit over their
// intervals: each goes to the first row that is free at its left end.
void PlaceIntervalsAndTexts(const MeasurePointList& points, const DimensionSettings& settings,
                            DimensionRun& run)
{
    const double s = settings.CurrentScale;
    const ValueOptions options = ValueOptionsOf(settings);
    const ValueTextStyle& style = run.TextStyle;
    const long double rowGap = (static_cast<long double>(style.width) + style.spacing) * s;
    const std::size_t w = run.points.size() - 1;
    // The X up to which row r + 1 is taken.
    std::vector<double> rowEnd(w, Store(static_cast<long double>(points.front().X) -
                                        kRowStartOffset * s));
    run.intervals.resize(w);
    for (std::size_t k = 0; k < w; ++k) {
        IntervalLayout& interval = run.intervals[k];
        const double x = points[static_cast<std::size_t>(run.points[k].index)].X;
        const double next = points[static_cast<std::size_t>(run.points[k + 1].index)].X;
        interval.length = Store(Abs(static_cast<long double>(next) - x));

        ValueTextLayout text;
        if (!IntervalText(interval.length, options, style, s, text)) continue;
        interval.text = static_cast<std::int32_t>(run.texts.size());
        const bool fits = interval.length >= text.width;
        const double left = Store(static_cast<long double>(x) +
                                  static_cast<long double>(interval.length) / 2.0L -
                                  static_cast<long double>(text.width) / 2.0L);
        run.texts.push_back(std::move(text));
        if (fits) continue;

        interval.row = 1;  // kept when no row is free (a text of millions of paper mm)
        for (std::size_t r = 0; r < w; ++r) {
            if (rowEnd[r] < left) {
                interval.row = static_cast<std::int32_t>(r + 1);
                rowEnd[r] = Store(static_cast<long double>(left) + run.texts.back().width + rowGap);
                break;
            }
        }
    }
}

// Where a value text goes: centred over its interval at the value gap, or in its staggered row,
// which stacks away from the measured point as seen in the texts' own upright frame, so that a
// staggered text never lands among the extension lines. The leader ends one gap short of it.
void PlaceText(const IntervalLayout& interval, const MeasurePoint& measured,
               const DrawingPoint& heightInTextFrame, const DimensionSettings& settings,
               const DimensionRun& run, const RunTurns& turns, ValueTextLayout& text)
{
    const long double g = settings.ValueGap;
    const double offsetX = Store(-static_cast<long double>(text.width) / 2.0L);
    double offsetY = settings.ValueGap;
    double leaderLength = 0.0;
    if (interval.row >= 1) {
        const double height = Store(static_cast<long double>(run.TextStyle.height) *
                                    settings.CurrentScale);
        const long double step = static_cast<long double>(height) + g;
        const DrawingPoint m1 = Turned(measured.X, measured.Y, turns.axis);
        const DrawingPoint m2 = Turned(m1.X, m1.Y, turns.untext);
        const long double r = interval.row;
        if (heightInTextFrame.Y >= m2.Y) {
            offsetY = Store(g + r * step);
            leaderLength = Store(r * step);
        } else {
            offsetY = Store(-(r + 1.0L) * step);
            leaderLength = Store(-r * step);
        }
    }
    text.anchor = Plus(interval.M, Turned(offsetX, offsetY, turns.text));
    text.leaderEnd = interval.row >= 1 ? Plus(interval.M, Turned(0.0, leaderLength, turns.text))
                                       : interval.M;
}

// The segments on the dimension line, their directions, texts and markers.
void PlaceSegmentsAndMarkers(const MeasurePointList& points, const HeightPoint& heightPoint,
                             const DimensionSettings& settings, const RunTurns& turns,
                             DimensionRun& run)
{
    const DrawingPoint h1 = Turned(heightPoint.X, heightPoint.Y, turns.axis);
    const DrawingPoint heightInTextFrame = Turned(h1.X, h1.Y, turns.untext);
    BarbTurns barbTurns;
    const std::size_t w = run.intervals.size();
    for (std::size_t k = 0; k < w; ++k) {
        IntervalLayout& interval = run.intervals[k];
        const MeasurePoint& measured = points[static_cast<std::size_t>(run.points[k].index)];
        const double bx = Store(static_cast<long double>(measured.X) + interval.length);
        interval.N = Turned(measured.X, heightPoint.Y, turns.axis);
        interval.P = Turned(bx, heightPoint.Y, turns.axis);
        interval.M = {Store((static_cast<long double>(interval.N.X) + interval.P.X) / 2.0L),
                      Store((static_cast<long double>(interval.N.Y) + interval.P.Y) / 2.0L)};
        interval.direction = DirectionDeg(interval.N, interval.P);
        if (interval.text >= 0) {
            PlaceText(interval, measured, heightInTextFrame, settings, run, turns,
                      run.texts[static_cast<std::size_t>(interval.text)]);
        }
        if (static_cast<long double>(run.StartAlong) + run.EndAlong < interval.length) {
            interval.ends = static_cast<std::int32_t>(run.ends.size());
            run.ends.push_back({EndMarkerAt(settings.StartMarker, interval.N,
                                            DirectionDeg(interval.P, interval.N), settings,
                                            barbTurns),
                                EndMarkerAt(settings.EndMarker, interval.P, interval.direction,
                                            settings, barbTurns)});
        } else {
            interval.narrowMarkerAtN = !run.points[k].wideNeighbour;
            interval.narrowMarkerAtP = k + 1 == w && !run.points[w].wideNeighbour;
        }
    }
}

ExtensionSegment ExtensionLineOf(const MeasurePoint& point, const HeightPoint& heightPoint,
                                 const DimensionSettings& settings, const Rotation& axis)
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
    line.start = Turned(point.X, startY, axis);
    line.end = Turned(point.X, endY, axis);
    return line;
}

void SetMarkerExtents(const DimensionSettings& settings, DimensionRun& run)
{
    const MarkerExtent start = MarkerExtentOf(settings.StartMarker, settings);
    const MarkerExtent end = MarkerExtentOf(settings.EndMarker, settings);
    run.StartAlong = start.along;
    run.StartAcross = start.across;
    run.EndAlong = end.along;
    run.EndAcross = end.across;
    run.SlashScale = Store(static_cast<long double>(std::min(run.StartAcross, run.EndAcross)) /
                           (kDiagonalExtent * settings.CurrentScale));
    run.EndMarkerScale = settings.EndMarkerScale;
    run.narrowMarker =
        settings.NarrowMarker == 0 ? NarrowMarkerKind::Slash : NarrowMarkerKind::Dot;
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
    if (!IsMarkerPointKind(marker)) {
        const double theta = MyFunc::DegreesToRadians(settings.MarkerAngle);
        const long double length = settings.MarkerLength;
        return {Store(length * MyFunc::Cos(theta) * s), Store(length * MyFunc::Sin(theta) * s)};
    }
    const MarkerExtentRow& row = kMarkerExtents[static_cast<std::size_t>(marker)];
    const long double factor = settings.EndMarkerScale;
    return {Store(row.along * factor * s), Store(row.across * factor * s)};
}

bool LayoutDimensionRun(const MeasurePointList& points, const HeightPoint& heightPoint,
                        const DimensionSettings& settings, const RidEdaza::DrawingState& state,
                        DimensionRun& run)
{
    run = DimensionRun{};
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (points[i].Kept != 0) run.points.push_back({static_cast<std::int32_t>(i), false, {}});
    }
    if (run.points.size() < 2) {
        run = DimensionRun{};
        return false;
    }

    SetMarkerExtents(settings, run);
    run.dimensionFigures = settings.DimensionFigure;
    run.TextStyle = ValueTextStyleOf(settings.ValueTextKind, state);
    run.TextAngle = TextAngleOf(settings.DimensionAngle);
    const RunTurns turns{MyFunc::RotationOfDeg(settings.DimensionAngle),
                         MyFunc::RotationOfDeg(run.TextAngle),
                         MyFunc::RotationOfDeg(-run.TextAngle)};
    run.TextDirection = {Store(10.0L * turns.text.c), Store(10.0L * turns.text.s)};

    PlaceIntervalsAndTexts(points, settings, run);
    for (std::size_t k = 0; k < run.intervals.size(); ++k) {
        if (static_cast<long double>(run.StartAlong) + run.EndAlong < run.intervals[k].length) {
            run.points[k].wideNeighbour = true;
            run.points[k + 1].wideNeighbour = true;
        }
    }
    PlaceSegmentsAndMarkers(points, heightPoint, settings, turns, run);
    for (PointLayout& point : run.points) {
        point.extension = ExtensionLineOf(points[static_cast<std::size_t>(point.index)],
                                          heightPoint, settings, turns.axis);
    }
    return true;
}

}  // namespace Dimension
