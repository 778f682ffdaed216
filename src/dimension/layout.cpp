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

// A wide interval has room for both normal markers between its ends.
bool IsWide(const DimensionRun& run, double length)
{
    return static_cast<long double>(run.StartAlong) + run.EndAlong < length;
}

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
        if (IsWide(run, interval.length)) {
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

// An extension line in the dimension frame: from the gap beside the point at `y` to the overshoot
// beyond the dimension line at `level`; none when the point lies within the gap of the line.
struct ExtensionSpan {
    bool present = false;
    double startY = 0.0;
    double endY = 0.0;
};

ExtensionSpan ExtensionSpanTo(double pointY, double level, const DimensionSettings& settings)
{
    const long double h = level;
    const long double y = pointY;
    ExtensionSpan span;
    if (Abs(h - y) - settings.ExtensionGap <= MyFunc::kTolerance) return span;
    span.present = true;
    if (h >= y) {
        span.startY = Store(y + settings.ExtensionGap);
        span.endY = Store(h + settings.ExtensionOvershoot);
    } else {
        span.startY = Store(y - settings.ExtensionGap);
        span.endY = Store(h - settings.ExtensionOvershoot);
    }
    return span;
}

ExtensionSegment SegmentOf(double x, const ExtensionSpan& span, const Rotation& axis)
{
    ExtensionSegment line;
    if (!span.present) return line;
    line.present = true;
    line.start = Turned(x, span.startY, axis);
    line.end = Turned(x, span.endY, axis);
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

// The value text's height in drawing units, as the staggered rows use it.
long double TextHeightOf(const DimensionRun& run, const DimensionSettings& settings)
{
    return Store(static_cast<long double>(run.TextStyle.height) * settings.CurrentScale);
}

// The spacing of the lines that stand beside one another: room for a value text between two
// lines at the value gap, and for the extension lines' overshoot.
long double PitchOf(const DimensionRun& run, const DimensionSettings& settings)
{
    const long double height = TextHeightOf(run, settings);
    const long double gap = Abs(settings.ValueGap);
    const long double overshoot = settings.ExtensionOvershoot;
    return std::max({2.0L * height, height + 2.0L * gap, 2.0L * overshoot});
}

// The sides of a run whose dimensions stand beside one another, in the dimension frame.
struct RunSides {
    long double outward = 1.0L;  // +1 or -1 along Y: away from most kept points
    bool textsTurned = false;    // the value texts' frame is the dimension frame turned half round
};

// A kept point lies below when the height point's level is at or above it in the value texts'
// frame; the side where most of them lie is measured (a tie counts as below), the other one is
// outward.
RunSides SidesOf(const MeasurePointList& points, const HeightPoint& heightPoint,
                 const RunTurns& turns, const DimensionRun& run)
{
    const DrawingPoint h1 = Turned(heightPoint.X, heightPoint.Y, turns.axis);
    const DrawingPoint h2 = Turned(h1.X, h1.Y, turns.untext);
    std::size_t below = 0;
    for (const PointLayout& point : run.points) {
        const MeasurePoint& measured = points[static_cast<std::size_t>(point.index)];
        const DrawingPoint m1 = Turned(measured.X, measured.Y, turns.axis);
        const DrawingPoint m2 = Turned(m1.X, m1.Y, turns.untext);
        if (h2.Y >= m2.Y) ++below;
    }
    RunSides sides;
    // cos(DimensionAngle - TextAngle): +1 or -1, as the text angle is the dimension angle or
    // the dimension angle turned half round.
    sides.textsTurned = turns.axis.c * turns.text.c + turns.axis.s * turns.text.s < 0.0L;
    const long double inTextFrame = 2 * below >= run.points.size() ? 1.0L : -1.0L;
    sides.outward = sides.textsTurned ? -inTextFrame : inTextFrame;
    return sides;
}

// How far past the end of a line its end marker reaches along it.
long double EndReachOf(const DimensionRun& run, const IntervalLayout& line)
{
    if (line.ends >= 0) return run.EndAlong;
    if (run.narrowMarker == NarrowMarkerKind::Slash) {
        return std::min(run.StartAcross, run.EndAcross);
    }
    return 0.0L;
}

// The value text of a line that stands on its own level: centred over it at the value gap or,
// when it does not fit between the ends, on the same level beyond the end, past its marker.
void PlaceLevelText(const IntervalLayout& line, const DimensionRun& run,
                    const DimensionSettings& settings, const RunSides& sides,
                    const RunTurns& turns, ValueTextLayout& text)
{
    double offsetX = Store(-static_cast<long double>(text.width) / 2.0L);
    if (line.length < text.width) {
        const long double beyond = static_cast<long double>(line.length) / 2.0L +
                                   EndReachOf(run, line) + Abs(settings.ValueGap);
        offsetX = sides.textsTurned ? Store(-(beyond + text.width)) : Store(beyond);
    }
    text.anchor = Plus(line.M, Turned(offsetX, settings.ValueGap, turns.text));
    text.leaderEnd = line.M;
}

// One dimension from fromX to toX at `level` of the dimension frame, with its value text and
// markers as a run of one interval has them.
IntervalLayout LevelLine(double fromX, double toX, double level, const DimensionSettings& settings,
                         const RunSides& sides, const RunTurns& turns, BarbTurns& barbTurns,
                         DimensionRun& run)
{
    IntervalLayout line;
    line.length = Store(Abs(static_cast<long double>(toX) - fromX));
    const double bx = Store(static_cast<long double>(fromX) + line.length);
    line.N = Turned(fromX, level, turns.axis);
    line.P = Turned(bx, level, turns.axis);
    line.M = {Store((static_cast<long double>(line.N.X) + line.P.X) / 2.0L),
              Store((static_cast<long double>(line.N.Y) + line.P.Y) / 2.0L)};
    line.direction = DirectionDeg(line.N, line.P);
    if (IsWide(run, line.length)) {
        line.ends = static_cast<std::int32_t>(run.ends.size());
        run.ends.push_back({EndMarkerAt(settings.StartMarker, line.N,
                                        DirectionDeg(line.P, line.N), settings, barbTurns),
                            EndMarkerAt(settings.EndMarker, line.P, line.direction, settings,
                                        barbTurns)});
    } else {
        line.narrowMarkerAtN = true;
        line.narrowMarkerAtP = true;
    }
    ValueTextLayout text;
    if (IntervalText(line.length, ValueOptionsOf(settings), run.TextStyle,
                     settings.CurrentScale, text)) {
        line.text = static_cast<std::int32_t>(run.texts.size());
        PlaceLevelText(line, run, settings, sides, turns, text);
        run.texts.push_back(std::move(text));
    }
    return line;
}

void LayoutChain(const MeasurePointList& points, const HeightPoint& heightPoint,
                 const DimensionSettings& settings, const RunTurns& turns, DimensionRun& run)
{
    PlaceIntervalsAndTexts(points, settings, run);
    for (std::size_t k = 0; k < run.intervals.size(); ++k) {
        if (IsWide(run, run.intervals[k].length)) {
            run.points[k].wideNeighbour = true;
            run.points[k + 1].wideNeighbour = true;
        }
    }
    PlaceSegmentsAndMarkers(points, heightPoint, settings, turns, run);
    for (PointLayout& point : run.points) {
        const MeasurePoint& measured = points[static_cast<std::size_t>(point.index)];
        point.extension = SegmentOf(
            measured.X, ExtensionSpanTo(measured.Y, heightPoint.Y, settings), turns.axis);
    }
}

// How far the laid-out chain reaches from its line to the outward side: its texts in every row,
// their leaders, the extension lines' overshoot and the markers' extents across the line.
long double ChainReach(const HeightPoint& heightPoint, const DimensionSettings& settings,
                       const RunSides& sides, const DimensionRun& run)
{
    const Rotation back = MyFunc::RotationOfDeg(-settings.DimensionAngle);
    const long double h = heightPoint.Y;
    auto outward = [&](const DrawingPoint& p) {
        return sides.outward * (static_cast<long double>(Turned(p.X, p.Y, back).Y) - h);
    };
    const long double height = TextHeightOf(run, settings);
    const long double body = sides.outward * (sides.textsTurned ? -height : height);
    long double reach = 0.0L;
    for (const IntervalLayout& interval : run.intervals) {
        if (interval.text >= 0) {
            const ValueTextLayout& text = run.texts[static_cast<std::size_t>(interval.text)];
            const long double base = outward(text.anchor);
            reach = std::max({reach, base, base + body});
            if (interval.row >= 1) reach = std::max(reach, outward(text.leaderEnd));
        }
        if (interval.ends >= 0) {
            reach = std::max<long double>({reach, run.StartAcross, run.EndAcross});
        } else if ((interval.narrowMarkerAtN || interval.narrowMarkerAtP) &&
                   run.narrowMarker == NarrowMarkerKind::Slash) {
            reach = std::max<long double>(reach, std::min(run.StartAcross, run.EndAcross));
        }
    }
    for (const PointLayout& point : run.points) {
        if (point.extension.present) reach = std::max(reach, outward(point.extension.end));
    }
    return reach;
}

// The overall's extension line at a kept point: from where the chain's ends (or from the gap
// beside the point, or from the height point's level), whichever is farthest out, to the
// overall's line plus the overshoot; it never runs over the chain's own lines.
ExtensionSegment OverallExtension(const MeasurePoint& point, const HeightPoint& heightPoint,
                                  double level, const DimensionSettings& settings,
                                  const RunSides& sides, const Rotation& axis)
{
    const long double h = heightPoint.Y;
    const long double out = sides.outward;
    const ExtensionSpan chain = ExtensionSpanTo(point.Y, heightPoint.Y, settings);
    double start = heightPoint.Y;
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
    ExtensionSpan span;
    span.startY = start;
    span.endY = Store(static_cast<long double>(level) + out * settings.ExtensionOvershoot);
    span.present = out * (static_cast<long double>(span.endY) - start) > MyFunc::kTolerance;
    return SegmentOf(point.X, span, axis);
}

void PlaceOverall(const MeasurePointList& points, const HeightPoint& heightPoint,
                  const DimensionSettings& settings, const RunTurns& turns, const RunSides& sides,
                  DimensionRun& run)
{
    const long double beyond = ChainReach(heightPoint, settings, sides, run) +
                               PitchOf(run, settings);
    const double level = Store(static_cast<long double>(heightPoint.Y) + sides.outward * beyond);
    const MeasurePoint& first = points[static_cast<std::size_t>(run.points.front().index)];
    const MeasurePoint& last = points[static_cast<std::size_t>(run.points.back().index)];
    BarbTurns barbTurns;
    OverallLayout& overall = run.overall;
    overall.present = true;
    overall.line = LevelLine(first.X, last.X, level, settings, sides, turns, barbTurns, run);
    overall.extensions[0] =
        OverallExtension(first, heightPoint, level, settings, sides, turns.axis);
    overall.extensions[1] =
        OverallExtension(last, heightPoint, level, settings, sides, turns.axis);
}

void LayoutParallel(const MeasurePointList& points, const HeightPoint& heightPoint,
                    const DimensionSettings& settings, const RunTurns& turns,
                    const RunSides& sides, DimensionRun& run)
{
    const long double pitch = PitchOf(run, settings);
    const MeasurePoint& first = points[static_cast<std::size_t>(run.points.front().index)];
    BarbTurns barbTurns;
    double level = heightPoint.Y;
    run.intervals.reserve(run.points.size() - 1);
    for (std::size_t k = 1; k < run.points.size(); ++k) {
        const MeasurePoint& measured = points[static_cast<std::size_t>(run.points[k].index)];
        const long double steps = static_cast<long double>(k - 1);
        level = Store(static_cast<long double>(heightPoint.Y) + sides.outward * steps * pitch);
        run.intervals.push_back(
            LevelLine(first.X, measured.X, level, settings, sides, turns, barbTurns, run));
        run.points[k].extension =
            SegmentOf(measured.X, ExtensionSpanTo(measured.Y, level, settings), turns.axis);
    }
    // The common origin's extension line reaches the farthest line.
    run.points.front().extension =
        SegmentOf(first.X, ExtensionSpanTo(first.Y, level, settings), turns.axis);
}

void LayoutCumulative(const MeasurePointList& points, const HeightPoint& heightPoint,
                      const DimensionSettings& settings, const RunTurns& turns,
                      const RunSides& sides, DimensionRun& run)
{
    CumulativeLayout& cumulative = run.cumulative;
    const double h = heightPoint.Y;
    const MeasurePoint& first = points[static_cast<std::size_t>(run.points.front().index)];
    const MeasurePoint& last = points[static_cast<std::size_t>(run.points.back().index)];
    cumulative.lineStart = Turned(first.X, h, turns.axis);
    cumulative.lineEnd = Turned(last.X, h, turns.axis);

    // The texts read along the extension lines and stay upright in vertical runs too.
    cumulative.TextAngle = TextAngleOf(settings.DimensionAngle + 90.0);
    const Rotation textTurn = MyFunc::RotationOfDeg(cumulative.TextAngle);
    cumulative.TextDirection = {Store(10.0L * textTurn.c), Store(10.0L * textTurn.s)};
    // sin(TextAngle - DimensionAngle): +1 when the texts read towards +Y of the dimension
    // frame, their upper side then towards -X; -1 the other way round.
    const bool readsUp = textTurn.s * turns.axis.c - textTurn.c * turns.axis.s > 0.0L;

    const long double out = sides.outward;
    const long double height = TextHeightOf(run, settings);
    const long double g = settings.ValueGap;
    const long double s = settings.CurrentScale;
    const long double nearEnd =
        std::max<long double>({settings.ExtensionOvershoot, run.EndAcross,
                               MarkerExtentOf(kOriginMarkerCode, settings).across}) + g;
    const double nearY = Store(static_cast<long double>(h) + out * nearEnd);
    const ValueOptions options = ValueOptionsOf(settings);
    const ValueTextStyle& style = run.TextStyle;

    cumulative.texts.reserve(run.points.size());
    long double previous = 0.0L;  // where the text before stands along the run
    for (std::size_t k = 0; k < run.points.size(); ++k) {
        const MeasurePoint& measured = points[static_cast<std::size_t>(run.points[k].index)];
        const double distance =
            k == 0 ? 0.0 : Store(Abs(static_cast<long double>(measured.X) - first.X));
        CumulativeText entry;
        ValueTextLayout& text = entry.text;
        text.text = FormatDimensionValue(distance, options);
        text.width = Store(static_cast<long double>(MyFunc::MeasureTextWidth(
                               text.text, style.width, style.spacing)) * s);
        // The text's extent along the run starts at `place`: g beside the extension line, its
        // body away from it.
        const long double own = readsUp ? static_cast<long double>(measured.X) - g - height
                                        : static_cast<long double>(measured.X) + g;
        long double place = Store(own);
        if (k > 0 && previous + height + g > own) {
            place = Store(previous + height + g);
            entry.moved = true;
        }
        previous = place;
        const long double baseX = readsUp ? place + height : place;
        const long double baseY = readsUp == (out > 0.0L)
                                      ? static_cast<long double>(h) + out * nearEnd
                                      : static_cast<long double>(h) + out * (nearEnd + text.width);
        text.anchor = Turned(Store(baseX), Store(baseY), turns.axis);
        text.leaderEnd = Turned(Store(place + height / 2.0L), nearY, turns.axis);
        entry.leaderStart = Turned(measured.X, nearY, turns.axis);
        cumulative.texts.push_back(std::move(entry));
    }

    BarbTurns barbTurns;
    cumulative.ends.reserve(run.points.size() - 1);
    for (std::size_t k = 1; k < run.points.size(); ++k) {
        const MeasurePoint& measured = points[static_cast<std::size_t>(run.points[k].index)];
        const DrawingPoint tip = Turned(measured.X, h, turns.axis);
        const double away = DirectionDeg(cumulative.lineStart, tip);
        if (k == 1) {
            cumulative.origin = EndMarkerAt(kOriginMarkerCode, cumulative.lineStart, away,
                                            settings, barbTurns);
        }
        cumulative.ends.push_back(EndMarkerAt(settings.EndMarker, tip, away, settings, barbTurns));
    }
    for (PointLayout& point : run.points) {
        const MeasurePoint& measured = points[static_cast<std::size_t>(point.index)];
        point.extension = SegmentOf(measured.X, ExtensionSpanTo(measured.Y, h, settings),
                                    turns.axis);
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
    if (run.arrangement == DimensionArrangement::Cumulative) {
        return {run.points.empty() ? 0u : 1u, run.cumulative.texts.size()};
    }
    return {run.intervals.size() + (run.overall.present ? 1u : 0u), run.texts.size()};
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

    run.arrangement = ArrangementOf(settings);
    if (run.arrangement == DimensionArrangement::Chain) {
        LayoutChain(points, heightPoint, settings, turns, run);
        return true;
    }
    const RunSides sides = SidesOf(points, heightPoint, turns, run);
    switch (run.arrangement) {
    case DimensionArrangement::ChainAndOverall:
        LayoutChain(points, heightPoint, settings, turns, run);
        // With one interval the chain already is the overall dimension.
        if (run.intervals.size() >= 2) {
            PlaceOverall(points, heightPoint, settings, turns, sides, run);
        }
        break;
    case DimensionArrangement::Parallel:
        LayoutParallel(points, heightPoint, settings, turns, sides, run);
        break;
    case DimensionArrangement::Cumulative:
    default:
        LayoutCumulative(points, heightPoint, settings, turns, sides, run);
        break;
    }
    return true;
}

}  // namespace Dimension
