// The radix sort against std::stable_sort: the same items in the same order, on both sides of
// the length where it starts sorting by bits, with -0 and 0, equal keys and skipped passes.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "common/sort_by_key_bits.hpp"

namespace {

struct Item {
    double key;
    std::uint32_t index;  // its place in the input
};

using KeySource = double (*)(std::mt19937_64&);

double FromFewValues(std::mt19937_64& random)
{
    constexpr double kInf = std::numeric_limits<double>::infinity();
    static constexpr double kValues[] = {
        -0.0, 0.0, 1.0, -1.0, 0x1p-1074, -0x1p-1074, 2.5, -kInf, kInf,
        std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(), 1e-300,
    };
    return kValues[static_cast<std::size_t>(random() % std::size(kValues))];
}

double FromAnyBits(std::mt19937_64& random)
{
    for (;;) {
        const double key = std::bit_cast<double>(random());
        if (!std::isnan(key)) return key;
    }
}

// One exponent: the keys' top bits are the same, so the highest passes are skipped.
double FromOneBinade(std::mt19937_64& random)
{
    return 1.0 + static_cast<double>(random() % 5000) * 0x1p-40;
}

// Most keys equal, as the X of a plan's grid columns: a pass where most digits agree still counts.
double MostlyOneValue(std::mt19937_64& random)
{
    return random() % 8 != 0 ? 3600.0 : FromAnyBits(random);
}

double ZeroOfEitherSign(std::mt19937_64& random) { return random() % 2 == 0 ? 0.0 : -0.0; }

double OneValue(std::mt19937_64&) { return -2.5; }

// The order the sort promises, written out: ascending values, -0 before 0.
bool Before(const Item& a, const Item& b)
{
    if (a.key != b.key) return a.key < b.key;
    return std::signbit(a.key) && !std::signbit(b.key);
}

}  // namespace

TEST(SortByKeyBits, OrdersAsTheStableSortDoes)
{
    struct Case {
        const char* keys;
        KeySource source;
    };
    const Case cases[] = {
        {"few values: -0 and 0, infinities, the smallest subnormals", FromFewValues},
        {"any bits: every pass counts", FromAnyBits},
        {"one binade: the highest passes skipped", FromOneBinade},
        {"mostly one value: most keys share every digit", MostlyOneValue},
        {"only zeros: -0 before 0, each in its order", ZeroOfEitherSign},
        {"one value: every pass skipped", OneValue},
    };
    const std::size_t from = MyFunc::kSortByBitsFrom;
    for (const Case& c : cases) {
        for (const std::size_t n : {std::size_t{0}, std::size_t{1}, std::size_t{2}, from - 1, from,
                                    from + 1, std::size_t{50'000}}) {
            SCOPED_TRACE(std::string(c.keys) + ", " + std::to_string(n) + " items");
            std::mt19937_64 random(n);
            std::vector<Item> items(n);
            for (std::size_t i = 0; i < n; ++i) {
                items[i] = {c.source(random), static_cast<std::uint32_t>(i)};
            }
            std::vector<Item> expected = items;
            std::stable_sort(expected.begin(), expected.end(), Before);
            MyFunc::SortByKeyBits(items, [](const Item& item) { return item.key; });
            ASSERT_EQ(items.size(), expected.size());
            for (std::size_t i = 0; i < n; ++i) {
                ASSERT_EQ(items[i].index, expected[i].index) << "at " << i;
            }
        }
    }
}
