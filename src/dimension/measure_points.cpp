#include "dimension/measure_points.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>

#include "common/geometry.hpp"
#include "common/trig.hpp"

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

bool Near(double a, double b)
{
    return std::fabs(static_cast<long double>(a) - b) <= kSamePosition;
}

// x lies above bx by more than the tolerance.
bool FarAbove(double x, double bx) { return x > bx && !Near(bx, x); }

// x lies below bx by more than the tolerance.
bool FarBelow(double x, double bx) { return x < bx && !Near(bx, x); }

bool IsFinitePoint(double x, double y) { return std::isfinite(x) && std::isfinite(y); }

// Maps drawing points of one layer group into the dimension frame.
struct FrameMapping {
    double factor = 1.0;     // CurrentScale / scale of the record's layer group, stored
    bool scaled = true;      // indicated points are turned only
    // The cosine and sine of the turn by minus the axis angle, taken once for all points: the
    // turn below is MyFunc::RotatePointDeg about the origin with them, term for term.
    long double cosTurn = 1.0L;
    long double sinTurn = 0.0L;
};

void SetTurn(FrameMapping& mapping, double turnDeg)
{
    const double theta = MyFunc::DegreesToRadians(turnDeg);
    mapping.cosTurn = MyFunc::Cos(theta);
    mapping.sinTurn = MyFunc::Sin(theta);
}

// MyFunc::RotatePoint about (0, 0) with the sine and cosine already taken.
void Turn(const FrameMapping& mapping, double x, double y, double& outX, double& outY)
{
    constexpr double cx = 0.0;
    constexpr double cy = 0.0;
    const long double c = mapping.cosTurn;
    const long double s = mapping.sinTurn;
    const long double dx = static_cast<long double>(x) - cx;
    const long double dy = static_cast<long double>(y) - cy;
    outX = static_cast<double>((c * dx + cx) - s * dy);
    outY = static_cast<double>((s * dx + cy) + c * dy);
}

// False when the mapped point is not finite: the run could not be drawn from it.
bool MapToFrame(const FrameMapping& mapping, double x, double y, double& outX, double& outY)
{
    if (mapping.scaled) {
        // Each product is formed in extended precision and stored as it is handed on.
        const double sx = static_cast<double>(static_cast<long double>(x) * mapping.factor);
        const double sy = static_cast<double>(static_cast<long double>(y) * mapping.factor);
        Turn(mapping, sx, sy, outX, outY);
    } else {
        Turn(mapping, x, y, outX, outY);
    }
    return IsFinitePoint(outX, outY);
}

// The mappings of the sixteen layer groups, each made when a record of its group is first
// visited.
struct GroupMappings {
    std::array<FrameMapping, 16> mapping;
    std::array<bool, 16> made{};
};

// The mapping of a record on layer group g; none when the group has no usable scale (0, or a
// group number the host cannot have written), which leaves the factor undefined.
const FrameMapping* MappingForLayerGroup(const DimensionSettings& settings,
                                         const RidEdaza::DrawingState& state,
                                         std::int32_t layerGroup, GroupMappings& groups)
{
    if (layerGroup < 0 || static_cast<std::size_t>(layerGroup) >= state.layerGroupScale.size()) {
        return nullptr;
    }
    const auto g = static_cast<std::size_t>(layerGroup);
    if (!groups.made[g]) {
        const double groupScale = state.layerGroupScale[g];
        if (groupScale == 0.0) return nullptr;
        FrameMapping& made = groups.mapping[g];
        made.factor = static_cast<double>(static_cast<long double>(settings.CurrentScale) /
                                          groupScale);
        made.scaled = true;
        SetTurn(made, -state.axisAngle);
        groups.made[g] = true;
    }
    return &groups.mapping[g];
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
    GroupMappings groups;
    const FrameMapping* mapping = nullptr;

    if (settings.TakeNearLineEnds || settings.TakeFarLineEnds) {
        for (const RidEdaza::TJwwEntLine& line : model.lines) {
            if (Skipped(line.attributes)) continue;
            mapping = MappingForLayerGroup(settings, state, line.attributes.layerGroup, groups);
            if (!mapping || !AddLineEnds(settings, *mapping, line, heightPoint, points)) {
                return AcquireResult::CannotDimension;
            }
        }
    }
    if (settings.TakePoints) {
        for (const RidEdaza::TJwwEntPoint& point : model.points) {
            if (Skipped(point.attributes)) continue;
            mapping = MappingForLayerGroup(settings, state, point.attributes.layerGroup, groups);
            if (!mapping || !AddMapped(points, *mapping, point.x, point.y)) {
                return AcquireResult::CannotDimension;
            }
        }
        for (const RidEdaza::TJwwEntMarkerPoint& marker : model.markerPoints) {
            if (Skipped(marker.attributes)) continue;
            mapping = MappingForLayerGroup(settings, state, marker.attributes.layerGroup, groups);
            if (!mapping || !AddMapped(points, *mapping, marker.x, marker.y)) {
                return AcquireResult::CannotDimension;
            }
        }
    }
    if (settings.TakeArcCenters) {
        for (const RidEdaza::TJwwEntCircle& circle : model.circles) {
            if (Skipped(circle.attributes)) continue;
            mapping = MappingForLayerGroup(settings, state, circle.attributes.layerGroup, groups);
            if (!mapping || !AddMapped(points, *mapping, circle.centreX, circle.centreY)) {
                return AcquireResult::CannotDimension;
            }
        }
    }
    if (settings.TakeArcCenters || settings.TakeArcEnds) {
        for (const RidEdaza::TJwwEntArc& arc : model.arcs) {
            if (Skipped(arc.attributes)) continue;
            mapping = MappingForLayerGroup(settings, state, arc.attributes.layerGroup, groups);
            if (!mapping || !AddArcPoints(settings, *mapping, arc, points)) {
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
// quarter cell of a border, the neighbour across it. The cells are centred on the multiples of
// 2^-30, so that whole and half millimetres lie in the middle of theirs and need one look-up.
// The cell number and the position inside the cell are exact (scaling by a power of two, adding
// a half below 2^52, floor, and the fraction left by it), so no rounding can send a match to a
// cell that is not looked at. From 2^22 on, neighbouring doubles are at least 2^-31 apart: only
// an equal coordinate can match, and the coordinate's own bits name its cell; those numbers
// (2^62 and beyond) never meet a grid cell number (below 2^52).

constexpr double kCellsPerUnit = 0x1p30;
constexpr double kGridRange = 0x1p22;
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
        const double scaled = v * kCellsPerUnit + 0.5;
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
// True when a point chained from `slot` lies within 1e-10 of (x, y).
bool ChainHasNear(const MeasurePointIndex& index, const MeasurePointList& points,
                  std::uint64_t slot, double x, double y)
{
    if (slot == 0) return false;
    for (auto i = static_cast<std::uint32_t>((slot & kLowHalf) - 1); i != MeasurePointIndex::kNone;
         i = index.next[i]) {
        if (SamePosition(points[i], x, y)) return true;
    }
    return false;
}

// True when a point of a neighbouring cell that the window of (x, y) reaches lies within 1e-10
// of it; the point's own cell is looked at by the caller.
bool NeighboursHaveNear(const MeasurePointIndex& index, const MeasurePointList& points,
                        const AxisCell& cx, const AxisCell& cy, double x, double y)
{
    for (std::int64_t dx = cx.lowerToo ? -1 : 0; dx <= (cx.upperToo ? 1 : 0); ++dx) {
        for (std::int64_t dy = cy.lowerToo ? -1 : 0; dy <= (cy.upperToo ? 1 : 0); ++dy) {
            if (dx == 0 && dy == 0) continue;
            const std::int64_t nx = cx.cell + dx;
            const std::int64_t ny = cy.cell + dy;
            const std::size_t at = FindSlot(index, points, nx, ny, CellHash(nx, ny));
            if (ChainHasNear(index, points, index.slots[at], x, y)) return true;
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
//    order that earlier exchanges left: its steps are replayed exactly on its points in their
//    current positions (ChainReplay), at most O(k^2) for k points. Turned drawings make such
//    chains common: 15 significant digits in the host's file leave the X of one grid column
//    spread over about 1.4e-10 after the turn back, so a whole column becomes one chain.
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

// The replay of a chain. Its slots are the positions its points hold when its steps begin, in
// ascending order; a slot keeps its position, and only the point in it changes: a step empties
// the selected point's slot, or, when a point of the chain stands at the step's position, moves
// that point into the selected point's slot (the exchange puts it at that position). So the
// points in slot order are the points in position order, as the running minimum meets them.
//
// A tree over the slots tells for every node whether a point below it can precede the running
// minimum (bx, by), so that a step jumps from one taken point to the next instead of looking at
// every point. A point precedes when its X is far below bx (and if the least X below the node is
// not, no X is), or when it is near bx with a Y below by. For the second, each node keeps the
// least Y of the points up to each of kBands X thresholds (quantiles of the chain's X); the test
// uses the lowest threshold that is far above bx, so only the points between that threshold and
// the one before it can pass the test without being near. Should such points still make the
// jumps dearer than looking at every point, the rest of the chain is scanned point by point.
struct ChainReplay {
    static constexpr std::size_t kNoSlot = std::numeric_limits<std::size_t>::max();
    static constexpr std::size_t kBands = 16;

    const MeasurePointList& points;
    std::array<double, kBands> threshold{};  // ascending; the last is the chain's largest X
    std::size_t leaves = 1;
    std::vector<double> leastX;  // per node; +infinity below an empty node
    std::vector<double> leastY;  // per node and band: the least Y of X up to the band's threshold
    std::vector<std::uint32_t> occupant;  // per slot
    std::size_t visits = 0;

    // byX: the chain's points in ascending X; inPositionOrder: the same in position order.
    ChainReplay(const MeasurePointList& list, const Keyed* byX,
                const std::vector<Keyed>& inPositionOrder)
        : points(list)
    {
        const std::size_t k = inPositionOrder.size();
        for (std::size_t b = 0; b < kBands; ++b) {
            const std::size_t rank = std::max<std::size_t>((b + 1) * k / kBands, 1) - 1;
            threshold[b] = byX[b + 1 == kBands ? k - 1 : rank].key;
        }
        while (leaves < k) leaves *= 2;
        const double none = std::numeric_limits<double>::infinity();
        leastX.assign(2 * leaves, none);
        leastY.assign(2 * leaves * kBands, none);
        occupant.assign(leaves, MeasurePointIndex::kNone);
        recordedAt.assign(leaves, 0);
        recordedAs.assign(leaves, 0);
        for (std::size_t slot = 0; slot < k; ++slot) SetLeaf(slot, inPositionOrder[slot].point);
        for (std::size_t node = leaves - 1; node >= 1; --node) Combine(node);
    }

    void SetLeaf(std::size_t slot, std::uint32_t point)
    {
        occupant[slot] = point;
        const std::size_t node = leaves + slot;
        const double none = std::numeric_limits<double>::infinity();
        double* y = &leastY[node * kBands];
        if (point == MeasurePointIndex::kNone) {
            leastX[node] = none;
            std::fill(y, y + kBands, none);
            return;
        }
        const MeasurePoint& p = points[point];
        leastX[node] = p.X;
        const auto band = static_cast<std::size_t>(
            std::lower_bound(threshold.begin(), threshold.end(), p.X) - threshold.begin());
        for (std::size_t b = 0; b < kBands; ++b) y[b] = b < band ? none : p.Y;
    }

    void Combine(std::size_t node)
    {
        leastX[node] = std::min(leastX[2 * node], leastX[2 * node + 1]);
        double* y = &leastY[node * kBands];
        const double* left = &leastY[2 * node * kBands];
        const double* right = &leastY[(2 * node + 1) * kBands];
        for (std::size_t b = 0; b < kBands; ++b) y[b] = std::min(left[b], right[b]);
    }

    void Put(std::size_t slot, std::uint32_t point)
    {
        SetLeaf(slot, point);
        for (std::size_t node = (leaves + slot) / 2; node >= 1; node /= 2) Combine(node);
    }

    // The band whose points include every point that is not far above bx.
    std::size_t BandFor(double bx) const
    {
        std::size_t b = 0;
        while (b + 1 < kBands && !FarAbove(threshold[b], bx)) ++b;
        return b;
    }

    bool MayPrecede(std::size_t node, std::size_t band, double bx, double by) const
    {
        return leastY[node * kBands + band] < by || FarBelow(leastX[node], bx);
    }

    // The first slot at or after `from` whose point precedes (bx, by): up from that slot's leaf
    // to the first subtree that may hold one, then down into it. A node passes the test only
    // when one of its children does (the least values are minima), so the way down never gets
    // stuck; a leaf that passes without preceding sends the search on to its right.
    std::size_t FirstPreceding(std::size_t from, std::size_t band, double bx, double by)
    {
        if (from >= leaves) return kNoSlot;
        std::size_t node = leaves + from;
        for (;;) {
            ++visits;
            if (MayPrecede(node, band, bx, by)) {
                while (node < leaves) {
                    node *= 2;
                    ++visits;
                    if (!MayPrecede(node, band, bx, by)) ++node;
                }
                const std::size_t slot = node - leaves;
                const MeasurePoint& p = points[occupant[slot]];
                if (Precedes(p.X, p.Y, bx, by)) return slot;
            }
            while ((node & 1) != 0) node /= 2;
            if (node == 0) return kNoSlot;
            ++node;
        }
    }

    // The running minima of the last step, by slot, and per slot the step (counted from 1) whose
    // minima went through it and where in their sequence.
    std::vector<std::size_t> lastMinima;
    std::vector<std::size_t> minima;
    std::vector<std::size_t> recordedAt;
    std::vector<std::size_t> recordedAs;
    std::size_t step = 0;

    // The running minimum of the step that starts at slot `front`: by jumps, or point by point.
    //
    // Between two steps only two slots change: the front one, before every other, and the slot
    // of the point selected last (that step's last minimum). So every step from one minimum of
    // the last step to the next, except the step onto the point selected, still holds: a running
    // minimum that meets the last step's sequence anywhere after its start follows it up to the
    // minimum before the selected point, and the search goes on from there.
    std::size_t Minimum(std::size_t front, bool jumping)
    {
        lastMinima.swap(minima);
        minima.clear();
        // The minima of the last step, the point it selected last.
        const std::size_t last = lastMinima.size();
        std::size_t best = front;
        double bx = points[occupant[front]].X;
        double by = points[occupant[front]].Y;
        if (jumping) {
            bool merged = false;
            minima.push_back(front);
            for (;;) {
                if (!merged && recordedAt[best] == step && recordedAs[best] >= 1 &&
                    recordedAs[best] + 2 < last) {
                    for (std::size_t j = recordedAs[best] + 1; j + 1 < last; ++j) {
                        minima.push_back(lastMinima[j]);
                    }
                    best = lastMinima[last - 2];
                    bx = points[occupant[best]].X;
                    by = points[occupant[best]].Y;
                    merged = true;
                }
                const std::size_t at = FirstPreceding(best + 1, BandFor(bx), bx, by);
                if (at == kNoSlot) break;
                minima.push_back(at);
                best = at;
                bx = points[occupant[at]].X;
                by = points[occupant[at]].Y;
            }
            ++step;
            for (std::size_t j = 0; j < minima.size(); ++j) {
                recordedAt[minima[j]] = step;
                recordedAs[minima[j]] = j;
            }
            return best;
        }
        ++step;
        for (std::size_t slot = front + 1; slot < leaves; ++slot) {
            ++visits;
            if (occupant[slot] == MeasurePointIndex::kNone) continue;
            const MeasurePoint& p = points[occupant[slot]];
            if (Precedes(p.X, p.Y, bx, by)) {
                best = slot;
                bx = p.X;
                by = p.Y;
            }
        }
        return best;
    }
};

void ReplayChain(const MeasurePointList& points, const Keyed* byX, std::vector<Keyed>& members,
                 std::size_t first, Arrangement& arrangement)
{
    for (Keyed& m : members) m.key = static_cast<double>(arrangement.where[m.point]);
    std::sort(members.begin(), members.end(), ByKey);
    ChainReplay replay(points, byX, members);

    const std::size_t k = members.size();
    std::size_t front = 0;
    std::size_t pointByPoint = 0;  // what scanning every point would have cost so far
    bool jumping = true;
    for (std::size_t step = 0; step < k; ++step) {
        while (replay.occupant[front] == MeasurePointIndex::kNone) ++front;
        pointByPoint += k - step;
        if (jumping && replay.visits > pointByPoint + 64) jumping = false;

        const std::size_t position = first + step;
        const std::size_t best = replay.Minimum(front, jumping);
        const std::uint32_t frontPoint = replay.occupant[front];
        const bool frontAtPosition = arrangement.where[frontPoint] == position;
        arrangement.Select(replay.occupant[best], position);
        if (best != front && frontAtPosition) {
            replay.Put(best, frontPoint);
            replay.Put(front, MeasurePointIndex::kNone);
        } else {
            replay.Put(best, MeasurePointIndex::kNone);
        }
    }
}

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
    bool allNear = Near(highX, lowX);
    for (std::size_t m = 1; allNear && m < k; ++m) {
        allNear = scratch[m - 1].key != scratch[m].key;
    }
    if (allNear) {
        for (std::size_t m = 0; m < k; ++m) arrangement.Select(scratch[m].point, first + m);
        return;
    }
    ReplayChain(points, members, scratch, first, arrangement);
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
    // Grown first, so that the slot found for the point's own cell is still the slot to fill.
    if ((index.cells + 1) * 2 > index.slots.size()) GrowIndex(index, points);
    const AxisCell cx = AxisCellOf(x);
    const AxisCell cy = AxisCellOf(y);
    const std::uint64_t hash = CellHash(cx.cell, cy.cell);
    const std::size_t at = FindSlot(index, points, cx.cell, cy.cell, hash);
    if (ChainHasNear(index, points, index.slots[at], x, y) ||
        NeighboursHaveNear(index, points, cx, cy, x, y)) {
        return;
    }

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
    turnOnly.scaled = false;
    SetTurn(turnOnly, -state.axisAngle);

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
        while (end < n && Near(byX[end].key, byX[end - 1].key)) ++end;
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
