// Sorting a long list by a real key: a radix sort on the key's bits, in a header so that the key
// is read inline.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace MyFunc {

// Lists shorter than this are sorted by comparisons: a pass of the radix sort clears and sums its
// 2,048 counters whatever the list's length, which a short list does not repay.
inline constexpr std::size_t kSortByBitsFrom = 4096;

// The order of the doubles as the order of unsigned integers: the sign bit set for the positive
// ones, every bit flipped for the negative ones. This is IEEE 754's total order without the
// NaNs: ascending values, and -0 before 0.
inline std::uint64_t OrderedBits(double key)
{
    const auto bits = std::bit_cast<std::uint64_t>(key);
    return (bits >> 63) != 0 ? ~bits : bits | (std::uint64_t{1} << 63);
}

// Sorts items by keyOf(item) in that order, stable: the order std::stable_sort gives when it
// compares OrderedBits of the keys (equal keys keep the order they had). No key may be a NaN. A
// list of kSortByBitsFrom items or more is sorted by the bits of its keys in passes of 11 bits
// from the lowest, each pass stable; a pass whose digit is the same for every key would leave
// the list as it is and is skipped.
template <typename T, typename KeyOf>
void SortByKeyBits(std::vector<T>& items, KeyOf keyOf)
{
    const std::size_t n = items.size();
    if (n < kSortByBitsFrom) {
        std::stable_sort(items.begin(), items.end(), [&keyOf](const T& a, const T& b) {
            return OrderedBits(keyOf(a)) < OrderedBits(keyOf(b));
        });
        return;
    }
    // 2^11 counters of a pass fill 16 KiB, well inside the first-level cache.
    constexpr std::size_t kDigitBits = 11;
    constexpr std::size_t kDigits = std::size_t{1} << kDigitBits;
    constexpr std::size_t kPasses = (64 + kDigitBits - 1) / kDigitBits;
    const auto digit = [&keyOf](const T& item, std::size_t pass) {
        return static_cast<std::size_t>((OrderedBits(keyOf(item)) >> (pass * kDigitBits)) &
                                        (kDigits - 1));
    };
    std::vector<std::array<std::size_t, kDigits>> counts(kPasses);
    for (const T& item : items) {
        for (std::size_t pass = 0; pass < kPasses; ++pass) ++counts[pass][digit(item, pass)];
    }
    std::vector<T> other(n);
    for (std::size_t pass = 0; pass < kPasses; ++pass) {
        std::array<std::size_t, kDigits>& count = counts[pass];
        if (count[digit(items[0], pass)] == n) continue;
        // Each digit's first place in the pass's output, then the items in their order.
        std::size_t start = 0;
        for (std::size_t& c : count) {
            const std::size_t here = c;
            c = start;
            start += here;
        }
        for (const T& item : items) other[count[digit(item, pass)]++] = item;
        items.swap(other);
    }
}

}  // namespace MyFunc
