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
//    current positions (ChainReplay), at most O(k^2) for k points. Turned drawings make such
//    chains common: 15 significant digits in the host's file leave the X of one grid column
//    spread after the turn back, the wider the further the plan reaches from the origin (3e-10
//    in a plan of a thousand segments, 49e-10 to 85e-10 in one of a million), so a whole column
//    becomes one chain.
// Either way the exchanges are carried out on a permutation (which original point stands at
// which position), so that every later component finds its points where the selection sort
// would have left them: step i exchanges positions i and p exactly when the selected point
// stands at p != i.
#include "dimension/measure_points.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "common/geometry.hpp"
#include "dimension/measure_points_internal.hpp"

namespace Dimension {
namespace {

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

// An empty slot of a chain's replay.
constexpr std::uint32_t kNoPoint = 0xFFFF'FFFFu;

struct Keyed {
    double key;
    std::uint32_t point;
};

// A function object rather than a function, so that the sorts compare inline instead of
// calling through a pointer for each of their n log n comparisons.
struct ByKey {
    bool operator()(const Keyed& a, const Keyed& b) const { return a.key < b.key; }
};

// The keys in ascending order, a large list by their bits (a radix sort, in passes of 11 bits
// from the lowest; a pass whose digit is the same for every key is left out). Keys of equal
// value may come out in any order, also -0 and 0: nothing that reads the sorted list looks at
// more than their values.
void SortByKey(std::vector<Keyed>& keyed)
{
    constexpr std::size_t kDigitBits = 11;
    constexpr std::size_t kDigits = std::size_t{1} << kDigitBits;
    constexpr std::size_t kPasses = (64 + kDigitBits - 1) / kDigitBits;
    const std::size_t n = keyed.size();
    if (n < 4096) {
        std::sort(keyed.begin(), keyed.end(), ByKey{});
        return;
    }
    // Ascending doubles as ascending integers: the sign bit set for the positive ones, every
    // bit flipped for the negative ones.
    const auto ordinal = [](double key) {
        const auto bits = std::bit_cast<std::uint64_t>(key);
        return (bits >> 63) != 0 ? ~bits : bits | (std::uint64_t{1} << 63);
    };
    const auto digit = [&](const Keyed& k, std::size_t pass) {
        return static_cast<std::size_t>((ordinal(k.key) >> (pass * kDigitBits)) & (kDigits - 1));
    };
    std::vector<std::array<std::size_t, kDigits>> counts(kPasses);
    for (const Keyed& k : keyed) {
        for (std::size_t pass = 0; pass < kPasses; ++pass) ++counts[pass][digit(k, pass)];
    }
    std::vector<Keyed> other(n);
    for (std::size_t pass = 0; pass < kPasses; ++pass) {
        std::array<std::size_t, kDigits>& count = counts[pass];
        if (count[digit(keyed[0], pass)] == n) continue;
        std::size_t start = 0;
        for (std::size_t& c : count) {
            const std::size_t here = c;
            c = start;
            start += here;
        }
        for (const Keyed& k : keyed) other[count[digit(k, pass)]++] = k;
        keyed.swap(other);
    }
}

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
        occupant.assign(leaves, kNoPoint);
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
        if (point == kNoPoint) {
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
            if (occupant[slot] == kNoPoint) continue;
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
    std::sort(members.begin(), members.end(), ByKey{});
    ChainReplay replay(points, byX, members);

    const std::size_t k = members.size();
    std::size_t front = 0;
    std::size_t pointByPoint = 0;  // what scanning every point would have cost so far
    bool jumping = true;
    for (std::size_t step = 0; step < k; ++step) {
        while (replay.occupant[front] == kNoPoint) ++front;
        pointByPoint += k - step;
        if (jumping && replay.visits > pointByPoint + 64) jumping = false;

        const std::size_t position = first + step;
        const std::size_t best = replay.Minimum(front, jumping);
        const std::uint32_t frontPoint = replay.occupant[front];
        const bool frontAtPosition = arrangement.where[frontPoint] == position;
        arrangement.Select(replay.occupant[best], position);
        if (best != front && frontAtPosition) {
            replay.Put(best, frontPoint);
            replay.Put(front, kNoPoint);
        } else {
            replay.Put(best, kNoPoint);
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
    std::sort(scratch.begin(), scratch.end(), ByKey{});

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
    SortByKey(byX);

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
