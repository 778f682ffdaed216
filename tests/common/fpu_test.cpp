#include <gtest/gtest.h>

#include "common/fpu.hpp"

// The test main sets the precision as the programs do; every result of the geometry and of the
// value texts relies on it being in force.
TEST(Fpu, ExtendedPrecisionIsInForce)
{
    EXPECT_TRUE(MyFunc::ExtendedPrecisionInForce());
}

TEST(Fpu, LongDoubleCarriesSixtyFourBitMantissa)
{
    volatile long double third = 1.0L / 3.0L;
    volatile double stored = static_cast<double>(third);
    // With a 53-bit x87 mantissa both would be the same value.
    EXPECT_NE(static_cast<long double>(stored), static_cast<long double>(third));
}
