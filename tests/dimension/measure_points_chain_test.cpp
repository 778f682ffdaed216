// The tree of a chain's replay against a scan of every slot over the same ranks: on random
// chains of 1 to 40,000 points, on both rank widths, while points leave and move between slots
// as the steps make them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "dimension/measure_points_chain_internal.hpp"

using Dimension::ChainRanks;
using Dimension::ChainTree;
using Dimension::Keyed;
using Dimension::kNoPoint;

namespace {

// A number below n (the 32-bit programs have a 32-bit size_t).
std::size_t Below(std::mt19937_64& random, std::size_t n)
{
    return static_cast<std::size_t>(random() % n);
}

// A chain of k points: X spread over `width` (in units of 1e-10, so that a point is near a few
// neighbours or many), Y drawn from `levels` values (1: every Y equal).
ChainRanks RandomChainRanks(std::mt19937_64& random, std::size_t k, double width,
                            std::uint64_t levels)
{
    std::vector<Keyed> byX(k);
    for (std::size_t i = 0; i < k; ++i) {
        const double x = 12345.0 + width * 1e-10 * static_cast<double>(random() % 100'000) / 1e5;
        byX[i] = {x, static_cast<std::uint32_t>(i), 0};
    }
    std::sort(byX.begin(), byX.end(), [](const Keyed& a, const Keyed& b) { return a.key < b.key; });
    std::vector<Keyed> byY(k);
    for (std::size_t r = 0; r < k; ++r) {
        byY[r] = {static_cast<double>(random() % levels), 0, static_cast<std::uint32_t>(r)};
    }
    std::sort(byY.begin(), byY.end(), [](const Keyed& a, const Keyed& b) { return a.key < b.key; });
    ChainRanks ranks;
    Dimension::SetChainRanks(byX.data(), byY, ranks);
    return ranks;
}

// The comparison of the selection sort on ranks, written out from its definition.
bool PrecedesByScan(const ChainRanks& ranks, std::uint32_t q, std::uint32_t m)
{
    if (q < ranks.nearFrom[m]) return true;                            // far below
    if (q > ranks.nearTo[m]) return false;                             // far above
    return ranks.yRank[q] < ranks.yRank[m];                            // near: Y decides
}

template <typename Rank>
void ExpectTreeAnswersAsTheScan(const ChainRanks& ranks, std::mt19937_64& random)
{
    const std::size_t k = ranks.yRank.size();
    // The points in slots at random positions, as a chain's points lie in the list.
    std::vector<std::uint32_t> points(k);
    std::iota(points.begin(), points.end(), 0u);
    std::shuffle(points.begin(), points.end(), random);
    std::vector<std::uint64_t> byPosition(k);
    for (std::size_t slot = 0; slot < k; ++slot) {
        byPosition[slot] = std::uint64_t{3 * slot + Below(random, 3)} << 32 | points[slot];
    }
    ChainTree<Rank> tree(ranks, byPosition);
    std::vector<std::uint32_t> occupant(points);  // the scan's own copy of the slots

    for (int round = 0; round < 6; ++round) {
        for (int query = 0; query < 40; ++query) {
            const std::size_t from = Below(random, k + 1);
            const auto m = static_cast<std::uint32_t>(Below(random, k));
            std::size_t expected = ChainTree<Rank>::kNoSlot;
            for (std::size_t slot = from; slot < k; ++slot) {
                if (occupant[slot] != kNoPoint && PrecedesByScan(ranks, occupant[slot], m)) {
                    expected = slot;
                    break;
                }
            }
            ASSERT_EQ(tree.FirstPreceding(from, m), expected)
                << "round " << round << ", from slot " << from << ", point " << m;
        }
        // A step's changes: a slot emptied, or a point moved into another slot and its own slot
        // emptied; a tenth of the slots each round.
        for (std::size_t change = 0; change <= k / 10; ++change) {
            const std::size_t a = Below(random, k);
            const std::size_t b = Below(random, k);
            if (random() % 2 == 0 && occupant[a] != kNoPoint && a != b) {
                occupant[b] = occupant[a];
                tree.Put(b, occupant[b]);
            }
            occupant[a] = kNoPoint;
            tree.Put(a, kNoPoint);
        }
    }
}

}  // namespace

TEST(ChainTree, FindsTheFirstPrecedingPointAsAScanDoes)
{
    struct Case {
        std::size_t points;
        double width;  // the X range in units of 1e-10
        std::uint64_t levels;
    };
    std::vector<Case> cases = {
        {1, 0.5, 1},       {2, 1.5, 2},        {3, 2.0, 1},         {31, 3.0, 4},
        {32, 6.0, 32},     {33, 0.9, 33},      {100, 40.0, 3},      {1000, 85.0, 50},
        {4097, 20.0, 4097}, {32'766, 60.0, 400}, {32'767, 60.0, 400}, {40'000, 85.0, 40'000},
        {40'000, 0.5, 1},
    };
    std::mt19937_64 random(28);
    for (int extra = 0; extra < 12; ++extra) {
        const std::size_t points = 1 + Below(random, 40'000);
        const double width = 0.5 + static_cast<double>(Below(random, 900)) / 10.0;
        cases.push_back({points, width, 1 + random() % 1000});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.points) + " points over " + std::to_string(c.width) +
                     "e-10, " + std::to_string(c.levels) + " levels of Y");
        const ChainRanks ranks = RandomChainRanks(random, c.points, c.width, c.levels);
        if (c.points < Dimension::kNarrowRanksBelow) {
            SCOPED_TRACE("16-bit ranks");
            ExpectTreeAnswersAsTheScan<std::int16_t>(ranks, random);
        }
        SCOPED_TRACE("32-bit ranks");
        ExpectTreeAnswersAsTheScan<std::int32_t>(ranks, random);
        if (HasFailure()) return;
    }
}
