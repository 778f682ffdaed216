// The trigonometry cases shared by the table generator and the trigonometry test: the sweep of
// half degrees through two turns either way and a reproducible set of random arguments, with a
// checksum of the result bits, so that every target can prove it computes the same doubles.
//
// Table file (text, one record a line, '#' lines are comments):
//   random <count> <checksum>            FNV-1a of the random cases' result bits, 16 hex digits
//   <half degrees> <radians> <sin> <cos> <atan2>
// where the last four are the 16 hex digits of doubles: the angle through DegreesToRadians,
// Sin and Cos of it stored, and Atan2 of that stored sine and cosine, stored.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

#include "common/geometry.hpp"
#include "common/trig.hpp"

namespace TrigCases {

inline constexpr int kSweepFirst = -1440;  // half degrees: -720 deg
inline constexpr int kSweepLast = 1440;    // 720 deg
inline constexpr int kRandomCount = 100000;
inline constexpr std::uint64_t kRandomSeed = 0x4B6F7276616E6531u;

inline std::uint64_t Bits(double v)
{
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

struct SweepResult {
    double radians;
    double sin;
    double cos;
    double atan2;
};

inline SweepResult ComputeSweep(int halfDegrees)
{
    SweepResult r{};
    r.radians = MyFunc::DegreesToRadians(halfDegrees * 0.5);
    r.sin = static_cast<double>(MyFunc::Sin(r.radians));
    r.cos = static_cast<double>(MyFunc::Cos(r.radians));
    r.atan2 = static_cast<double>(MyFunc::Atan2(r.sin, r.cos));
    return r;
}

struct SplitMix64 {
    std::uint64_t state;
    std::uint64_t Next()
    {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }
    // Uniform in [-1, 1), 53 random bits.
    double Signed() { return static_cast<double>(Next() >> 11) * 0x1p-52 - 1.0; }
    int Between(int low, int high)
    {
        return low + static_cast<int>(Next() % static_cast<std::uint64_t>(high - low + 1));
    }
};

// One random case: an angle for sine and cosine, in turns of a few thousand radians for even
// indexes and of the two turns the tool uses for odd ones, and a vector (y, x) for the arc
// tangent whose components differ in size by up to 2^40.
struct RandomCase {
    double angle;
    double y;
    double x;
};

inline RandomCase NextRandomCase(SplitMix64& g, int index)
{
    RandomCase c{};
    c.angle = g.Signed() * (index % 2 == 0 ? 4096.0 : 12.5);
    c.y = std::ldexp(g.Signed(), g.Between(-20, 20));
    c.x = std::ldexp(g.Signed(), g.Between(-20, 20));
    return c;
}

struct RandomResult {
    double sin;
    double cos;
    double atan2;
};

inline RandomResult ComputeRandom(const RandomCase& c)
{
    return {static_cast<double>(MyFunc::Sin(c.angle)), static_cast<double>(MyFunc::Cos(c.angle)),
            static_cast<double>(MyFunc::Atan2(c.y, c.x))};
}

// FNV-1a over the little-endian bytes of doubles.
struct Checksum {
    std::uint64_t hash = 0xCBF29CE484222325u;
    void Add(double v)
    {
        const std::uint64_t bits = Bits(v);
        for (int i = 0; i < 8; ++i) {
            hash ^= (bits >> (8 * i)) & 0xFFu;
            hash *= 0x100000001B3u;
        }
    }
};

// The checksum of all random cases in order (sin, cos, atan2 of each).
inline std::uint64_t RandomChecksum()
{
    SplitMix64 g{kRandomSeed};
    Checksum sum;
    for (int i = 0; i < kRandomCount; ++i) {
        const RandomResult r = ComputeRandom(NextRandomCase(g, i));
        sum.Add(r.sin);
        sum.Add(r.cos);
        sum.Add(r.atan2);
    }
    return sum.hash;
}

}  // namespace TrigCases
