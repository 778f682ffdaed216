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
    std::uint32_t rank;  // in a chain: the point's place in the chain's X order
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
// The replay compares ranks, not coordinates. A point's X rank is its place in the chain's X
// order, its Y rank the place of its Y among the chain's distinct Y. The extended difference
// from a fixed X grows as the other X falls, so the points near a point p (X within 1e-10) are
// the X ranks nearFrom[p] .. nearTo[p], those below are far below it and those above far above.
// So q precedes the running minimum m exactly when
//     xRank(q) < nearFrom[m]   or   xRank(q) <= nearTo[m] and yRank(q) < yRank(m).
struct ChainRanks {
    std::vector<std::uint32_t> yRank;     // per point of the chain, by X rank
    std::vector<std::uint32_t> nearFrom;  // per point: the first X rank not far below it
    std::vector<std::uint32_t> nearTo;    // per point: the last X rank not far above it
};

// byX: the chain's points in ascending X; byY: the same in ascending Y, with their X ranks.
void SetRanks(const Keyed* byX, const std::vector<Keyed>& byY, ChainRanks& ranks)
{
    const std::size_t k = byY.size();
    ranks.yRank.resize(k);
    std::uint32_t y = 0;
    for (std::size_t i = 0; i < k; ++i) {
        if (i > 0 && byY[i].key != byY[i - 1].key) ++y;
        ranks.yRank[byY[i].rank] = y;
    }
    ranks.nearFrom.resize(k);
    ranks.nearTo.resize(k);
    std::size_t low = 0;
    std::size_t high = 0;
    for (std::size_t i = 0; i < k; ++i) {
        const double x = byX[i].key;
        while (FarBelow(byX[low].key, x)) ++low;
        high = std::max(high, i);
        while (high + 1 < k && !FarAbove(byX[high + 1].key, x)) ++high;
        ranks.nearFrom[i] = static_cast<std::uint32_t>(low);
        ranks.nearTo[i] = static_cast<std::uint32_t>(high);
    }
}

// A tree over the slots tells for every node whether a point below it can precede the running
// minimum m, so that a step jumps from one taken point to the next instead of looking at every
// point. A node is one cache line of ranks: the least X rank below it (the test for "far
// below"), and per band the least Y rank of its points whose X rank is at most the band's
// threshold (quantiles of the chain's X ranks). The test for "near and lower" reads the lowest
// band that holds every point not far above m, so only points between nearTo[m] and that band's
// threshold can pass it without preceding; a leaf is checked exactly. Chains of fewer than 32,767
// points have 16-bit ranks and 31 bands, larger ones 32-bit ranks and 15 bands (the largest chain
// of a turned plan of a million segments has 3,248 points). Should the jumps still cost more
// than looking at every point, the rest of the chain is scanned point by point.
template <typename Rank>
struct ChainReplay {
    static constexpr std::size_t kNoSlot = std::numeric_limits<std::size_t>::max();
    static constexpr std::size_t kLanes = 64 / sizeof(Rank);
    static constexpr std::size_t kBands = kLanes - 1;
    static constexpr Rank kNone = std::numeric_limits<Rank>::max();  // above every rank

    struct alignas(64) Node {
        std::array<Rank, kLanes> lane;  // [0]: least X rank; [1 + b]: band b's least Y rank
    };

    const ChainRanks& ranks;
    std::array<std::uint32_t, kBands> threshold{};  // X ranks, ascending; the last is k - 1
    std::vector<Rank> nearFrom;                     // per point, as a rank
    std::vector<Rank> yRank;                        // per point, as a rank
    std::vector<std::uint8_t> lane;                 // per point: the lane of its band
    std::size_t leaves = 1;
    std::vector<Node> nodes;
    std::vector<std::uint32_t> occupant;  // per slot: the point's X rank, or kNoPoint
    std::size_t visits = 0;

    // byPosition: per slot, its position << 32 | the X rank of its point, ascending.
    ChainReplay(const ChainRanks& chainRanks, const std::vector<std::uint64_t>& byPosition)
        : ranks(chainRanks)
    {
        const std::size_t k = byPosition.size();
        for (std::size_t b = 0; b < kBands; ++b) {
            threshold[b] = static_cast<std::uint32_t>(
                b + 1 == kBands ? k - 1 : std::max<std::size_t>((b + 1) * k / kBands, 1) - 1);
        }
        nearFrom.resize(k);
        yRank.resize(k);
        lane.resize(k);
        for (std::size_t p = 0; p < k; ++p) {
            nearFrom[p] = static_cast<Rank>(ranks.nearFrom[p]);
            yRank[p] = static_cast<Rank>(ranks.yRank[p]);
            const auto band = static_cast<std::size_t>(
                std::lower_bound(threshold.begin(), threshold.end(), ranks.nearTo[p]) -
                threshold.begin());
            lane[p] = static_cast<std::uint8_t>(1 + band);
        }
        while (leaves < k) leaves *= 2;
        Node empty;
        empty.lane.fill(kNone);
        nodes.assign(2 * leaves, empty);
        occupant.assign(leaves, kNoPoint);
        recordedAt.assign(leaves, 0);
        recordedAs.assign(leaves, 0);
        for (std::size_t slot = 0; slot < k; ++slot) {
            SetLeaf(slot, static_cast<std::uint32_t>(byPosition[slot]));
        }
        for (std::size_t node = leaves - 1; node >= 1; --node) Combine(node);
    }

    void SetLeaf(std::size_t slot, std::uint32_t point)
    {
        occupant[slot] = point;
        std::array<Rank, kLanes>& leaf = nodes[leaves + slot].lane;
        if (point == kNoPoint) {
            leaf.fill(kNone);
            return;
        }
        leaf[0] = static_cast<Rank>(point);
        for (std::size_t b = 0; b < kBands; ++b) {
            leaf[1 + b] = threshold[b] >= point ? yRank[point] : kNone;
        }
    }

    // Sets a node from its children; false when it stays as it was, and so does everything
    // above it. Not inlined: on its own the compiler takes several lanes at a time.
    [[gnu::noinline]] bool Combine(std::size_t node)
    {
        const std::array<Rank, kLanes>& left = nodes[2 * node].lane;
        const std::array<Rank, kLanes>& right = nodes[2 * node + 1].lane;
        std::array<Rank, kLanes>& stored = nodes[node].lane;
        std::array<Rank, kLanes> least;
        for (std::size_t l = 0; l < kLanes; ++l) least[l] = std::min(left[l], right[l]);
        bool same = true;
        for (std::size_t l = 0; l < kLanes; ++l) same = same && least[l] == stored[l];
        if (same) return false;
        stored = least;
        return true;
    }

    void Put(std::size_t slot, std::uint32_t point)
    {
        SetLeaf(slot, point);
        for (std::size_t node = (leaves + slot) / 2; node >= 1 && Combine(node); node /= 2) {
        }
    }

    bool Precedes(std::uint32_t q, std::uint32_t m) const
    {
        return q < static_cast<std::uint32_t>(nearFrom[m]) ||
               (q <= ranks.nearTo[m] && yRank[q] < yRank[m]);
    }

    bool MayPrecede(std::size_t node, std::uint32_t m) const
    {
        const std::array<Rank, kLanes>& here = nodes[node].lane;
        return here[0] < nearFrom[m] || here[lane[m]] < yRank[m];
    }

    // The first slot at or after `from` whose point precedes the point m: up from that slot's
    // leaf to the first subtree that may hold one, then down into it; past a leaf whose point
    // passes the test without preceding, on to its right.
    std::size_t FirstPreceding(std::size_t from, std::uint32_t m)
    {
        if (from >= leaves) return kNoSlot;
        std::size_t node = leaves + from;
        for (;;) {
            ++visits;
            if (MayPrecede(node, m)) {
                if (node < leaves) {
                    node *= 2;
                    continue;
                }
                const std::size_t slot = node - leaves;
                if (Precedes(occupant[slot], m)) return slot;
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
                    merged = true;
                }
                const std::size_t at = FirstPreceding(best + 1, occupant[best]);
                if (at == kNoSlot) break;
                minima.push_back(at);
                best = at;
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
            if (Precedes(occupant[slot], occupant[best])) best = slot;
        }
        return best;
    }
};

template <typename Rank>
void RunReplay(const Keyed* byX, const ChainRanks& ranks,
               const std::vector<std::uint64_t>& byPosition, std::size_t first,
               Arrangement& arrangement)
{
    ChainReplay<Rank> replay(ranks, byPosition);
    const std::size_t k = byPosition.size();
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
        // A slot keeps its position: the front point stands at the step's position exactly
        // when its slot's position is that one.
        const bool frontAtPosition = (byPosition[front] >> 32) == position;
        arrangement.Select(byX[replay.occupant[best]].point, position);
        if (best != front && frontAtPosition) {
            replay.Put(best, frontPoint);
            replay.Put(front, kNoPoint);
        } else {
            replay.Put(best, kNoPoint);
        }
    }
}

// What placing a component needs besides the points, kept from one component to the next.
struct ComponentScratch {
    std::size_t narrowChainsBelow = 0;  // chains of fewer points replay on 16-bit ranks
    std::vector<Keyed> byY;
    std::vector<std::uint64_t> byPosition;  // position << 32 | X rank
    ChainRanks ranks;
};

// The steps of a chain. byX: its points in ascending X; members: the same in ascending Y, with
// their X ranks.
void ReplayChain(const Keyed* byX, const std::vector<Keyed>& members, ComponentScratch& scratch,
                 std::size_t first, Arrangement& arrangement)
{
    std::vector<std::uint64_t>& byPosition = scratch.byPosition;
    byPosition.clear();
    for (const Keyed& m : members) {
        byPosition.push_back(std::uint64_t{arrangement.where[m.point]} << 32 | m.rank);
    }
    std::sort(byPosition.begin(), byPosition.end());
    SetRanks(byX, members, scratch.ranks);
    if (members.size() < scratch.narrowChainsBelow) {
        RunReplay<std::int16_t>(byX, scratch.ranks, byPosition, first, arrangement);
    } else {
        RunReplay<std::int32_t>(byX, scratch.ranks, byPosition, first, arrangement);
    }
}

// Steps first .. first + k - 1 of the selection sort, which select the k points of one
// component (given in any order).
void PlaceComponent(const MeasurePointList& points, const Keyed* members, std::size_t k,
                    std::size_t first, Arrangement& arrangement, ComponentScratch& scratch)
{
    std::vector<Keyed>& byY = scratch.byY;
    byY.clear();
    for (std::size_t m = 0; m < k; ++m) {
        const std::uint32_t p = members[m].point;
        byY.push_back({points[p].Y, p, static_cast<std::uint32_t>(m)});
    }
    std::sort(byY.begin(), byY.end(), ByKey{});

    const double lowX = members[0].key;
    const double highX = members[k - 1].key;
    bool allNear = Near(highX, lowX);
    for (std::size_t m = 1; allNear && m < k; ++m) allNear = byY[m - 1].key != byY[m].key;
    if (allNear) {
        for (std::size_t m = 0; m < k; ++m) arrangement.Select(byY[m].point, first + m);
        return;
    }
    ReplayChain(members, byY, scratch, first, arrangement);
}

void OrderMeasurePointsWith(MeasurePointList& points, std::size_t narrowChainsBelow)
{
    const std::size_t n = points.size();
    if (n < 2) return;
    // Without finite coordinates the comparison is no order at all (and NaN is near nothing):
    // nothing to gain, so the sort itself runs.
    const bool allFinite = std::all_of(points.begin(), points.end(), [](const MeasurePoint& p) {
        return IsFinitePoint(p.X, p.Y);
    });
    // (A chain's ranks must stay below the largest 32-bit signed integer.)
    if (!allFinite || n >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        OrderMeasurePointsBySelection(points);
        return;
    }

    std::vector<Keyed> byX(n);
    Arrangement arrangement;
    arrangement.at.resize(n);
    arrangement.where.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const auto p = static_cast<std::uint32_t>(i);
        byX[i] = {points[i].X, p, 0};
        arrangement.at[i] = p;
        arrangement.where[i] = p;
    }
    SortByKey(byX);

    ComponentScratch scratch;
    scratch.narrowChainsBelow = narrowChainsBelow;
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
    OrderMeasurePointsWith(
        points, static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max()));
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
