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

}  // namespace Dimension
