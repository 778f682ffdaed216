#include "dimension/measure_points.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>

#include "common/geometry.hpp"

namespace Dimension {
namespace {

constexpr long double kSamePosition = 1e-10L;

bool SamePosition(const MeasurePoint& point, double x, double y)
{
    return std::fabs(static_cast<long double>(point.X) - x) <= kSamePosition &&
           std::fabs(static_cast<long double>(point.Y) - y) <= kSamePosition;
}

// The comparison of the ordering: does (x, y) come before the running minimum (bx, by)? X
// within 1e-10 counts as equal and Y decides; strictly, so that of two equal points the earlier
// stays.
bool Precedes(double x, double y, double bx, double by)
{
    return std::fabs(static_cast<long double>(bx) - x) <= kSamePosition ? by > y : bx > x;
}

bool IsFinitePoint(double x, double y) { return std::isfinite(x) && std::isfinite(y); }

// Maps drawing points of one layer group into the dimension frame.
struct FrameMapping {
    double factor = 1.0;     // CurrentScale / scale of the record's layer group, stored
    double turnDeg = 0.0;    // minus the axis angle
    bool scaled = true;      // indicated points are turned only
};

// False when the mapped point is not finite: the run could not be drawn from it.
bool MapToFrame(const FrameMapping& mapping, double x, double y, double& outX, double& outY)
{
    if (mapping.scaled) {
        // Each product is formed in extended precision and stored as it is handed on.
        const double sx = static_cast<double>(static_cast<long double>(x) * mapping.factor);
        const double sy = static_cast<double>(static_cast<long double>(y) * mapping.factor);
        MyFunc::RotatePointDeg(sx, sy, 0.0, 0.0, mapping.turnDeg, outX, outY);
    } else {
        MyFunc::RotatePointDeg(x, y, 0.0, 0.0, mapping.turnDeg, outX, outY);
    }
    return IsFinitePoint(outX, outY);
}

// The mapping of a record on layer group g; false when the group has no usable scale (0, or a
// group number the host cannot have written), which leaves the factor undefined.
bool MappingForLayerGroup(const DimensionSettings& settings, const RidEdaza::DrawingState& state,
                          std::int32_t layerGroup, FrameMapping& mapping)
{
    if (layerGroup < 0 || static_cast<std::size_t>(layerGroup) >= state.layerGroupScale.size()) {
        return false;
    }
    const double groupScale = state.layerGroupScale[static_cast<std::size_t>(layerGroup)];
    if (groupScale == 0.0) return false;
    mapping.factor = static_cast<double>(static_cast<long double>(settings.CurrentScale) /
                                         groupScale);
    mapping.turnDeg = -state.axisAngle;
    mapping.scaled = true;
    return true;
}

bool Skipped(const RidEdaza::EntityAttributes& attributes)
{
    return (attributes.zFlags & RidEdaza::kZ3Mark) != 0;
}

// Where acquisition puts its points: the indexed collector, or the bare list scanned whole.
struct IndexedSink {
    MeasurePointCollector& collector;
    void Add(double x, double y) { AddMeasurePoint(collector, x, y); }
};

struct ScanningSink {
    MeasurePointList& points;
    void Add(double x, double y) { AddMeasurePointLinear(points, x, y); }
};

// Maps (x, y) and adds it; false when the mapped point is not finite.
template <typename Sink>
bool AddMapped(Sink& points, const FrameMapping& mapping, double x, double y)
{
    double mx = 0.0;
    double my = 0.0;
    if (!MapToFrame(mapping, x, y, mx, my)) return false;
    points.Add(mx, my);
    return true;
}

template <typename Sink>
bool AddLineEnds(const DimensionSettings& settings, const FrameMapping& mapping,
                 const RidEdaza::TJwwEntLine& line, const HeightPoint& heightPoint, Sink& points)
{
    double ax = 0.0, ay = 0.0, bx = 0.0, by = 0.0;
    if (!MapToFrame(mapping, line.x1, line.y1, ax, ay)) return false;
    if (!MapToFrame(mapping, line.x2, line.y2, bx, by)) return false;

    // A segment along the dimension direction has no near or far end: both are measured.
    if (std::fabs(static_cast<long double>(ay) - by) <= kSamePosition) {
        points.Add(ax, ay);
        points.Add(bx, by);
        return true;
    }
    const long double dA = std::fabs(static_cast<long double>(ay) - heightPoint.Y);
    const long double dB = std::fabs(static_cast<long double>(by) - heightPoint.Y);
    const bool nearIsA = dA < dB;  // on a tie the second end is the near one
    if (settings.TakeNearLineEnds) {
        if (nearIsA) points.Add(ax, ay);
        else points.Add(bx, by);
    }
    if (settings.TakeFarLineEnds) {
        if (nearIsA) points.Add(bx, by);
        else points.Add(ax, ay);
    }
    return true;
}

template <typename Sink>
bool AddArcPoints(const DimensionSettings& settings, const FrameMapping& mapping,
                  const RidEdaza::TJwwEntArc& arc, Sink& points)
{
    if (settings.TakeArcCenters && !AddMapped(points, mapping, arc.centreX, arc.centreY)) {
        return false;
    }
    if (!settings.TakeArcEnds) return true;

    // A full circle or ellipse stored as an arc has no ends. The difference is formed in
    // extended precision and stored as it is handed on.
    const double turn = MyFunc::NormalizeDegrees(
        static_cast<double>(static_cast<long double>(arc.startAngle) - arc.endAngle));
    if (std::fabs(static_cast<long double>(turn)) <= kSamePosition) return true;

    double sx = 0.0, sy = 0.0, ex = 0.0, ey = 0.0;
    MyFunc::EllipsePointDeg(arc.centreX, arc.centreY, arc.radius, arc.flatness, arc.tiltAngle,
                            arc.startAngle, sx, sy);
    MyFunc::EllipsePointDeg(arc.centreX, arc.centreY, arc.radius, arc.flatness, arc.tiltAngle,
                            arc.endAngle, ex, ey);
    return AddMapped(points, mapping, sx, sy) && AddMapped(points, mapping, ex, ey);
}

template <typename Sink>
AcquireResult AcquireIndicatedPoints(const RidEdaza::DrawingState& state,
                                     const FrameMapping& turnOnly, Sink& points)
{
    for (std::size_t n = 2; n < state.indicatedPoints.size(); ++n) {
        const RidEdaza::IndicatedPoint& indicated = state.indicatedPoints[n];
        if (!indicated.present) break;
        if (!AddMapped(points, turnOnly, indicated.x, indicated.y)) {
            return AcquireResult::CannotDimension;
        }
    }
    return AcquireResult::Done;
}

template <typename Sink>
AcquireResult AcquireSelectedPoints(const DimensionSettings& settings,
                                    const RidEdaza::DrawingModel& model,
                                    const HeightPoint& heightPoint, Sink& points)
{
    const RidEdaza::DrawingState& state = model.state;
    FrameMapping mapping;

    if (settings.TakeNearLineEnds || settings.TakeFarLineEnds) {
        for (const RidEdaza::TJwwEntLine& line : model.lines) {
            if (Skipped(line.attributes)) continue;
            if (!MappingForLayerGroup(settings, state, line.attributes.layerGroup, mapping) ||
                !AddLineEnds(settings, mapping, line, heightPoint, points)) {
                return AcquireResult::CannotDimension;
            }
        }
    }
    if (settings.TakePoints) {
        for (const RidEdaza::TJwwEntPoint& point : model.points) {
            if (Skipped(point.attributes)) continue;
            if (!MappingForLayerGroup(settings, state, point.attributes.layerGroup, mapping) ||
                !AddMapped(points, mapping, point.x, point.y)) {
                return AcquireResult::CannotDimension;
            }
        }
        for (const RidEdaza::TJwwEntMarkerPoint& marker : model.markerPoints) {
            if (Skipped(marker.attributes)) continue;
            if (!MappingForLayerGroup(settings, state, marker.attributes.layerGroup, mapping) ||
                !AddMapped(points, mapping, marker.x, marker.y)) {
                return AcquireResult::CannotDimension;
            }
        }
    }
    if (settings.TakeArcCenters) {
        for (const RidEdaza::TJwwEntCircle& circle : model.circles) {
            if (Skipped(circle.attributes)) continue;
            if (!MappingForLayerGroup(settings, state, circle.attributes.layerGroup, mapping) ||
                !AddMapped(points, mapping, circle.centreX, circle.centreY)) {
                return AcquireResult::CannotDimension;
            }
        }
    }
    if (settings.TakeArcCenters || settings.TakeArcEnds) {
        for (const RidEdaza::TJwwEntArc& arc : model.arcs) {
            if (Skipped(arc.attributes)) continue;
            if (!MappingForLayerGroup(settings, state, arc.attributes.layerGroup, mapping) ||
                !AddArcPoints(settings, mapping, arc, points)) {
                return AcquireResult::CannotDimension;
            }
        }
    }
    return AcquireResult::Done;
}

// ---- The index of the collector ----
//
// A point can only match points whose coordinates differ from its own by at most 1e-10 (the
// extended difference is at most 1e-10, so the exact one at most 1e-10 * (1 + 2^-52)). Cells are
// 2^-30 (about 9.3e-10) wide in both directions, and a quarter cell (2.3e-10) is more than such
// a distance: the cell of a match is the point's own cell or, when the point lies within a
// quarter cell of a border, the neighbour across it. The cell number and the position inside
// the cell are exact (scaling by a power of two, floor, and the fraction left by it), so no
// rounding can send a match to a cell that is not looked at. From 2^24 on, neighbouring doubles
// are at least 2^-29 apart: only an equal coordinate can match, and the coordinate's own bits
// name its cell; those numbers (2^62 and beyond) never meet a grid cell number (below 2^54).

constexpr double kCellsPerUnit = 0x1p30;
constexpr double kGridRange = 0x1p24;
constexpr double kQuarterCell = 0.25;

struct AxisCell {
    std::int64_t cell = 0;
    bool lowerToo = false;  // within a quarter cell of the lower border
    bool upperToo = false;  // within a quarter cell of the upper border
};

AxisCell AxisCellOf(double v)
{
    AxisCell result;
    if (std::fabs(v) < kGridRange) {
        const double scaled = v * kCellsPerUnit;
        const double whole = std::floor(scaled);
        const double inside = scaled - whole;
        result.cell = static_cast<std::int64_t>(whole);
        result.lowerToo = inside < kQuarterCell;
        result.upperToo = inside >= 1.0 - kQuarterCell;
        return result;
    }
    std::uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    const auto magnitude = static_cast<std::int64_t>(bits & 0x7FFF'FFFF'FFFF'FFFFull);
    result.cell = v < 0.0 ? -magnitude : magnitude;
    return result;
}

std::uint64_t CellHash(std::int64_t cx, std::int64_t cy)
{
    std::uint64_t h = static_cast<std::uint64_t>(cx) * 0x9E37'79B9'7F4A'7C15ull;
    h ^= static_cast<std::uint64_t>(cy) + 0x632B'E59B'D9B4'E019ull + (h << 6) + (h >> 2);
    h ^= h >> 31;
    h *= 0xD6E8'FEB8'6659'FD93ull;
    h ^= h >> 32;
    return h;
}

constexpr std::uint64_t kLowHalf = 0xFFFF'FFFFull;

// Points beyond this count are checked by the scan (four thousand million points would not fit
// in memory anyway).
constexpr std::size_t kMaxIndexed = MeasurePointIndex::kNone - 1;

// The slot of cell (cx, cy): the one holding it, or the empty one where it would go.
std::size_t FindSlot(const MeasurePointIndex& index, const MeasurePointList& points,
                     std::int64_t cx, std::int64_t cy, std::uint64_t hash)
{
    const std::size_t mask = index.slots.size() - 1;
    const std::uint64_t tag = hash >> 32;
    for (std::size_t at = static_cast<std::size_t>(hash) & mask;; at = (at + 1) & mask) {
        const std::uint64_t slot = index.slots[at];
        if (slot == 0) return at;
        if ((slot >> 32) != tag) continue;
        const MeasurePoint& first = points[static_cast<std::size_t>((slot & kLowHalf) - 1)];
        if (AxisCellOf(first.X).cell == cx && AxisCellOf(first.Y).cell == cy) return at;
    }
}

void GrowIndex(MeasurePointIndex& index, const MeasurePointList& points)
{
    std::vector<std::uint64_t> old(index.slots.empty() ? 0 : index.slots.size() * 2, 0);
    if (old.empty()) old.assign(1024, 0);
    old.swap(index.slots);
    const std::size_t mask = index.slots.size() - 1;
    for (const std::uint64_t slot : old) {
        if (slot == 0) continue;
        const MeasurePoint& first = points[static_cast<std::size_t>((slot & kLowHalf) - 1)];
        const std::uint64_t hash = CellHash(AxisCellOf(first.X).cell, AxisCellOf(first.Y).cell);
        std::size_t at = static_cast<std::size_t>(hash) & mask;
        while (index.slots[at] != 0) at = (at + 1) & mask;
        index.slots[at] = slot;
    }
}

// True when a point of cell (cx, cy) lies within 1e-10 of (x, y).
bool CellHasNear(const MeasurePointIndex& index, const MeasurePointList& points, std::int64_t cx,
                 std::int64_t cy, double x, double y)
{
    const std::uint64_t slot = index.slots[FindSlot(index, points, cx, cy, CellHash(cx, cy))];
    if (slot == 0) return false;
    for (auto i = static_cast<std::uint32_t>((slot & kLowHalf) - 1); i != MeasurePointIndex::kNone;
         i = index.next[i]) {
        if (SamePosition(points[i], x, y)) return true;
    }
    return false;
}

bool IndexHasNear(const MeasurePointIndex& index, const MeasurePointList& points, const AxisCell& cx,
                  const AxisCell& cy, double x, double y)
{
    if (index.slots.empty()) return false;
    for (std::int64_t dx = cx.lowerToo ? -1 : 0; dx <= (cx.upperToo ? 1 : 0); ++dx) {
        for (std::int64_t dy = cy.lowerToo ? -1 : 0; dy <= (cy.upperToo ? 1 : 0); ++dy) {
            if (CellHasNear(index, points, cx.cell + dx, cy.cell + dy, x, y)) return true;
        }
    }
    return false;
}

// ---- The ordering ----
//
// OrderMeasurePoints gives the selection sort's result (OrderMeasurePointsBySelection) without
// its n^2 comparisons. Why that is exact, with "near" meaning an extended difference of at most
// 1e-10 and fl the rounding of a difference to extended precision:
//
// 1. Components. Sort the points by X and cut between neighbours that are not near. Rounding is
//    monotone, so for points p < q of different components fl(X_q - X_p) >= fl(b - a) > 1e-10
//    for the neighbours a < b at a cut between them: points of different components are never
//    near, and for them the comparison is plain X: every point of a lower component precedes
//    every point of a higher one, and none of a higher one precedes one of a lower.
// 2. Step i of the selection sort starts its running minimum at position i and takes a point
//    only when it precedes the minimum. Let C be the lowest component with a point at position i
//    or later. Before the first point of C in position order, the minimum lies in a higher
//    component, so that point is taken (or is the start); afterwards the minimum stays in C and
//    no point of another component is taken. So step i selects a point of C, found by the
//    tolerant scan over the points of C alone, in position order. By induction the components
//    come out whole and in X order.
// 3. A component whose points are all near each other (its X range is near, which by monotony
//    makes every pair near) with no two equal Y: every comparison inside it is by Y, so each
//    step selects the lowest Y left, wherever it stands. The component comes out in ascending Y.
// 4. Any other component (a chain such as X = 0, 0.6e-10, 1.2e-10, or equal Y) depends on the
//    order that earlier exchanges left: its steps are replayed exactly, scanning its points in
//    their current positions, O(k^2) for k points.
// Either way the exchanges are carried out on a permutation (which original point stands at
// which position), so that every later component finds its points where the selection sort
// would have left them: step i exchanges positions i and p exactly when the selected point
// stands at p != i.

struct Arrangement {
    std::vector<std::uint32_t> at;     // position -> point (index into the input)
    std::vector<std::uint32_t> where;  // point -> position

    void Select(std::uint32_t point, std::size_t position)
    {
        const std::size_t from = where[point];
        if (from == position) return;
        const std::uint32_t displaced = at[position];
        at[position] = point;
        at[from] = displaced;
        where[point] = static_cast<std::uint32_t>(position);
        where[displaced] = static_cast<std::uint32_t>(from);
    }
};

struct Keyed {
    double key;
    std::uint32_t point;
};

bool ByKey(const Keyed& a, const Keyed& b) { return a.key < b.key; }

// Steps first .. first + k - 1 of the selection sort, which select the k points of one
// component (given in any order).
void PlaceComponent(const MeasurePointList& points, const Keyed* members, std::size_t k,
                    std::size_t first, Arrangement& arrangement, std::vector<Keyed>& scratch)
{
    scratch.clear();
    for (std::size_t m = 0; m < k; ++m) {
        const std::uint32_t p = members[m].point;
        scratch.push_back({points[p].Y, p});
    }
    std::sort(scratch.begin(), scratch.end(), ByKey);

    const double lowX = members[0].key;
    const double highX = members[k - 1].key;
    bool allNear = std::fabs(static_cast<long double>(highX) - lowX) <= kSamePosition;
    for (std::size_t m = 1; allNear && m < k; ++m) {
        allNear = scratch[m - 1].key != scratch[m].key;
    }
    if (allNear) {
        for (std::size_t m = 0; m < k; ++m) arrangement.Select(scratch[m].point, first + m);
        return;
    }

    // Replay: the component's points in their current positions.
    for (Keyed& s : scratch) s.key = static_cast<double>(arrangement.where[s.point]);
    std::sort(scratch.begin(), scratch.end(), ByKey);
    std::vector<std::uint32_t> live;
    live.reserve(k);
    for (const Keyed& s : scratch) live.push_back(s.point);
    for (std::size_t step = 0; step < k; ++step) {
        const std::size_t position = first + step;
        std::size_t best = 0;
        double bx = points[live[0]].X;
        double by = points[live[0]].Y;
        for (std::size_t t = 1; t < live.size(); ++t) {
            const MeasurePoint& candidate = points[live[t]];
            if (Precedes(candidate.X, candidate.Y, bx, by)) {
                bx = candidate.X;
                by = candidate.Y;
                best = t;
            }
        }
        const std::uint32_t selected = live[best];
        const bool displacesMember = best != 0 && arrangement.where[live[0]] == position;
        arrangement.Select(selected, position);
        // A member standing at the position moves into the selected point's place.
        if (displacesMember) live[best] = live[0];
        else live.erase(live.begin() + static_cast<std::ptrdiff_t>(best));
        if (displacesMember) live.erase(live.begin());
    }
}

}  // namespace

void AddMeasurePointLinear(MeasurePointList& points, double x, double y)
{
    for (const MeasurePoint& point : points) {
        if (SamePosition(point, x, y)) return;
    }
    points.push_back(MeasurePoint{x, y, 1});
}

void AddMeasurePoint(MeasurePointCollector& collector, double x, double y)
{
    MeasurePointList& points = collector.points;
    MeasurePointIndex& index = collector.index;
    // A coordinate that is not finite is never within 1e-10 of anything.
    if (!IsFinitePoint(x, y)) {
        points.push_back(MeasurePoint{x, y, 1});
        index.next.push_back(MeasurePointIndex::kNone);
        return;
    }
    if (points.size() >= kMaxIndexed) {
        AddMeasurePointLinear(points, x, y);
        return;
    }
    const AxisCell cx = AxisCellOf(x);
    const AxisCell cy = AxisCellOf(y);
    if (IndexHasNear(index, points, cx, cy, x, y)) return;

    if ((index.cells + 1) * 2 > index.slots.size()) GrowIndex(index, points);
    const std::uint64_t hash = CellHash(cx.cell, cy.cell);
    const std::size_t at = FindSlot(index, points, cx.cell, cy.cell, hash);
    const auto added = static_cast<std::uint32_t>(points.size());
    std::uint32_t chained = MeasurePointIndex::kNone;
    if (index.slots[at] == 0) {
        ++index.cells;
    } else {
        chained = static_cast<std::uint32_t>((index.slots[at] & kLowHalf) - 1);
    }
    points.push_back(MeasurePoint{x, y, 1});
    index.next.push_back(chained);
    index.slots[at] = (hash >> 32 << 32) | (static_cast<std::uint64_t>(added) + 1);
}

namespace {

template <typename Sink>
AcquireResult Acquire(const DimensionSettings& settings, const RidEdaza::DrawingModel& model,
                      std::string_view firstArgument, HeightPoint& heightPoint, Sink& sink)
{
    const RidEdaza::DrawingState& state = model.state;
    FrameMapping turnOnly;
    turnOnly.turnDeg = -state.axisAngle;
    turnOnly.scaled = false;

    // Indicated point 1 as stored, present or not (an absent entry holds 0, 0).
    const RidEdaza::IndicatedPoint& first = state.indicatedPoints[1];
    heightPoint = HeightPoint{};
    if (!MapToFrame(turnOnly, first.x, first.y, heightPoint.X, heightPoint.Y)) {
        return AcquireResult::CannotDimension;
    }

    if (firstArgument == "1") return AcquireIndicatedPoints(state, turnOnly, sink);
    return AcquireSelectedPoints(settings, model, heightPoint, sink);
}

}  // namespace

AcquireResult AcquireMeasurePoints(const DimensionSettings& settings,
                                   const RidEdaza::DrawingModel& model,
                                   std::string_view firstArgument, HeightPoint& heightPoint,
                                   MeasurePointList& points)
{
    // A fresh list for every command; its storage is released, not merely emptied.
    MeasurePointList().swap(points);
    MeasurePointCollector collector;
    IndexedSink sink{collector};
    const AcquireResult result = Acquire(settings, model, firstArgument, heightPoint, sink);
    points.swap(collector.points);
    return result;
}

AcquireResult AcquireMeasurePointsByScan(const DimensionSettings& settings,
                                         const RidEdaza::DrawingModel& model,
                                         std::string_view firstArgument,
                                         HeightPoint& heightPoint, MeasurePointList& points)
{
    MeasurePointList().swap(points);
    ScanningSink sink{points};
    return Acquire(settings, model, firstArgument, heightPoint, sink);
}

void OrderMeasurePointsBySelection(MeasurePointList& points)
{
    const std::size_t n = points.size();
    for (std::size_t i = 0; i + 1 < n; ++i) {
        bool found = false;
        std::size_t best = 0;
        double bx = points[i].X;
        double by = points[i].Y;
        for (std::size_t j = i + 1; j < n; ++j) {
            const MeasurePoint& candidate = points[j];
            if (Precedes(candidate.X, candidate.Y, bx, by)) {
                bx = candidate.X;
                by = candidate.Y;
                best = j;
                found = true;
            }
        }
        // Only the position moves; every Kept is still 1 here.
        if (found) {
            MyFunc::ExchangeValues(points[i].X, points[best].X);
            MyFunc::ExchangeValues(points[i].Y, points[best].Y);
        }
    }
}

void OrderMeasurePoints(MeasurePointList& points)
{
    const std::size_t n = points.size();
    if (n < 2) return;
    // Without finite coordinates the comparison is no order at all (and NaN is near nothing):
    // nothing to gain, so the sort itself runs.
    const bool allFinite = std::all_of(points.begin(), points.end(), [](const MeasurePoint& p) {
        return IsFinitePoint(p.X, p.Y);
    });
    if (!allFinite || n > std::numeric_limits<std::uint32_t>::max()) {
        OrderMeasurePointsBySelection(points);
        return;
    }

    std::vector<Keyed> byX(n);
    Arrangement arrangement;
    arrangement.at.resize(n);
    arrangement.where.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const auto p = static_cast<std::uint32_t>(i);
        byX[i] = {points[i].X, p};
        arrangement.at[i] = p;
        arrangement.where[i] = p;
    }
    std::sort(byX.begin(), byX.end(), ByKey);

    std::vector<Keyed> scratch;
    std::size_t first = 0;
    while (first < n) {
        std::size_t end = first + 1;
        while (end < n &&
               std::fabs(static_cast<long double>(byX[end].key) - byX[end - 1].key) <= kSamePosition) {
            ++end;
        }
        PlaceComponent(points, byX.data() + first, end - first, first, arrangement, scratch);
        first = end;
    }

    // Only X and Y move; Kept stays with the position, as in the exchanges of the sort.
    MeasurePointList ordered = points;
    for (std::size_t i = 0; i < n; ++i) {
        ordered[i].X = points[arrangement.at[i]].X;
        ordered[i].Y = points[arrangement.at[i]].Y;
    }
    points.swap(ordered);
}

void GroupMeasurePoints(MeasurePointList& points, const HeightPoint& heightPoint)
{
    const std::size_t n = points.size();
    std::size_t i = 0;
    while (i < n) {
        // A group is every point within 1e-10 of its first point, not of its neighbour.
        const double gx = points[i].X;
        double bestD = static_cast<double>(
            std::fabs(static_cast<long double>(points[i].Y) - heightPoint.Y));
        points[i].Kept = 0;
        std::size_t best = i;
        std::size_t size = 1;
        for (std::size_t j = i + 1; j < n; ++j) {
            if (std::fabs(static_cast<long double>(gx) - points[j].X) > kSamePosition) break;
            const double d = static_cast<double>(
                std::fabs(static_cast<long double>(points[j].Y) - heightPoint.Y));
            points[j].Kept = 0;
            if (bestD > d) {
                bestD = d;
                best = j;
            }
            ++size;
        }
        points[best].Kept = 1;
        i += size;
    }
}

}  // namespace Dimension
