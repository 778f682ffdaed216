#include <gtest/gtest.h>

#include "common/fpu.hpp"

int main(int argc, char** argv)
{
    MyFunc::UseExtendedPrecision();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
