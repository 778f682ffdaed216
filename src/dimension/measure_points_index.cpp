// The point index of the acquisition: each point is looked up among the points already collected
// near it, so that a point at a position already taken is dropped in constant time.
#include "dimension/measure_points.hpp"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "dimension/measure_points_internal.hpp"

namespace Dimension {
namespace {

bool SamePosition(double px, double py, double x, double y)
{
    return std::fabs(static_cast<long double>(px) - x) <= kSamePosition &&
           std::fabs(static_cast<long double>(py) - y) <= kSamePosition;
}

bool SamePosition(const MeasurePoint& point, double x, double y)
{
    return SamePosition(point.X, point.Y, x, y);
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

using Place = MeasurePointIndex::Place;

// Points beyond this count are checked by the scan (two thousand million points would not fit
// in memory anyway). Below it the table never outgrows 2^32 slots.
constexpr std::size_t kMaxIndexed = 0x7FFF'FFFF;

constexpr double kEmpty = std::numeric_limits<double>::quiet_NaN();

bool IsEmpty(const Place& place) { return std::isnan(place.x); }

std::size_t HomeSlot(const MeasurePointIndex& index, std::uint64_t hash)
{
    return static_cast<std::size_t>(hash & (index.slots.size() - 1));
}

// True when a point in the run of full slots from the home slot of `hash` lies within 1e-10 of
// (x, y); otherwise `at` is the empty slot that ends the run. The run also holds points of other
// cells: one of them within 1e-10 is a point collected at the position all the same.
bool RunHasNear(const MeasurePointIndex& index, std::uint64_t hash, double x, double y,
                std::size_t& at)
{
    const std::size_t mask = index.slots.size() - 1;
    for (at = HomeSlot(index, hash); !IsEmpty(index.slots[at]); at = (at + 1) & mask) {
        if (SamePosition(index.slots[at].x, index.slots[at].y, x, y)) return true;
    }
    return false;
}

void GrowIndex(MeasurePointIndex& index)
{
    const std::size_t size = index.slots.empty() ? 1024 : index.slots.size() * 2;
    std::vector<Place> old(size, Place{kEmpty, kEmpty});
    old.swap(index.slots);
    const std::size_t mask = size - 1;
    for (const Place& place : old) {
        if (IsEmpty(place)) continue;
        const std::uint64_t hash = CellHash(AxisCellOf(place.x).cell, AxisCellOf(place.y).cell);
        std::size_t at = HomeSlot(index, hash);
        while (!IsEmpty(index.slots[at])) at = (at + 1) & mask;
        index.slots[at] = place;
    }
}

constexpr std::uint8_t kLowerX = 1;
constexpr std::uint8_t kUpperX = 2;
constexpr std::uint8_t kLowerY = 4;
constexpr std::uint8_t kUpperY = 8;

// True when a point of a neighbouring cell that the window of p reaches lies within 1e-10 of
// it; the point's own cell is looked at by the caller.
bool NeighboursHaveNear(const MeasurePointIndex& index, const PendingMeasurePoint& p)
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
            std::size_t at = 0;
            if (RunHasNear(index, CellHash(nx, ny), p.x, p.y, at)) return true;
        }
    }
    return false;
}

// Appends p unless a point already collected lies at its position.
void Decide(MeasurePointCollector& collector, const PendingMeasurePoint& p)
{
    MeasurePointList& points = collector.points;
    MeasurePointIndex& index = collector.index;
    // A coordinate that is not finite is never within 1e-10 of anything.
    if (!p.finite) {
        points.push_back(MeasurePoint{p.x, p.y, 1});
        return;
    }
    if (points.size() >= kMaxIndexed) {
        AddMeasurePointLinear(points, p.x, p.y);
        return;
    }
    // Grown first, so that the empty slot found for the point is still the slot to fill. At
    // most three quarters full: a sparser table would cost more memory than the probes it saves.
    if ((index.filled + 1) * 4 > index.slots.size() * 3) GrowIndex(index);
    std::size_t at = 0;
    if (RunHasNear(index, p.hash, p.x, p.y, at) ||
        (p.borders != 0 && NeighboursHaveNear(index, p))) {
        return;
    }
    index.slots[at] = Place{p.x, p.y};
    ++index.filled;
    points.push_back(MeasurePoint{p.x, p.y, 1});
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
    for (std::size_t i = 0; i < count; ++i) Decide(collector, collector.pending[i]);
    collector.pendingCount = 0;
}

}  // namespace Dimension
