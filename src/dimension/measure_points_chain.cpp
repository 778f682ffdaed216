// The replay of a chain on ranks: the ranks, the tree over the chain's slots, and the steps.
// What each piece holds is described in measure_points_chain_internal.hpp.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "dimension/measure_points_chain_internal.hpp"
#include "dimension/measure_points_internal.hpp"

namespace Dimension {

namespace {

// x lies above bx by more than the tolerance.
bool FarAbove(double x, double bx) { return x > bx && !NearCoordinates(bx, x); }

// x lies below bx by more than the tolerance.
bool FarBelow(double x, double bx) { return x < bx && !NearCoordinates(bx, x); }

}  // namespace

void SetChainRanks(const Keyed* byX, const std::vector<Keyed>& byY, ChainRanks& ranks)
{
    const std::size_t k = byY.size();
    ranks.yRank.resize(k);
    std::uint32_t y = 0;
    for (std::size_t i = 0; i < k; ++i) {
        if (i > 0 && byY[i].key != byY[i - 1].key) ++y;
        ranks.yRank[byY[i].rank] = y;
    }
    // Both ends only move up as X grows: one pass over the X order.
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

// ---- The tree ----

template <typename Rank>
ChainTree<Rank>::ChainTree(const ChainRanks& chainRanks,
                           const std::vector<std::uint64_t>& byPosition)
    : ranks(chainRanks)
{
    const std::size_t k = byPosition.size();
    // Band b holds the lowest (b + 1) / kBands of the X ranks, at least one; the last band all.
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
        // The first band whose threshold reaches nearTo[p]: it holds every point not far above.
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
    for (std::size_t slot = 0; slot < k; ++slot) {
        SetLeaf(slot, static_cast<std::uint32_t>(byPosition[slot]));
    }
    for (std::size_t node = leaves - 1; node >= 1; --node) Combine(node);
}

template <typename Rank>
void ChainTree<Rank>::SetLeaf(std::size_t slot, std::uint32_t point)
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

// Sets a node from its children; false when it stays as it was, and so does everything above
// it.
template <typename Rank>
bool ChainTree<Rank>::Combine(std::size_t node)
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

template <typename Rank>
void ChainTree<Rank>::Put(std::size_t slot, std::uint32_t point)
{
    SetLeaf(slot, point);
    for (std::size_t node = (leaves + slot) / 2; node >= 1 && Combine(node); node /= 2) {
    }
}

template <typename Rank>
bool ChainTree<Rank>::Precedes(std::uint32_t q, std::uint32_t m) const
{
    return q < static_cast<std::uint32_t>(nearFrom[m]) ||
           (q <= ranks.nearTo[m] && yRank[q] < yRank[m]);
}

// Lane 0 finds a point far below m; m's band finds every point near m with a lower Y rank (and
// perhaps some far above it, which the leaf sorts out).
template <typename Rank>
bool ChainTree<Rank>::MayPrecede(std::size_t node, std::uint32_t m) const
{
    const std::array<Rank, kLanes>& here = nodes[node].lane;
    return here[0] < nearFrom[m] || here[lane[m]] < yRank[m];
}

// Up from the leaf of `from` to the first subtree to its right that may hold a preceding point,
// then down into it, its left child first; past a leaf whose point passes the test without
// preceding, on to its right. Inline: the replay calls it for every running minimum.
template <typename Rank>
inline std::size_t ChainTree<Rank>::FirstPreceding(std::size_t from, std::uint32_t m)
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
        // To the right neighbour of the lowest ancestor (or the node itself) that is a left
        // child; none: the walk has passed the last slot.
        while ((node & 1) != 0) node /= 2;
        if (node == 0) return kNoSlot;
        ++node;
    }
}

template struct ChainTree<std::int16_t>;
template struct ChainTree<std::int32_t>;

// ---- The steps ----

namespace {

// The tree, and what the replay remembers from one step to the next.
template <typename Rank>
struct ChainSteps {
    ChainTree<Rank> tree;
    // The running minima of the last step, by slot, and per slot the step (counted from 1) whose
    // minima went through it and where in their sequence.
    std::vector<std::size_t> lastMinima;
    std::vector<std::size_t> minima;
    std::vector<std::size_t> recordedAt;
    std::vector<std::size_t> recordedAs;
    std::size_t step = 0;

    ChainSteps(const ChainRanks& ranks, const std::vector<std::uint64_t>& byPosition)
        : tree(ranks, byPosition), recordedAt(tree.leaves, 0), recordedAs(tree.leaves, 0)
    {
    }

    // The running minimum of the step that starts at slot `front`: by jumps, or point by point.
    std::size_t Minimum(std::size_t front, bool jumping);
};

// The last step went from each of its minima to the next: the first slot after it whose point
// precedes it. Between two steps only two slots change: the last step's front (emptied, or left
// as it was when the point selected stood elsewhere) and the slot selected last (emptied, or
// given the front point). So every link of the last step's sequence still holds except the one
// into the selected slot, and a search that meets the sequence follows it up to the minimum
// before the selected slot and goes on from there.
template <typename Rank>
std::size_t ChainSteps<Rank>::Minimum(std::size_t front, bool jumping)
{
    lastMinima.swap(minima);
    minima.clear();
    const std::size_t last = lastMinima.size();  // lastMinima[last - 1]: the slot selected
    std::size_t best = front;
    if (jumping) {
        bool merged = false;
        minima.push_back(front);
        for (;;) {
            // best is the last step's minimum j = recordedAs[best] (recordedAt: this step is
            // not counted yet). j >= 1: found by a jump, not the front itself (from an unchanged
            // front the first jump reaches the last step's second minimum anyway). j + 2 < last:
            // at least one link lies before the one into the selected slot. Once per step: the
            // minima after it are this step's own.
            if (!merged && recordedAt[best] == step && recordedAs[best] >= 1 &&
                recordedAs[best] + 2 < last) {
                for (std::size_t j = recordedAs[best] + 1; j + 1 < last; ++j) {
                    minima.push_back(lastMinima[j]);
                }
                best = lastMinima[last - 2];
                merged = true;
            }
            const std::size_t at = tree.FirstPreceding(best + 1, tree.occupant[best]);
            if (at == ChainTree<Rank>::kNoSlot) break;
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
    for (std::size_t slot = front + 1; slot < tree.leaves; ++slot) {
        ++tree.visits;
        if (tree.occupant[slot] == kNoPoint) continue;
        if (tree.Precedes(tree.occupant[slot], tree.occupant[best])) best = slot;
    }
    return best;
}

template <typename Rank>
void RunReplay(const ChainRanks& ranks, const std::vector<std::uint64_t>& byPosition,
               std::size_t first, std::vector<std::uint32_t>& selected)
{
    ChainSteps<Rank> replay(ranks, byPosition);
    ChainTree<Rank>& tree = replay.tree;
    const std::size_t k = byPosition.size();
    selected.resize(k);
    std::size_t front = 0;
    std::size_t pointByPoint = 0;  // what scanning every point would have cost so far
    bool jumping = true;
    for (std::size_t step = 0; step < k; ++step) {
        while (tree.occupant[front] == kNoPoint) ++front;
        // Should the jumps cost more than looking at every point (a chain whose minima lie far
        // apart), the rest of the chain is scanned point by point.
        pointByPoint += k - step;
        if (jumping && tree.visits > pointByPoint + 64) jumping = false;

        const std::size_t best = replay.Minimum(front, jumping);
        const std::uint32_t frontPoint = tree.occupant[front];
        selected[step] = tree.occupant[best];
        // The exchange of positions first + step and best's: when the front point stands at
        // that position (a slot keeps its position), it moves into the selected point's slot;
        // otherwise a point of no chain stands there and leaves the chain's slots alone.
        const bool frontAtPosition = (byPosition[front] >> 32) == first + step;
        if (best != front && frontAtPosition) {
            tree.Put(best, frontPoint);
            tree.Put(front, kNoPoint);
        } else {
            tree.Put(best, kNoPoint);
        }
    }
}

}  // namespace

void ReplayChain(const ChainRanks& ranks, const std::vector<std::uint64_t>& byPosition,
                 std::size_t first, bool narrowRanks, std::vector<std::uint32_t>& selected)
{
    if (narrowRanks) {
        RunReplay<std::int16_t>(ranks, byPosition, first, selected);
    } else {
        RunReplay<std::int32_t>(ranks, byPosition, first, selected);
    }
}

}  // namespace Dimension
