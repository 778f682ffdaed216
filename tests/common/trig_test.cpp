#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "common/geometry.hpp"
#include "common/trig.hpp"
#include "support/test_files.hpp"
#include "trig_cases.hpp"

#ifdef KORVANE_HAVE_QUADMATH
#include <quadmath.h>
#endif

using MyFunc::Atan2;
using MyFunc::Cos;
using MyFunc::DegreesToRadians;
using MyFunc::Sin;

namespace {

bool SameBits(long double a, long double b)
{
    return std::memcmp(&a, &b, 10) == 0;  // the 80 value bits, not the padding
}

std::string Hex(long double v)
{
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, v, std::chars_format::hex);
    return std::string(text, end.ptr);
}

std::string Hex(double v)
{
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, v, std::chars_format::hex);
    return std::string(text, end.ptr);
}

constexpr long double kInf = std::numeric_limits<long double>::infinity();
constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();
constexpr long double kPi = MyFunc::kPi;
constexpr long double kThreeQuarterPi = 0x96CBE3F9990E91A8p-62L;

}  // namespace

TEST(Trig, SineAndCosineOfSpecialArguments)
{
    struct Case {
        long double x;
        long double sin;  // NaN: any NaN
        long double cos;
    };
    const Case cases[] = {
        {0.0L, 0.0L, 1.0L},
        {-0.0L, -0.0L, 1.0L},
        {1e-30L, 1e-30L, 1.0L},
        {-1e-30L, -1e-30L, 1.0L},
        {0x1p-16445L, 0x1p-16445L, 1.0L},  // the smallest subnormal
        {0x1p-34L, 0x1p-34L, 1.0L},
        {kInf, kNaN, kNaN},
        {-kInf, kNaN, kNaN},
        {kNaN, kNaN, kNaN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("x = " + Hex(c.x));
        if (std::isnan(c.sin)) {
            EXPECT_TRUE(std::isnan(Sin(c.x)));
            EXPECT_TRUE(std::isnan(Cos(c.x)));
        } else {
            EXPECT_TRUE(SameBits(Sin(c.x), c.sin)) << Hex(Sin(c.x));
            EXPECT_TRUE(SameBits(Cos(c.x), c.cos)) << Hex(Cos(c.x));
        }
    }
}

TEST(Trig, ArcTangentOfSignedZerosInfinitiesAndExtremeRatios)
{
    struct Case {
        long double y;
        long double x;
        long double expected;  // NaN: any NaN
    };
    const Case cases[] = {
        {0.0L, 0.0L, 0.0L},
        {-0.0L, 0.0L, -0.0L},
        {0.0L, -0.0L, kPi},
        {-0.0L, -0.0L, -kPi},
        {0.0L, -1.0L, kPi},
        {-0.0L, -1.0L, -kPi},
        {-0.0L, 5.0L, -0.0L},
        {1.0L, 0.0L, kPi / 2},
        {-1.0L, -0.0L, -kPi / 2},
        {1.0L, 1.0L, kPi / 4},
        {-2.0L, -2.0L, -kThreeQuarterPi},
        {kInf, kInf, kPi / 4},
        {kInf, -kInf, kThreeQuarterPi},
        {-kInf, 1.0L, -kPi / 2},
        {1.0L, kInf, 0.0L},
        {-1.0L, -kInf, -kPi},
        {kNaN, 1.0L, kNaN},
        {1.0L, kNaN, kNaN},
        // Ratios far beyond the series: the quotient itself, or pi/2, pi minus a trace.
        {1e-4000L, 1.0L, 1e-4000L},
        {0x1p-16445L, 0x1p16000L, 0.0L},
        {1.0L, -1e-4000L, kPi / 2},
        {-1e-4000L, -1.0L, -kPi},
        {1e4000L, 1e-4000L, kPi / 2},
        // The same direction at any scale, also with subnormal and huge components.
        {0x1p-16444L, 0x1p-16445L, 0x8DB70C975DF22363p-63L},  // atan 2
        {0x1p16383L, 0x1p16382L, 0x8DB70C975DF22363p-63L},
        {2.0L, 1.0L, 0x8DB70C975DF22363p-63L},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("y = " + Hex(c.y) + ", x = " + Hex(c.x));
        const long double a = Atan2(c.y, c.x);
        if (std::isnan(c.expected)) {
            EXPECT_TRUE(std::isnan(a));
        } else {
            EXPECT_TRUE(SameBits(a, c.expected)) << Hex(a);
        }
    }
}

// The quarter turns a vertical run and the markers use, as doubles on every target: the correctly
// rounded values, and not those of the x87 instructions (cos 90 deg 6.12303176911189e-17 there).
TEST(Trig, QuarterTurnsGiveCorrectlyRoundedDoubles)
{
    struct Case {
        double degrees;
        double sin;
        double cos;
    };
    const Case cases[] = {
        {0.0, 0.0, 1.0},
        {90.0, 1.0, 0x1.1a62633145c07p-54},     // 6.123233995736766e-17
        {180.0, 0x1.1a62633145c07p-53, -1.0},  // 1.2246467991473532e-16
        {270.0, -1.0, -0x1.a79394c9e8a0ap-53},  // -1.8369701987210297e-16
        {-90.0, -1.0, 0x1.1a62633145c07p-54},
        {360.0, -0x1.1a62633145c07p-52, 1.0},
        {45.0, 0x1.6a09e667f3bccp-1, 0x1.6a09e667f3bcdp-1},  // the double lies below pi / 4
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.degrees);
        const double r = DegreesToRadians(c.degrees);
        EXPECT_EQ(TrigCases::Bits(static_cast<double>(Sin(r))), TrigCases::Bits(c.sin))
            << Hex(static_cast<double>(Sin(r)));
        EXPECT_EQ(TrigCases::Bits(static_cast<double>(Cos(r))), TrigCases::Bits(c.cos))
            << Hex(static_cast<double>(Cos(r)));
    }
}

TEST(Trig, OddAndEvenSymmetry)
{
    TrigCases::SplitMix64 g{7};
    for (int i = 0; i < 2000; ++i) {
        const TrigCases::RandomCase c = TrigCases::NextRandomCase(g, i);
        SCOPED_TRACE("angle " + Hex(c.angle) + ", y " + Hex(c.y) + ", x " + Hex(c.x));
        EXPECT_TRUE(SameBits(Sin(-c.angle), -Sin(c.angle)));
        EXPECT_TRUE(SameBits(Cos(-c.angle), Cos(c.angle)));
        EXPECT_TRUE(SameBits(Atan2(-c.y, c.x), -Atan2(c.y, c.x)));
    }
}

// Every target reproduces the table written by trig_table_gen, bit for bit.
TEST(Trig, ReproducesTheTableBitForBit)
{
    const std::string table =
        TestFiles::ReadBytes(TestFiles::SourcePath("tests/common/data/trig_sweep.txt"));
    ASSERT_FALSE(table.empty());
    std::istringstream lines(table);
    std::string line;
    int sweepRows = 0;
    bool sawRandom = false;
    auto parseHex = [](const std::string& text) {
        std::uint64_t v = 0;
        const auto result = std::from_chars(text.data(), text.data() + text.size(), v, 16);
        EXPECT_EQ(result.ec, std::errc()) << text;
        return v;
    };
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        std::string first;
        fields >> first;
        if (first == "random") {
            int count = 0;
            std::string sum;
            fields >> count >> sum;
            ASSERT_EQ(count, TrigCases::kRandomCount);
            EXPECT_EQ(TrigCases::RandomChecksum(), parseHex(sum))
                << "the random arguments give other bits than the table's target";
            sawRandom = true;
            continue;
        }
        std::string radians, sin, cos, atan2;
        fields >> radians >> sin >> cos >> atan2;
        const int halfDegrees = std::stoi(first);
        SCOPED_TRACE("degrees " + std::to_string(halfDegrees * 0.5));
        const TrigCases::SweepResult r = TrigCases::ComputeSweep(halfDegrees);
        EXPECT_EQ(TrigCases::Bits(r.radians), parseHex(radians));
        EXPECT_EQ(TrigCases::Bits(r.sin), parseHex(sin)) << Hex(r.sin);
        EXPECT_EQ(TrigCases::Bits(r.cos), parseHex(cos)) << Hex(r.cos);
        EXPECT_EQ(TrigCases::Bits(r.atan2), parseHex(atan2)) << Hex(r.atan2);
        ++sweepRows;
    }
    EXPECT_TRUE(sawRandom);
    EXPECT_EQ(sweepRows, TrigCases::kSweepLast - TrigCases::kSweepFirst + 1);
}


#ifdef KORVANE_HAVE_QUADMATH

namespace {

// The correctly rounded long double, through __float128 (113 bits).
long double ReferenceSin(long double x)
{
    return static_cast<long double>(sinq(static_cast<__float128>(x)));
}

long double ReferenceCos(long double x)
{
    return static_cast<long double>(cosq(static_cast<__float128>(x)));
}

long double ReferenceAtan2(long double y, long double x)
{
    return static_cast<long double>(atan2q(static_cast<__float128>(y), static_cast<__float128>(x)));
}

}  // namespace

// Arguments where a C library's long double has been seen one unit in the last place off the
// correctly rounded one, with the error crossing a double's rounding boundary, so that its double
// differs from ours. Korvane stores every result from the correctly rounded long double; the
// expected doubles are written out here, checked against arithmetic of 100 decimal digits or more,
// so that no library update can move them.
// - sin: the true value lies just beyond the half-way point between two doubles; the correctly
//   rounded long double lies past it too and stores as the far double.
// - cos: the correctly rounded long double lies exactly on a half-way point and rounds to even
//   (away from zero here).
// - atan2 (26.5 degrees of the sweep): the correctly rounded long double lies exactly half-way
//   and rounds to even, upwards.
struct HardCase {
    const char* function;
    double y;  // the argument of sin and cos; y of atan2
    double x;  // atan2 only
    double expected;
};
const HardCase kHardCases[] = {
    {"sin", 0x1.8ebae8ffa90fcp+2, 0.0, -0x1.b232065abdd79p-5},
    {"cos", 0x1.f6e6a646329bbp+2, 0.0, -0x1.f81d358523236p-9},
    {"atan2", 0x1.c8e8145b69d45p-2, 0x1.ca34d62e4b6f9p-1, 0x1.d99ccfcd8d468p-2},
};

TEST(Trig, HardCasesGiveTheCorrectlyRoundedLongDouble)
{
    for (const HardCase& c : kHardCases) {
        const std::string function = c.function;
        SCOPED_TRACE(function + " " + Hex(c.y) + " " + Hex(c.x));
        const long double ours = function == "sin"   ? Sin(c.y)
                                 : function == "cos" ? Cos(c.y)
                                                     : Atan2(c.y, c.x);
        const long double reference = function == "sin"   ? ReferenceSin(c.y)
                                      : function == "cos" ? ReferenceCos(c.y)
                                                          : ReferenceAtan2(c.y, c.x);
        EXPECT_TRUE(SameBits(ours, reference)) << Hex(ours) << " " << Hex(reference);
        EXPECT_EQ(TrigCases::Bits(static_cast<double>(ours)), TrigCases::Bits(c.expected))
            << Hex(static_cast<double>(ours));
    }
}

// Ours is the correctly rounded long double over the sweep, the random arguments and the hard
// places: doubles nearest to multiples of pi/2 (up to 1e22), huge and tiny arguments.
TEST(Trig, CorrectlyRoundedLongDouble)
{
    std::vector<long double> angles;
    for (int h = TrigCases::kSweepFirst; h <= TrigCases::kSweepLast; ++h) {
        angles.push_back(TrigCases::ComputeSweep(h).radians);
    }
    for (int k = 1; k <= 20000; ++k) {
        angles.push_back(static_cast<double>(k * 1.5707963267948966));
        angles.push_back(static_cast<double>(k * 1.5707963267948966L));
    }
    const long double special[] = {
        0x1.921fb54442d18p+0L, 0x1.921fb54442d18p+1L, 0x1.2d97c7f3321d2p+2L,
        6381956970095103.0L * 0x1p797L,  // the double closest to a multiple of pi/2
        0x1.6ac5b262ca1ffp+849L, 1e22L, 1e300L, 1e4000L,
        std::numeric_limits<long double>::max(), 0x1.fffffffffffffffep-34L, 0x1p-33L,
        0.785398163397448309616L, 0.785398163397448309594L, 0.7853981633974483L,
    };
    for (long double a : special) {
        angles.push_back(a);
    }
    std::vector<TrigCases::RandomCase> vectors;
    for (int h = TrigCases::kSweepFirst; h <= TrigCases::kSweepLast; ++h) {
        const TrigCases::SweepResult r = TrigCases::ComputeSweep(h);
        vectors.push_back({r.radians, r.sin, r.cos});  // the arc tangent of the stored sweep
    }
    TrigCases::SplitMix64 g{TrigCases::kRandomSeed};
    for (int i = 0; i < TrigCases::kRandomCount; ++i) {
        const TrigCases::RandomCase c = TrigCases::NextRandomCase(g, i);
        angles.push_back(c.angle);
        vectors.push_back(c);
    }
    int failures = 0;
    for (long double a : angles) {
        if (!SameBits(Sin(a), ReferenceSin(a)) || !SameBits(Cos(a), ReferenceCos(a))) {
            ADD_FAILURE() << "x " << Hex(a) << ": sin " << Hex(Sin(a)) << " / "
                          << Hex(ReferenceSin(a)) << ", cos " << Hex(Cos(a)) << " / "
                          << Hex(ReferenceCos(a));
            if (++failures > 20) {
                return;
            }
        }
    }
    for (const TrigCases::RandomCase& c : vectors) {
        if (!SameBits(Atan2(c.y, c.x), ReferenceAtan2(c.y, c.x))) {
            ADD_FAILURE() << "y " << Hex(c.y) << ", x " << Hex(c.x) << ": "
                          << Hex(Atan2(c.y, c.x)) << " / " << Hex(ReferenceAtan2(c.y, c.x));
            if (++failures > 20) {
                return;
            }
        }
    }
}

#endif  // KORVANE_HAVE_QUADMATH
