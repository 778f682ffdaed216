// Ordering and grouping: the points in the order of the tolerant selection sort, then one point
// kept per position.
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
//    current positions (ReplayChain), at most O(k^2) for k points. Turned drawings make such
//    chains common: 15 significant digits in the host's file leave the X of one grid column
//    spread after the turn back, the wider the further the plan reaches from the origin (3e-10
//    in a plan of a thousand segments, 49e-10 to 85e-10 in one of a million), so a whole column
//    becomes one chain.
// Either way the exchanges are carried out on a permutation (which original point stands at
// which position), so that every later component finds its points where the selection sort
// would have left them: step i exchanges positions i and p exactly when the selected point
// stands at p != i.
//
// Reading order: this file (the components, step 3, and the permutation); the sort by X in
// common/sort_by_key_bits.hpp; the replay of step 4 in measure_points_chain_internal.hpp and
// measure_points_chain.cpp.
#include "dimension/measure_points.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "common/geometry.hpp"
#include "common/sort_by_key_bits.hpp"
#include "dimension/measure_points_chain_internal.hpp"
#include "dimension/measure_points_internal.hpp"

namespace Dimension {
namespace {

// The comparison of the ordering: does (x, y) come before the running minimum (bx, by)? X
// within 1e-10 counts as equal and Y decides; strictly, so that of two equal points the earlier
// stays.
bool Precedes(double x, double y, double bx, double by)
{
    return NearCoordinates(bx, x) ? by > y : bx > x;
}

// Which point of the input stands at which position while the steps are carried out (not the
// arrangement of a run's dimensions).
struct PointPermutation {
    std::vector<std::uint32_t> at;     // position -> point (index into the input)
    std::vector<std::uint32_t> where;  // point -> position

    // The step at `position` selects `point`: it and the point at that position change places.
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

// A function object rather than a function, so that the sorts compare inline instead of
// calling through a pointer for each of their n log n comparisons.
struct ByKey {
    bool operator()(const Keyed& a, const Keyed& b) const { return a.key < b.key; }
};

// What placing a component needs besides the points, kept from one component to the next.
struct ComponentScratch {
    std::size_t narrowRanksBelow = 0;  // chains of fewer points replay on 16-bit ranks
    std::vector<Keyed> byY;
    std::vector<std::uint64_t> byPosition;  // per slot: position << 32 | X rank
    ChainRanks ranks;
    std::vector<std::uint32_t> selected;  // per step: the X rank of the point selected
};

// Step 4: the steps of a chain. byX: its points in ascending X; byY: the same in ascending Y,
// with their X ranks.
void PlaceChain(const Keyed* byX, const std::vector<Keyed>& byY, ComponentScratch& scratch,
                std::size_t first, PointPermutation& permutation)
{
    std::vector<std::uint64_t>& byPosition = scratch.byPosition;
    byPosition.clear();
    for (const Keyed& m : byY) {
        byPosition.push_back(std::uint64_t{permutation.where[m.point]} << 32 | m.rank);
    }
    std::sort(byPosition.begin(), byPosition.end());
    SetChainRanks(byX, byY, scratch.ranks);
    ReplayChain(scratch.ranks, byPosition, first, byY.size() < scratch.narrowRanksBelow,
                scratch.selected);
    for (std::size_t step = 0; step < byY.size(); ++step) {
        permutation.Select(byX[scratch.selected[step]].point, first + step);
    }
}

// Steps first .. first + k - 1 of the selection sort, which select the k points of one
// component, members in ascending X.
void PlaceComponent(const MeasurePointList& points, const Keyed* members, std::size_t k,
                    std::size_t first, PointPermutation& permutation, ComponentScratch& scratch)
{
    std::vector<Keyed>& byY = scratch.byY;
    byY.clear();
    for (std::size_t m = 0; m < k; ++m) {
        const std::uint32_t p = members[m].point;
        byY.push_back({points[p].Y, p, static_cast<std::uint32_t>(m)});
    }
    std::sort(byY.begin(), byY.end(), ByKey{});

    // Step 3: the X range is near, so by monotony every pair is near; and no two Y are equal.
    const double lowX = members[0].key;
    const double highX = members[k - 1].key;
    bool allNear = NearCoordinates(highX, lowX);
    for (std::size_t m = 1; allNear && m < k; ++m) allNear = byY[m - 1].key != byY[m].key;
    if (allNear) {
        for (std::size_t m = 0; m < k; ++m) permutation.Select(byY[m].point, first + m);
        return;
    }
    PlaceChain(members, byY, scratch, first, permutation);
}

void OrderMeasurePointsWith(MeasurePointList& points, std::size_t narrowRanksBelow)
{
    const std::size_t n = points.size();
    if (n < 2) return;
    // Without finite coordinates the comparison is no order at all (and NaN is near nothing):
    // nothing to gain, so the sort itself runs.
    const bool allFinite = std::all_of(points.begin(), points.end(), [](const MeasurePoint& p) {
        return IsFinitePoint(p.X, p.Y);
    });
    // A chain's ranks must stay below the largest 32-bit signed integer.
    if (!allFinite || n >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        OrderMeasurePointsBySelection(points);
        return;
    }

    std::vector<Keyed> byX(n);
    PointPermutation permutation;
    permutation.at.resize(n);
    permutation.where.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const auto p = static_cast<std::uint32_t>(i);
        byX[i] = {points[i].X, p, 0};
        permutation.at[i] = p;
        permutation.where[i] = p;
    }
    // By X, and -0 before 0: the two are near each other, as equal X are, and nothing after this
    // tells near points apart by more than their values.
    MyFunc::SortByKeyBits(byX, [](const Keyed& k) { return k.key; });

    // Step 1: the components, cut between neighbours in X that are not near.
    ComponentScratch scratch;
    scratch.narrowRanksBelow = narrowRanksBelow;
    std::size_t first = 0;
    while (first < n) {
        std::size_t end = first + 1;
        while (end < n && NearCoordinates(byX[end].key, byX[end - 1].key)) ++end;
        PlaceComponent(points, byX.data() + first, end - first, first, permutation, scratch);
        first = end;
    }

    // Only X and Y move; Kept stays with the position, as in the exchanges of the sort.
    MeasurePointList ordered = points;
    for (std::size_t i = 0; i < n; ++i) {
        ordered[i].X = points[permutation.at[i]].X;
        ordered[i].Y = points[permutation.at[i]].Y;
    }
    points.swap(ordered);
}

}  // namespace

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
    OrderMeasurePointsWith(points, kNarrowRanksBelow);
}

void OrderMeasurePointsOnWideRanks(MeasurePointList& points)
{
    OrderMeasurePointsWith(points, 0);
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
