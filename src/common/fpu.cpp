#include "common/fpu.hpp"

namespace MyFunc {

void UseExtendedPrecision()
{
#if defined(__x86_64__) || defined(__i386__)
    // 0x037F: all exceptions masked, precision control 11 (64 bits), rounding to nearest.
    unsigned short controlWord = 0x037F;
    __asm__ __volatile__("fldcw %0" : : "m"(controlWord));
#endif
}

bool ExtendedPrecisionInForce()
{
    // 1 + 2^-60 is representable with a 64-bit mantissa only; with 53 bits it rounds back to 1.
    volatile long double one = 1.0L;
    volatile long double tiny = 0x1p-60L;
    long double sum = one + tiny;
    return sum != one;
}

}  // namespace MyFunc
