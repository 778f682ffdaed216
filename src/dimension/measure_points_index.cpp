// The point index of the acquisition: each point is looked up among the points already collected
// near it, so that a point at a position already taken is dropped in constant time.
#include "dimension/measure_points.hpp"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "dimension/measure_points_internal.hpp"

namespace Dimension {
namespace {

bool SamePosition(const MeasurePoint& point, double x, double y)
{
    return std::fabs(static_cast<long double>(point.X) - x) <= kSamePosition &&
           std::fabs(static_cast<long double>(point.Y) - y) <= kSamePosition;
}

// ---- The index of the collector ----
//
// A point can only match points whose coordinates differ from its own by at most 1e-10 (the
// extended difference is at most 1e-10, so the exact one at most 1e-10 * (1 + 2^-52)), which is
// w = 0.1074 of a cell: cells are 2^-30 (about 9.3e-10) wide in both directions. The cells are
// centred on the multiples of 2^-30, so that whole and half millimetres lie in the middle of
// theirs and need one look-up: a coordinate's place is t = v * 2^30 + 1/2, its cell floor(t).
// The cell of a match is the point's own or, when the point lies within an eighth of a cell
// (0.125 > w) of a border, the neighbour across it.
//
// Why the eighth is enough although t is rounded: v * 2^30 is exact, and adding 1/2 is exact
// too (both are multiples of the ulp of v * 2^30, which is at most 1/2 below 2^52) unless the
// sum rounds, which it does only where its magnitude is below 1 (off by at most 2^-53) or where
// it carries past a power of two 2^e (off by at most u, the ulp of v * 2^30 there). Rounding is
// monotonic and the borders are integers, which doubles hold exactly, so a place rounds at most
// onto the border above it, where its fraction 0 looks across that border too. What rounding
// can change is the distance to a border, and it never takes a match out of reach:
// - off by 2^-53 at most: a match across a border lies within w + 2^-52 < 0.125 of it;
// - at a carry: the places just below 2^e are exact multiples of u, so at least u below it, and
//   the place of a point above 2^e moves by at most u: its rounded distance to the border is at
//   most its true distance to any point below the border, so at most w for a match.
// From 2^22 on, neighbouring doubles are at least 2^-31 apart: only an equal coordinate can
// match, and the coordinate's own bits name its cell; those numbers (2^62 and beyond) never
// meet a grid cell number (below 2^52).

constexpr double kCellsPerUnit = 0x1p30;
constexpr double kGridRange = 0x1p22;
constexpr double kBorderMargin = 0.125;

struct AxisCell {
    std::int64_t cell = 0;
    bool lowerToo = false;  // within an eighth of a cell of the lower border
    bool upperToo = false;  // within an eighth of a cell of the upper border
};

AxisCell AxisCellOf(double v)
{
    AxisCell result;
    if (std::fabs(v) < kGridRange) {
        const double place = v * kCellsPerUnit + 0.5;
        // floor(place): truncation, one lower for a negative place with a fraction. The place
        // is below 2^52 + 1 in magnitude, so both conversions are exact.
        auto whole = static_cast<std::int64_t>(place);
        if (static_cast<double>(whole) > place) --whole;
        const double inside = place - static_cast<double>(whole);
        result.cell = whole;
        result.lowerToo = inside < kBorderMargin;
        result.upperToo = inside >= 1.0 - kBorderMargin;
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

// Points beyond this count are checked by the scan (two thousand million points would not fit
// in memory anyway). Below it there are fewer than 2^31 cells, so the table never outgrows 2^32
// slots, and the low half of a hash names the home slot at every size.
constexpr std::size_t kMaxIndexed = 0x7FFF'FFFF;

std::uint64_t SlotValue(std::uint64_t hash, std::uint32_t firstPoint)
{
    return (hash & kLowHalf) << 32 | (static_cast<std::uint64_t>(firstPoint) + 1);
}

std::size_t HomeSlot(const MeasurePointIndex& index, std::uint64_t hash)
{
    return static_cast<std::size_t>(hash & kLowHalf) & (index.slots.size() - 1);
}

std::uint32_t FirstPoint(std::uint64_t slot)
{
    return static_cast<std::uint32_t>((slot & kLowHalf) - 1);
}

// The slot of cell (cx, cy): the one holding it, or the empty one where it would go.
std::size_t FindSlot(const MeasurePointIndex& index, const MeasurePointList& points,
                     std::int64_t cx, std::int64_t cy, std::uint64_t hash)
{
    const std::size_t mask = index.slots.size() - 1;
    const std::uint64_t tag = hash & kLowHalf;
    for (std::size_t at = HomeSlot(index, hash);; at = (at + 1) & mask) {
        const std::uint64_t slot = index.slots[at];
        if (slot == 0) return at;
        if ((slot >> 32) != tag) continue;
        const MeasurePoint& first = points[FirstPoint(slot)];
        if (AxisCellOf(first.X).cell == cx && AxisCellOf(first.Y).cell == cy) return at;
    }
}

void GrowIndex(MeasurePointIndex& index)
{
    std::vector<std::uint64_t> old(index.slots.empty() ? 0 : index.slots.size() * 2, 0);
    if (old.empty()) old.assign(1024, 0);
    old.swap(index.slots);
    const std::size_t mask = index.slots.size() - 1;
    for (const std::uint64_t slot : old) {
        if (slot == 0) continue;
        std::size_t at = HomeSlot(index, slot >> 32);
        while (index.slots[at] != 0) at = (at + 1) & mask;
        index.slots[at] = slot;
    }
}

// True when a point chained from `slot` lies within 1e-10 of (x, y).
bool ChainHasNear(const MeasurePointIndex& index, const MeasurePointList& points,
                  std::uint64_t slot, double x, double y)
{
    if (slot == 0) return false;
    for (std::uint32_t i = FirstPoint(slot); i != MeasurePointIndex::kNone; i = index.next[i]) {
        if (SamePosition(points[i], x, y)) return true;
    }
    return false;
}

constexpr std::uint8_t kLowerX = 1;
constexpr std::uint8_t kUpperX = 2;
constexpr std::uint8_t kLowerY = 4;
constexpr std::uint8_t kUpperY = 8;

// True when a point of a neighbouring cell that the window of p reaches lies within 1e-10 of
// it; the point's own cell is looked at by the caller.
bool NeighboursHaveNear(const MeasurePointIndex& index, const MeasurePointList& points,
                        const PendingMeasurePoint& p)
{
    const std::int64_t lowX = (p.borders & kLowerX) != 0 ? -1 : 0;
    const std::int64_t highX = (p.borders & kUpperX) != 0 ? 1 : 0;
    const std::int64_t lowY = (p.borders & kLowerY) != 0 ? -1 : 0;
    const std::int64_t highY = (p.borders & kUpperY) != 0 ? 1 : 0;
    for (std::int64_t dx = lowX; dx <= highX; ++dx) {
        for (std::int64_t dy = lowY; dy <= highY; ++dy) {
            if (dx == 0 && dy == 0) continue;
            const std::int64_t nx = p.cellX + dx;
            const std::int64_t ny = p.cellY + dy;
            const std::size_t at = FindSlot(index, points, nx, ny, CellHash(nx, ny));
            if (ChainHasNear(index, points, index.slots[at], p.x, p.y)) return true;
        }
    }
    return false;
}

// Asks the memory for what deciding p will read first: the point named by the first slot from
// p's home slot on that carries the tag of p's cell (the slot FindSlot will most likely stop
// at, which need not be the home slot), and that point's link. The home slot itself was asked
// for when p was offered; the slots after it mostly share its cache line.
void PrefetchFirstPoint(const MeasurePointCollector& collector, const PendingMeasurePoint& p)
{
    const MeasurePointIndex& index = collector.index;
    if (!p.finite || index.slots.empty()) return;
    const std::size_t mask = index.slots.size() - 1;
    const std::uint64_t tag = p.hash & kLowHalf;
    for (std::size_t at = HomeSlot(index, p.hash);; at = (at + 1) & mask) {
        const std::uint64_t slot = index.slots[at];
        if (slot == 0) return;
        if ((slot >> 32) == tag) {
            const std::uint32_t first = FirstPoint(slot);
            __builtin_prefetch(&collector.points[first]);
            __builtin_prefetch(&index.next[first]);
            return;
        }
    }
}

// Appends p unless a point already collected lies at its position.
void Decide(MeasurePointCollector& collector, const PendingMeasurePoint& p)
{
    MeasurePointList& points = collector.points;
    MeasurePointIndex& index = collector.index;
    // A coordinate that is not finite is never within 1e-10 of anything.
    if (!p.finite) {
        points.push_back(MeasurePoint{p.x, p.y, 1});
        index.next.push_back(MeasurePointIndex::kNone);
        return;
    }
    if (points.size() >= kMaxIndexed) {
        AddMeasurePointLinear(points, p.x, p.y);
        return;
    }
    // Grown first, so that the slot found for the point's own cell is still the slot to fill.
    if ((index.cells + 1) * 2 > index.slots.size()) GrowIndex(index);
    const std::size_t at = FindSlot(index, points, p.cellX, p.cellY, p.hash);
    if (ChainHasNear(index, points, index.slots[at], p.x, p.y) ||
        (p.borders != 0 && NeighboursHaveNear(index, points, p))) {
        return;
    }

    const auto added = static_cast<std::uint32_t>(points.size());
    std::uint32_t chained = MeasurePointIndex::kNone;
    if (index.slots[at] == 0) {
        ++index.cells;
    } else {
        chained = FirstPoint(index.slots[at]);
    }
    points.push_back(MeasurePoint{p.x, p.y, 1});
    index.next.push_back(chained);
    index.slots[at] = SlotValue(p.hash, added);
}

// How many points ahead of the one being decided the first point is asked for.
constexpr std::size_t kFetchAhead = 8;

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
    PendingMeasurePoint p;
    p.x = x;
    p.y = y;
    p.finite = IsFinitePoint(x, y);
    if (p.finite) {
        // The point offered last again: whatever kept that one out keeps this one out, and if
        // it was kept, it does. Infinite points match nothing, not even themselves, and the
        // scan of the reference stages knows no such shortcut.
        if (collector.hasLast && x == collector.lastX && y == collector.lastY) return;
        collector.lastX = x;
        collector.lastY = y;
        collector.hasLast = true;
        const AxisCell cx = AxisCellOf(x);
        const AxisCell cy = AxisCellOf(y);
        p.cellX = cx.cell;
        p.cellY = cy.cell;
        p.hash = CellHash(cx.cell, cy.cell);
        p.borders = static_cast<std::uint8_t>((cx.lowerToo ? kLowerX : 0) |
                                              (cx.upperToo ? kUpperX : 0) |
                                              (cy.lowerToo ? kLowerY : 0) |
                                              (cy.upperToo ? kUpperY : 0));
        const MeasurePointIndex& index = collector.index;
        if (!index.slots.empty()) __builtin_prefetch(&index.slots[HomeSlot(index, p.hash)]);
    }
    collector.pending[collector.pendingCount++] = p;
    if (collector.pendingCount == collector.pending.size()) FlushMeasurePoints(collector);
}

void FlushMeasurePoints(MeasurePointCollector& collector)
{
    const std::size_t count = collector.pendingCount;
    for (std::size_t i = 0; i < count && i < kFetchAhead; ++i) {
        PrefetchFirstPoint(collector, collector.pending[i]);
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (i + kFetchAhead < count) {
            PrefetchFirstPoint(collector, collector.pending[i + kFetchAhead]);
        }
        Decide(collector, collector.pending[i]);
    }
    collector.pendingCount = 0;
}

}  // namespace Dimension
