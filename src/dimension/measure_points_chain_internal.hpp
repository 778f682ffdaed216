// The replay of a chain, for the ordering (measure_points_order.cpp, which says what a chain is
// and why its steps must be replayed), its tests and benchmarks: the steps of the selection sort
// over the points of one chain, compared by rank instead of by coordinates.
//
// Read it in this order: the ranks (ChainRanks), the tree that finds the next point preceding
// the running minimum (ChainTree), the replay (ReplayChain). The code is in
// measure_points_chain.cpp.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace Dimension {

// A point of the ordering with the key it is sorted by.
struct Keyed {
    double key;
    std::uint32_t point;  // index into the list being ordered
    std::uint32_t rank;   // in a chain: the point's place in the chain's X order
};

// What the replay knows of a chain's points, each named by its X rank (its place in the chain's
// X order). Its Y rank is the place of its Y among the chain's distinct Y. The extended
// difference from a fixed X grows as the other X falls, so the points near a point p (X within
// 1e-10) are the X ranks nearFrom[p] .. nearTo[p], those below are far below it and those above
// far above. So q precedes the running minimum m exactly when
//     q < nearFrom[m]   or   q <= nearTo[m] and yRank[q] < yRank[m].
struct ChainRanks {
    std::vector<std::uint32_t> yRank;
    std::vector<std::uint32_t> nearFrom;  // the first X rank not far below the point
    std::vector<std::uint32_t> nearTo;    // the last X rank not far above the point
};

// byX: the chain's points in ascending X; byY: the same points in ascending Y, with their X
// ranks.
void SetChainRanks(const Keyed* byX, const std::vector<Keyed>& byY, ChainRanks& ranks);

// An empty slot.
inline constexpr std::uint32_t kNoPoint = 0xFFFF'FFFFu;

// Chains of fewer points replay on 16-bit ranks: every rank, at most 32,765, then lies below
// the 16-bit "no point" (32,767), and a node holds 31 bands instead of 15. The largest chain of a
// turned plan of a million segments has 3,248 points.
inline constexpr std::size_t kNarrowRanksBelow = 32'767;

// The chain's slots, and a tree over them that tells for every node whether a point below it
// can precede the running minimum m, so that a step jumps from one preceding point to the next
// instead of looking at every point.
//
// The slots are the positions the chain's points hold when its steps begin, in ascending order.
// A slot keeps its position, and only the point in it (its X rank) changes: a step empties the
// selected point's slot, or, when a point of the chain stands at the step's position, moves that
// point into it (the exchange puts it at that position). So the points in slot order are the
// points in position order, as the running minimum meets them.
//
// A node is one cache line of ranks: lane 0 the least X rank below it (the test for "far
// below"), lane 1 + b the least Y rank of its points whose X rank is at most threshold[b], band
// b's threshold. The thresholds are quantiles of the chain's X ranks, the last one the highest
// rank. The test for "near and lower" reads the lowest band that holds every point not far above
// m (m's lane), so that only points with X ranks between nearTo[m] and that band's threshold pass
// it without preceding m; a leaf is checked exactly.
//
// Rank is std::int16_t or std::int32_t, signed: SSE2, all that either target may assume, has a
// minimum of signed 16-bit lanes and a comparison of signed 32-bit lanes but neither for
// unsigned lanes, so signed ranks keep combining two nodes to a few instructions. Every rank
// lies below the type's largest value (kNone), so the sign never matters.
template <typename Rank>
struct ChainTree {
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
    std::size_t leaves = 1;                         // the number of slots, up to a power of two
    std::vector<Node> nodes;                        // node i has children 2i and 2i + 1
    std::vector<std::uint32_t> occupant;            // per slot: the point's X rank, or kNoPoint
    std::size_t visits = 0;                         // the nodes FirstPreceding has looked at

    // byPosition: per slot, its position << 32 | the X rank of its point, ascending.
    ChainTree(const ChainRanks& chainRanks, const std::vector<std::uint64_t>& byPosition);

    // Puts the point (an X rank, or kNoPoint to empty the slot) into the slot.
    void Put(std::size_t slot, std::uint32_t point);

    // Whether the point q precedes the point m (X ranks): the comparison of the selection sort.
    bool Precedes(std::uint32_t q, std::uint32_t m) const;

    // The first slot at or after `from` whose point precedes the point m, or kNoSlot.
    std::size_t FirstPreceding(std::size_t from, std::uint32_t m);

    // The tree's own steps. Combine is not inlined: on its own the compiler takes several lanes
    // at a time.
    void SetLeaf(std::size_t slot, std::uint32_t point);
    [[gnu::noinline]] bool Combine(std::size_t node);
    bool MayPrecede(std::size_t node, std::uint32_t m) const;
};

// The steps of the selection sort that select a chain's k points, replayed: selected[step] is
// the X rank of the point that step first + step selects. byPosition as for ChainTree; the
// chain's ranks are 16-bit when narrowRanks. ChainTree<std::int16_t> and <std::int32_t> are
// the two trees it uses.
void ReplayChain(const ChainRanks& ranks, const std::vector<std::uint64_t>& byPosition,
                 std::size_t first, bool narrowRanks, std::vector<std::uint32_t>& selected);

}  // namespace Dimension
