#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "common/geometry.hpp"

using MyFunc::EllipsePointDeg;
using MyFunc::ExchangeValues;
using MyFunc::MeasureTextWidth;
using MyFunc::NormalizeDegrees;
using MyFunc::PointDistance;
using MyFunc::RotatePointDeg;
using MyFunc::RoundToResolution;
using MyFunc::VectorAngle;
using MyFunc::VectorAngleDeg;

TEST(Geometry, DegreesBecomeRadiansThroughExtendedPrecision)
{
    struct Case {
        double degrees;
        double radians;
    };
    const Case cases[] = {
        {0.0, 0.0},
        {90.0, 1.5707963267948966},
        {180.0, 3.141592653589793},
        {-45.0, -0.7853981633974483},
        {720.0, 12.566370614359172},
        // d / 180 * pi in double would give ...bd5 here.
        {3.0, 0x1.acee9f37bebd6p-5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.degrees);
        EXPECT_EQ(MyFunc::DegreesToRadians(c.degrees), c.radians);
    }
}

TEST(Geometry, ExchangeValuesSwapsTheBits)
{
    double a = -0.0;
    double b = 1.5;
    ExchangeValues(a, b);
    EXPECT_EQ(a, 1.5);
    EXPECT_EQ(b, 0.0);
    EXPECT_TRUE(std::signbit(b));
}

TEST(Geometry, RoundToResolutionSnapsToTheTenthOfANanounit)
{
    struct Case {
        double x;
        double expected;
    };
    const Case cases[] = {
        {-2.00000000004, -2.0},
        {2.00000000006, 2.0000000001},
        {0.30000000004, 0.3},
        {1.23456789016, 1.2345678902},
        {-1.23456789014, -1.2345678901},
        {359.99999999996, 360.0},
        {45.00000000000001, 45.0},
        {4e-11, 0.0},
        {6e-11, 1e-10},
        {1500.0, 1500.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(RoundToResolution(c.x), c.expected);
    }
    // Zero of either sign gives positive zero.
    EXPECT_FALSE(std::signbit(RoundToResolution(0.0)));
    EXPECT_FALSE(std::signbit(RoundToResolution(-0.0)));
}

TEST(Geometry, VectorAnglesAreCounterClockwiseFromTheXAxis)
{
    enum Unit { kRadians, kDegrees };  // VectorAngle, VectorAngleDeg
    struct Case {
        Unit unit;
        double dx;
        double dy;
        double expected;
    };
    const Case cases[] = {
        {kRadians, 0.0, 0.0, 0.0},
        {kRadians, 5e-11, -5e-11, 0.0},               // shorter than the tolerance both ways
        {kRadians, -9.9e-11, 9.9e-11, 0.0},
        {kRadians, 0.0, 1e-10, 1.5707963267948966},   // the double 1e-10 lies just above 1e-10L
        {kRadians, -1e-10, 0.0, 3.141592653589793},
        {kRadians, 1.0, 0.0, 0.0},
        {kRadians, -1.0, 0.0, 3.141592653589793},
        {kRadians, 0.0, -2.0, 4.71238898038469},
        {kRadians, 1.0, -1.0, 5.497787143782138},     // 7 pi / 4
        {kRadians, -1.0, -1.0, 0x1.f6a7a2955385fp+1},  // 5 pi / 4 through -3 pi / 4 stored
        {kRadians, 1.0, -1e-17, 6.283185307179586},   // a hair below the axis: 2 pi after rounding
        // atan2 gives -pi here; the stored -pi plus the extended 2 pi lands a double above pi.
        {kRadians, -1.0, -0.0, 0x1.921fb54442d19p+1},
        // Degrees are snapped to 1e-10 and can reach 360.
        {kDegrees, 1.0, 1.0, 45.0},
        {kDegrees, 0.0, 1.0, 90.0},
        {kDegrees, -1.0, 0.0, 180.0},
        {kDegrees, 0.0, -1.0, 270.0},
        {kDegrees, 1.0, -1.0, 315.0},
        {kDegrees, 1.7320508075688772, 1.0, 30.0},
        {kDegrees, -3.0, 3.0, 135.0},
        {kDegrees, 1.0, -1e-13, 360.0},  // 359.9999999999943 deg
        {kDegrees, 1.0, -1.75e-12, 359.9999999999},  // 359.9999999998997 deg
        {kDegrees, 0.0, 0.0, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.unit == kDegrees ? "degrees " : "radians ") +
                     std::to_string(c.dx) + ", " + std::to_string(c.dy));
        EXPECT_EQ(c.unit == kDegrees ? VectorAngleDeg(c.dx, c.dy) : VectorAngle(c.dx, c.dy),
                  c.expected);
    }
}

TEST(Geometry, NormalizeDegreesWrapsIntoOneTurn)
{
    struct Case {
        double a;
        double expected;
        bool negativeZero;
    };
    const Case cases[] = {
        {-30.0, 330.0, false},
        {720.0, 0.0, false},
        {360.0, 0.0, false},
        {359.5, 359.5, false},
        {-360.0, 0.0, true},  // a negative whole turn keeps the sign of the input
        {-1080.0, 0.0, true},
        {0.0, 0.0, false},
        {-0.0, 0.0, false},
        {370.0, 10.0, false},
        {-370.0, 350.0, false},
        {1080.25, 0.25, false},
        {-1e-20, 0.0, false},  // -1e-20 + 360 rounds to 360, which wraps to 0
        {-1e-13, 359.9999999999999, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.a);
        const double m = NormalizeDegrees(c.a);
        EXPECT_EQ(m, c.expected);
        EXPECT_EQ(std::signbit(m), c.negativeZero);
    }
}

TEST(Geometry, RotatePointDegKeepsTheStoredGrouping)
{
    struct Case {
        double x, y, cx, cy, degrees;
        double expectedX, expectedY;
    };
    const Case cases[] = {
        {2.0, 1.0, 1.0, 1.0, 90.0, 1.0, 2.0},
        // cos 180 deg and sin 180 deg are not exact: 1 + 1.22e-16 stores as the next double.
        {2.0, 1.0, 1.0, 1.0, 180.0, 0.0, 0x1.0000000000001p+0},
        {2.0, 1.0, 1.0, 1.0, 270.0, 0x1.ffffffffffffep-1, 0.0},
        {2.0, 1.0, 1.0, 1.0, 0.0, 2.0, 1.0},
        {3.0, 4.0, 0.0, 0.0, -90.0, 4.0, -0x1.7ffffffffffffp+1},  // -3 + 2.4e-16
        {1.0, 0.0, 0.0, 0.0, 45.0, 0x1.6a09e667f3bcdp-1, 0x1.6a09e667f3bccp-1},
        // Grouped as c dx - s dy + cx, or in double, x would end in ...84 (or ...8e).
        {-0x1.6ed86080c183cp+7, -0x1.cadeb7a11dcfp+5, 0x1.b4ec4691d9258p+9,
         -0x1.aded056deff98p+7, -375.0, -0x1.aa6ca46cc6e85p+6, 0x1.a5d311f6e657ep+7},
        {0x1.72d55dc8b892cp+9, 0x1.27b8c6b0275ap+5, -0x1.5a09546c9d793p+9, 0x1.760c1f1eef1d4p+8,
         -285.0, 0x1.269134f265c13p+2, 0x1.a1ec2f57f48f9p+10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + ", " + std::to_string(c.y) + " by " +
                     std::to_string(c.degrees));
        double x = 0.0;
        double y = 0.0;
        RotatePointDeg(c.x, c.y, c.cx, c.cy, c.degrees, x, y);
        EXPECT_EQ(x, c.expectedX);
        EXPECT_EQ(y, c.expectedY);
    }
}

TEST(Geometry, EllipsePointDegIsTiltedAboutTheCentre)
{
    struct Case {
        double cx, cy, r, k, tilt, phi;
        double expectedX, expectedY;
    };
    const Case cases[] = {
        {10.0, 20.0, 2.0, 0.5, 0.0, 90.0, 10.0, 21.0},
        {10.0, 20.0, 2.0, 0.5, 0.0, 0.0, 12.0, 20.0},
        {10.0, 20.0, 2.0, 0.5, 90.0, 0.0, 10.0, 22.0},
        {10.0, 20.0, 2.0, 0.5, 30.0, 60.0, 10.433012701892219, 21.25},
        {0.0, 0.0, 3.0, 1.0, 0.0, 180.0, -3.0, 0x1.a79394c9e8a0ap-52},
        {-5.0, 0.0, 1.0, 2.0, 0.0, 270.0, -5.0, -2.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("tilt " + std::to_string(c.tilt) + ", phi " + std::to_string(c.phi));
        double x = 0.0;
        double y = 0.0;
        EllipsePointDeg(c.cx, c.cy, c.r, c.k, c.tilt, c.phi, x, y);
        EXPECT_EQ(x, c.expectedX);
        EXPECT_EQ(y, c.expectedY);
    }
}

TEST(Geometry, MeasureTextWidthCountsCharactersAndGapsBetweenThem)
{
    struct Case {
        const char* name;
        std::string text;
        double w, g;
        double expected;
    };
    const Case cases[] = {
        {"two letters", "AB", 4.0, 1.0, 4.5},
        {"two double-byte", "\x82\xA0\x82\xA2", 4.0, 1.0, 9.0},  // あい
        {"letter tab letter", "A\tB", 4.0, 1.0, 5.0},
        {"empty", "", 4.0, 1.0, 0.0},
        {"one letter", "A", 4.0, 1.0, 2.0},
        {"double-byte then letter", "\x82\xA0" "A", 4.0, 1.0, 7.0},
        {"letter then double-byte", "A\x82\xA0", 4.0, 1.0, 6.5},
        {"lead byte at the end", "A\x82", 4.0, 1.0, 6.5},
        {"lone lead byte", "\xE0", 4.0, 1.0, 4.0},
        {"last lead byte of the range", "\xFD", 4.0, 1.0, 4.0},
        {"0xFE is one byte", "\xFE", 4.0, 1.0, 2.0},
        {"half-width katakana", "\xB1\xB2", 4.0, 1.0, 4.5},  // ｱｲ
        {"control byte at the end", "A\r", 4.0, 1.0, 2.5},
        {"control bytes only", "\x01\x1F", 4.0, 1.0, 0.5},
        {"blank counts", " ", 4.0, 1.0, 2.0},
        // Ten halves of 0.1 summed as doubles, not as long doubles (0.5).
        {"double sum", "AAAAAAAAAA", 0.1, 0.0, 0x1.fffffffffffffp-2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MeasureTextWidth(c.text, c.w, c.g), c.expected);
    }
}

TEST(Geometry, PointDistanceIsFormedInExtendedPrecision)
{
    struct Case {
        double x1, y1, x2, y2;
        double expected;
    };
    const Case cases[] = {
        {0.0, 0.0, 3.0, 4.0, 5.0},
        {1.0, 1.0, 1.0, 1.0, 0.0},
        {-1.0, -1.0, 2.0, 3.0, 5.0},
        {1e200, 0.0, -1e200, 0.0, 2e200},  // the squares would overflow a double
        {0.0, 0.0, 1e-200, 0.0, 1e-200},   // and underflow here
        // sqrt of the double sum of double squares gives ...789 here.
        {-0x1.7f5b1e843dc6cp+7, 0x1.27f0af238ef54p+8, -0x1.d584bfcda927dp+9, 0x1.84ba1983794p+9,
         0x1.bc85c5229e78ap+9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x1) + ", " + std::to_string(c.y1) + " to " +
                     std::to_string(c.x2) + ", " + std::to_string(c.y2));
        EXPECT_EQ(PointDistance(c.x1, c.y1, c.x2, c.y2), c.expected);
    }
}
