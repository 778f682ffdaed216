// Portable sine, cosine and arc tangent (see trig.hpp).
//
// Only IEEE additions, multiplications and divisions of the 80-bit long double and integer
// arithmetic are used, so every target gets the same bits. Each result is first formed as an
// unevaluated sum hi + lo of two long doubles (about 128 bits) and rounded once at the end; it is
// therefore the correctly rounded long double except when the true value lies within about
// 2^-120 of a rounding boundary.
//
// Sine and cosine: x = n * pi/2 + r with |r| <= pi/4, the reduction carried out exactly in
// integers on the bits of 2/pi (no cancellation even for a double a hair from a multiple of
// pi/2), then the Taylor series of sin r and cos r: the leading terms in two-part arithmetic,
// the small inner ones in plain long double.
// Arc tangent: t = min/max of |y| and |x| in [0, 1], atan t = atan(j/8) + atan(u) with
// u = (t - j/8) / (1 + t j/8), |u| <= 1/16, the series of atan u, then the octant.
#include "common/trig.hpp"

#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

namespace MyFunc {
namespace {

static_assert(std::numeric_limits<long double>::digits == 64, "needs the x87 long double");

// hi + lo with |lo| at most half an ulp of hi.
struct Wide {
    long double hi;
    long double lo;
};

// Exact sum of two long doubles.
Wide TwoSum(long double a, long double b)
{
    const long double s = a + b;
    const long double bb = s - a;
    const long double err = (a - (s - bb)) + (b - bb);
    return {s, err};
}

// Exact sum when |a| >= |b| (or a is 0).
Wide QuickTwoSum(long double a, long double b)
{
    const long double s = a + b;
    return {s, b - (s - a)};
}

// Splits a into two halves of 32 bits each, so that products of halves are exact.
void Split(long double a, long double& hi, long double& lo)
{
    const long double c = 4294967297.0L * a;  // 2^32 + 1
    hi = c - (c - a);
    lo = a - hi;
}

// Exact product of two long doubles (no overflow or underflow in the range used here).
Wide TwoProduct(long double a, long double b)
{
    const long double p = a * b;
    long double ah, al, bh, bl;
    Split(a, ah, al);
    Split(b, bh, bl);
    const long double err = ((ah * bh - p) + ah * bl + al * bh) + al * bl;
    return {p, err};
}

Wide Add(Wide a, Wide b)
{
    Wide s = TwoSum(a.hi, b.hi);
    const Wide t = TwoSum(a.lo, b.lo);
    s.lo += t.hi;
    s = QuickTwoSum(s.hi, s.lo);
    s.lo += t.lo;
    return QuickTwoSum(s.hi, s.lo);
}

Wide Negate(Wide a)
{
    return {-a.hi, -a.lo};
}

Wide Subtract(Wide a, Wide b)
{
    return Add(a, Negate(b));
}

Wide Multiply(Wide a, Wide b)
{
    Wide p = TwoProduct(a.hi, b.hi);
    p.lo += a.hi * b.lo + a.lo * b.hi;
    return QuickTwoSum(p.hi, p.lo);
}

Wide Divide(Wide a, Wide b)
{
    const long double q1 = a.hi / b.hi;
    Wide r = Subtract(a, Multiply(b, Wide{q1, 0.0L}));
    const long double q2 = r.hi / b.hi;
    r = Subtract(r, Multiply(b, Wide{q2, 0.0L}));
    const long double q3 = r.hi / b.hi;
    return Add(QuickTwoSum(q1, q2), Wide{q3, 0.0L});
}

// Two-part constants: the nearest long double and the nearest long double to the remainder.
constexpr Wide kWidePi = {0xC90FDAA22168C235p-62L, -0xECE675D1FC8F8CBBp-128L};
constexpr Wide kWideHalfPi = {0xC90FDAA22168C235p-63L, -0xECE675D1FC8F8CBBp-129L};
constexpr long double kQuarterPi = 0xC90FDAA22168C235p-64L;

// atan(j / 8) for j = 0..8.
constexpr Wide kAtanOfEighths[9] = {
    {0.0L, 0.0L},
    {0xFEADD4D5617B6E33p-67L, -0xDDA19D8305DDC422p-133L},
    {0xFADBAFC96406EB15p-66L, 0xDB8F3DEBEF442FCBp-131L},
    {0xB7B0CA0F26F78474p-65L, -0xEAB9BDBA460376FAp-130L},
    {0xED63382B0DDA7B45p-65L, 0xDFC88BD978751A07p-130L},
    {0x8F005D5EF7F59F9Bp-64L, 0xB906BC2CCB886E8Fp-129L},
    {0xA4BC7D1934F70924p-64L, 0xCD43F9522BED64F7p-131L},
    {0xB8053E2BC2319E74p-64L, -0xD3496AB7BD6EEF0Bp-130L},
    {0xC90FDAA22168C235p-64L, -0xECE675D1FC8F8CBBp-130L},
};

// The binary digits of 2/pi after the point, 32 to a word, the first word holding 2^-1..2^-32;
// enough for the reduction of the largest long double.
constexpr std::uint32_t kTwoOverPiBits[] = {
    0xA2F9836E, 0x4E441529, 0xFC2757D1, 0xF534DDC0, 0xDB629599, 0x3C439041,
    0xFE5163AB, 0xDEBBC561, 0xB7246E3A, 0x424DD2E0, 0x06492EEA, 0x09D1921C,
    0xFE1DEB1C, 0xB129A73E, 0xE88235F5, 0x2EBB4484, 0xE99C7026, 0xB45F7E41,
    0x3991D639, 0x835339F4, 0x9C845F8B, 0xBDF9283B, 0x1FF897FF, 0xDE05980F,
    0xEF2F118B, 0x5A0A6D1F, 0x6D367ECF, 0x27CB09B7, 0x4F463F66, 0x9E5FEA2D,
    0x7527BAC7, 0xEBE5F17B, 0x3D0739F7, 0x8A5292EA, 0x6BFB5FB1, 0x1F8D5D08,
    0x56033046, 0xFC7B6BAB, 0xF0CFBC20, 0x9AF4361D, 0xA9E39161, 0x5EE61B08,
    0x6599855F, 0x14A06840, 0x8DFFD880, 0x4D732731, 0x06061556, 0xCA73A8C9,
    0x60E27BC0, 0x8C6B47C4, 0x19C367CD, 0xDCE8092A, 0x8359C476, 0x8B961CA6,
    0xDDAF44D1, 0x5719053E, 0xA5FF0705, 0x3F7E33E8, 0x32C2DE4F, 0x98327DBB,
    0xC33D26EF, 0x6B1E5EF8, 0x9F3A1F35, 0xCAF27F1D, 0x87F12190, 0x7C7C246A,
    0xFA6ED577, 0x2D30433B, 0x15C614B5, 0x9D19C3C2, 0xC4AD414D, 0x2C5D000C,
    0x467D862D, 0x71E39AC6, 0x9B006233, 0x7CD2B497, 0xA7B4D555, 0x37F63ED7,
    0x1810A3FC, 0x764D2A9D, 0x64ABD770, 0xF87C6357, 0xB07AE715, 0x175649C0,
    0xD9D63B38, 0x84A7CB23, 0x24778AD6, 0x23545AB9, 0x1F001B0A, 0xF1DFCE19,
    0xFF319F6A, 0x1E666157, 0x9947FBAC, 0xD87F7EB7, 0x652289E8, 0x3260BFE6,
    0xCDC4EF09, 0x366CD43F, 0x5DD7DE16, 0xDE3B5892, 0x9BDE2822, 0xD2E88628,
    0x4D58E232, 0xCAC616E3, 0x08CB7DE0, 0x50C017A7, 0x1DF35BE0, 0x1834132E,
    0x62128301, 0x48835B8E, 0xF57FB0AD, 0xF2E91E43, 0x4A48D367, 0x10D8DDAA,
    0x425FAECE, 0x616AA428, 0x0AB499D3, 0xF2A6067F, 0x775C83C2, 0xA3883C61,
    0x78738A5A, 0x8CAFBDD7, 0x6F63A62D, 0xCBBFF4EF, 0x818D67C1, 0x2645CA55,
    0x36D9CAD2, 0xA8288D61, 0xC277C912, 0x1426049B, 0x4612C459, 0xC444C5C8,
    0x91B24DF3, 0x1700AD43, 0xD4E54929, 0x10D5FDFC, 0xBE00CC94, 0x1EEECE70,
    0xF53E1380, 0xF1ECC3E7, 0xB328F8C7, 0x9405933E, 0x71C1B309, 0x2EF3450B,
    0x9C12887B, 0x20AB9FB5, 0x2EC29247, 0x2F327B6D, 0x550C90A7, 0x721FE76B,
    0x96CB314A, 0x1679E279, 0x4189DFF4, 0x9794E884, 0xE6E29731, 0x996BED88,
    0x365F5F0E, 0xFDBBB49A, 0x486CA467, 0x42727132, 0x5D8DB815, 0x9F09E5BC,
    0x25318D39, 0x74F71C05, 0x30010C0D, 0x68084B58, 0xEE2C90AA, 0x4702E774,
    0x24D6BDA6, 0x7DF77248, 0x6EEF169F, 0xA6948EF6, 0x91B45153, 0xD1F20ACF,
    0x3398207E, 0x4BF56863, 0xB25F3EDD, 0x035D407F, 0x89852952, 0x55C06437,
    0x10D86D32, 0x4832754C, 0x5BD4714E, 0x6E5445C1, 0x090B69F5, 0x2AD56614,
    0x9D072750, 0x045DDB3B, 0xB4C576EA, 0x17F9877D, 0x6B49BA27, 0x1D296996,
    0xACCCC654, 0x14AD6AE2, 0x9089D988, 0x50722CBE, 0xA4049407, 0x777030F3,
    0x27FC00A8, 0x71EA49C2, 0x663DE064, 0x83DD9797, 0x3FA3FD94, 0x438C860D,
    0xDE41319D, 0x39928C70, 0xDDE7B717, 0x3BDF082B, 0x3715A080, 0x5C93805A,
    0x921110D8, 0xE80FAF80, 0x6C4BFFDB, 0x0F903876, 0x185915A5, 0x62BBCB61,
    0xB989C7BD, 0x401004F2, 0xD2277549, 0xF6B6EBBB, 0x22DBAA14, 0x0A2F2689,
    0x76836433, 0x3B091A94, 0x0EAA3A51, 0xC2A31DAE, 0xEDAF1226, 0x5C4DC26D,
    0x9C7A2D97, 0x56C0833F, 0x03F6F009, 0x8C402B99, 0x316D07B4, 0x3915200C,
    0x5BC3D8C4, 0x92F54BAD, 0xC6A5CA4E, 0xCD37A736, 0xA9E69492, 0xAB6842DD,
    0xDE6319EF, 0x8C76528B, 0x6837DBFC, 0xABA1AE31, 0x15DFA1AE, 0x00DAFB0C,
    0x664D64B7, 0x05ED3065, 0x29BF5657, 0x3AFF47B9, 0xF96AF3BE, 0x75DF9328,
    0x3080ABF6, 0x8C6615CB, 0x040622FA, 0x1DE4D9A4, 0xB33D8F1B, 0x5709CD36,
    0xE9424EA4, 0xBE13B523, 0x331AAAF0, 0xA8654FA5, 0xC1D20F3F, 0x0BCD785B,
    0x76F92304, 0x8B7B7217, 0x8953A6C6, 0xE26E6F00, 0xEBEF584A, 0x9BB7DAC4,
    0xBA66AACF, 0xCF761D02, 0xD12DF1B1, 0xC1998C77, 0xADC3DA48, 0x86A05DF7,
    0xF480C62F, 0xF0AC9AEC, 0xDDBC5C3F, 0x6DDED01F, 0xC790B6DB, 0x2A3A25A3,
    0x9AAF0093, 0x53AD0457, 0xB6B42D29, 0x7E804BA7, 0x07DA0EAA, 0x76A1597B,
    0x2A12162D, 0xB7DCFDE5, 0xFAFEDB89, 0xFDBE896C, 0x76E4FCA9, 0x0670803E,
    0x156E85FF, 0x87FD073E, 0x28336761, 0x86182AEA, 0xBD4DAFE7, 0xB36E6D8F,
    0x3967955B, 0xBF3148D7, 0x8416DF30, 0x432DC735, 0x6125CE70, 0xC9B8CB30,
    0xFD6CBFA2, 0x00A4E46C, 0x05A0DD5A, 0x476F21D2, 0x1262845C, 0xB9496170,
    0xE0566B01, 0x52993755, 0x50B7D51E, 0xC4F1335F, 0x6E13E430, 0x5DA92E85,
    0xC3B21D36, 0x32A1A4B7, 0x08D4B1EA, 0x21F716E4, 0x698F77FF, 0x2780030C,
    0x2D408DA0, 0xCD4F99A5, 0x20D3A2B3, 0x0A5D2F42, 0xF9B4CBDA, 0x11D0BE7D,
    0xC1DB9BBD, 0x17AB81A2, 0xCA5C6A08, 0x17552E55, 0x0027F014, 0x7F8607E1,
    0x640B148D, 0x4196DEBE, 0x872AFDDA, 0xB6256B34, 0x897BFEF3, 0x059EBFB9,
    0x4F6A68A8, 0x2A4A5AC4, 0x4FBCF82D, 0x985AD795, 0xC7F48D4D, 0x0DA63A20,
    0x5F57A4B1, 0x3F149538, 0x800120CC, 0x86DD71B6, 0xDEC9F560, 0xBF11654D,
    0x6B0701AC, 0xB08CD0C0, 0xB2485551, 0x0EFB1EC3, 0x72953B06, 0xA33540C0,
    0x7BDC06CC, 0x45E0FA29, 0x4EC8CAD6, 0x41F3E8DE, 0x647CD864, 0x9B31BED9,
    0xC397A4D4, 0x5877C5E3, 0x6913DAF0, 0x3C3ABA46, 0x18465F75, 0x55F5BDD2,
    0xC6926E5D, 0x2EACED44, 0x0E423E1C, 0x87C461E9, 0xFD29F3D6, 0xE7CA7C22,
    0x35916FC5, 0xE0088DD7, 0xFFE26A6E, 0xC6FDB0C1, 0x0893745D, 0x7CB2AD6B,
    0x9D6ECD7B, 0x723E6A11, 0xC6A9CFF7, 0xDF7329BA, 0xC9B55100, 0xB70DB2E2,
    0x24BA7460, 0x7DE58AD8, 0x742C150D, 0x0C188194, 0x667E1629, 0x01767A9F,
    0xBEFDFDEF, 0x4556367E, 0xD913D9EC, 0xB9BA8BFC, 0x97C427A8, 0x31C36EF1,
    0x36C59456, 0xA8D8B5A8, 0xB40ECCCF, 0x2D891234, 0x576F8956, 0x2CE3CE99,
    0xB920D6AA, 0x5E6B9C2A, 0x3ECC5F11, 0x4A0BFDFB, 0xF4E16D3B, 0x8E2C86E2,
    0x84D4E9A9, 0xB4FCD1EE, 0xEFC9352E, 0x61392F44, 0x2138C8D9, 0x1B0AFC81,
    0x6A4AFBD8, 0x1C2F84B4, 0x538C994E, 0xCC2254DC, 0x552AD6C6, 0xC096190B,
    0xB8701A64, 0x9569605A, 0x26EE523F, 0x0F117F11, 0xB5F4F5CB, 0xFC2DBC34,
    0xEEBC34CC, 0x5DE8605E, 0xDD9B8E67, 0xEF3392B8, 0x17C99B58, 0x61BC57E1,
    0xC6835110, 0x3ED84871, 0xDDDD1C2D, 0xA118AF46, 0x2C21D7F3, 0x59987AD9,
    0xC0549EFA, 0x864FFC06, 0x56AE79E5, 0x36228922, 0xAD38DC93, 0x67AAE855,
    0x3826829B, 0xE7CAA40D, 0x51B13399, 0x0ED7A948, 0x0569F0B2, 0x65A7887F,
    0x974C8836, 0xD1F9B392, 0x214A827B, 0x21CF98DC, 0x9F405547, 0xDC3A74E1,
    0x42EB67DF, 0x9DFE5FD4, 0x5EA4677B, 0x7AACBAA2, 0xF6552388, 0x2B55BA41,
    0x086E5986, 0x2A218347, 0x39E6E389, 0xD49EE540, 0xFB49E956, 0xFFCA0F1C,
    0x8A59C52B, 0xFA94C5C1, 0xD3CFC50F, 0xAE5ADB86, 0xC5476243, 0x853B8621,
    0x94792C87, 0x61107B4C, 0x2A1A2C80, 0x12BF4390, 0x2688893C, 0x78E4C4A8,
    0x7BDBE5C2, 0x3AC4EAF4, 0x268A67F7, 0xBF920D2B, 0xA365B193, 0x3D0B7CBD,
    0xDC51A463, 0xDD27DDE1, 0x6919949A, 0x9529A828, 0xCE68B4ED, 0x09209F44,
    0xCA984E63, 0x8270237C, 0x7E32B90F, 0x8EF5A7E7, 0x561408F1, 0x212A9DB5,
    0x4D7E6F51, 0x19A5ABF9, 0xB5D6DF82, 0x61DD9602, 0x36169F3A, 0xC4A1A283,
    0x6DED727A, 0x8D39A9B8, 0x825C326B, 0x5B2746ED, 0x34007700, 0xD255F4FC,
    0x4D590180, 0x71E0E13F, 0x89B295F3, 0x64A8F1AE, 0xA74B38FC, 0x4CEAB2BB,
    0x47270BAB, 0xC3A734BA
};
constexpr int kTwoOverPiWordCount =
    static_cast<int>(sizeof kTwoOverPiBits / sizeof kTwoOverPiBits[0]);

// x = significand * 2^exponent for a finite x >= 0, the significand as the 64-bit integer.
void Decompose(long double x, std::uint64_t& significand, int& exponent)
{
    unsigned char bytes[10];
    std::memcpy(bytes, &x, sizeof bytes);
    std::memcpy(&significand, bytes, sizeof significand);
    const int biased = (bytes[8] | (bytes[9] << 8)) & 0x7FFF;
    exponent = (biased == 0 ? 1 : biased) - 16383 - 63;
}

// The position of the leading binary digit: 2^e <= x < 2^(e+1) for finite x > 0.
int LeadingExponent(long double x)
{
    std::uint64_t significand;
    int exponent;
    Decompose(x, significand, exponent);
    return exponent + static_cast<int>(std::bit_width(significand)) - 1;
}

// 2^k for -16382 <= k <= 16383.
long double PowerOfTwo(int k)
{
    const std::uint64_t significand = std::uint64_t{1} << 63;
    const int biased = k + 16383;
    unsigned char bytes[sizeof(long double)] = {};
    std::memcpy(bytes, &significand, sizeof significand);
    bytes[8] = static_cast<unsigned char>(biased & 0xFF);
    bytes[9] = static_cast<unsigned char>(biased >> 8);
    long double result;
    std::memcpy(&result, bytes, sizeof result);
    return result;
}

// x * 2^k, exact as long as the result is a normal number.
long double Scale(long double x, int k)
{
    while (k > 16000) {
        x *= PowerOfTwo(16000);
        k -= 16000;
    }
    while (k < -16000) {
        x *= PowerOfTwo(-16000);
        k += 16000;
    }
    return x * PowerOfTwo(k);
}

// 32 digits of 2/pi starting with the digit of 2^-first (first >= 1).
std::uint32_t TwoOverPiWord(int first)
{
    const int index = (first - 1) / 32;
    const int shift = (first - 1) % 32;
    const std::uint32_t w0 = index < kTwoOverPiWordCount ? kTwoOverPiBits[index] : 0;
    if (shift == 0) {
        return w0;
    }
    const std::uint32_t w1 = index + 1 < kTwoOverPiWordCount ? kTwoOverPiBits[index + 1] : 0;
    return (w0 << shift) | (w1 >> (32 - shift));
}

// The product of the 64-bit significand and 288 digits of 2/pi: 32-bit limbs, least significant
// first.
constexpr int kWindowWords = 9;
constexpr int kProductWords = kWindowWords + 2;
constexpr int kProductBits = 32 * kProductWords;
using Limbs = std::uint32_t[kProductWords];

std::uint32_t LimbAt(const Limbs& p, int index)
{
    return index >= 0 && index < kProductWords ? p[index] : 0u;
}

// The 64 binary digits of p whose lowest is bit `low` (digits outside p are 0).
std::uint64_t DigitsFrom(const Limbs& p, int low)
{
    const int index = low >= 0 ? low / 32 : -((31 - low) / 32);
    const int shift = low - 32 * index;
    const std::uint64_t middle = (std::uint64_t{LimbAt(p, index + 1)} << 32) | LimbAt(p, index);
    std::uint64_t digits = middle >> shift;
    if (shift != 0) {
        digits |= std::uint64_t{LimbAt(p, index + 2)} << (64 - shift);
    }
    return digits;
}

// p * 2^shift, digits beyond the top dropped (0 <= shift < kProductBits).
void ShiftLeft(Limbs& p, int shift)
{
    const int words = shift / 32;
    const int bits = shift % 32;
    for (int i = kProductWords - 1; i >= 0; --i) {
        std::uint32_t v = LimbAt(p, i - words) << bits;
        if (bits != 0) {
            v |= LimbAt(p, i - words - 1) >> (32 - bits);
        }
        p[i] = v;
    }
}

// x = n * pi/2 + r for finite x > pi/4: returns n mod 4 and r with |r| <= pi/4.
int ReduceByHalfPi(long double x, Wide& r)
{
    std::uint64_t significand;
    int exponent;
    Decompose(x, significand, exponent);

    // Digits of 2/pi at 2^-j with j <= exponent - 2 only add multiples of 4 to x * 2/pi.
    const int first = exponent - 1 > 1 ? exponent - 1 : 1;
    const std::uint32_t m[2] = {static_cast<std::uint32_t>(significand),
                                static_cast<std::uint32_t>(significand >> 32)};
    Limbs p = {};
    for (int i = 0; i < kWindowWords; ++i) {
        // Limb i of the window, counted from its least significant end.
        const std::uint64_t w = TwoOverPiWord(first + 32 * (kWindowWords - 1 - i));
        std::uint64_t carry = 0;
        for (int k = 0; k < 2; ++k) {
            const std::uint64_t t = w * m[k] + p[i + k] + carry;
            p[i + k] = static_cast<std::uint32_t>(t);
            carry = t >> 32;
        }
        for (int k = i + 2; carry != 0 && k < kProductWords; ++k) {
            const std::uint64_t t = std::uint64_t{p[k]} + carry;
            p[k] = static_cast<std::uint32_t>(t);
            carry = t >> 32;
        }
    }

    // x * 2/pi = p * 2^-point (mod 4), point between 286 and kProductBits.
    const int point = first + 32 * kWindowWords - 1 - exponent;
    int n = static_cast<int>(DigitsFrom(p, point) & 3u);
    // Move the point to the top: p becomes the fraction f = p / 2^kProductBits in [0, 1).
    ShiftLeft(p, kProductBits - point);
    bool negative = false;
    if ((p[kProductWords - 1] >> 31) != 0) {
        // f >= 1/2: take n + 1 and the fraction 1 - f with a minus sign.
        n = (n + 1) & 3;
        negative = true;
        std::uint64_t borrow = 0;
        for (std::uint32_t& limb : p) {
            const std::uint64_t t = std::uint64_t{0} - limb - borrow;
            limb = static_cast<std::uint32_t>(t);
            borrow = (t >> 32) != 0 ? 1 : 0;
        }
    }

    int topLimb = kProductWords - 1;
    while (topLimb >= 0 && p[topLimb] == 0) {
        --topLimb;
    }
    if (topLimb < 0) {
        r = {0.0L, 0.0L};
        return n;
    }
    const int top = 32 * topLimb + 31 - std::countl_zero(p[topLimb]);
    const long double hi =
        Scale(static_cast<long double>(DigitsFrom(p, top - 63)), top - 63 - kProductBits);
    const long double lo =
        Scale(static_cast<long double>(DigitsFrom(p, top - 127)), top - 127 - kProductBits);
    r = Multiply(QuickTwoSum(hi, lo), kWideHalfPi);
    if (negative) {
        r = Negate(r);
    }
    return n;
}

// a / d for a small whole number d.
Wide DivideByInteger(Wide a, long double d)
{
    const long double q1 = a.hi / d;
    const Wide p = TwoProduct(q1, d);
    const long double remainder = ((a.hi - p.hi) - p.lo) + a.lo;
    return QuickTwoSum(q1, remainder / d);
}

// The series of sin and cos in nested form, 1 - z/d(1) (1 - z/d(2) (1 - ... z/d(kTerms))), with
// d(k) = (2k)(2k+1) for the sine and (2k-1)(2k) for the cosine. The innermost terms are below
// 2^-24 of the sum and are summed in plain long double; the last term is below 2^-128.
constexpr int kTerms = 16;
constexpr int kWideTerms = 5;

Wide NestedSeries(Wide z, int offset)
{
    long double inner = 1.0L;
    for (int k = kTerms; k > kWideTerms; --k) {
        const long double d = static_cast<long double>((2 * k + offset - 1) * (2 * k + offset));
        inner = 1.0L - z.hi * inner / d;
    }
    Wide t = {inner, 0.0L};
    for (int k = kWideTerms; k >= 1; --k) {
        const long double d = static_cast<long double>((2 * k + offset - 1) * (2 * k + offset));
        t = Subtract(Wide{1.0L, 0.0L}, DivideByInteger(Multiply(z, t), d));
    }
    return t;
}

// sin r for |r| <= pi/4.
Wide SinKernel(Wide r)
{
    return Multiply(r, NestedSeries(Multiply(r, r), 1));
}

// cos r for |r| <= pi/4.
Wide CosKernel(Wide r)
{
    return NestedSeries(Multiply(r, r), 0);
}

// Below this |x|, sin x rounds to x and cos x to 1.
constexpr long double kTiny = 0x1p-33L;

// sin (quadrant 0) or cos (quadrant 1) of x >= 0, finite.
long double SinOrCosOfNonNegative(long double x, int quadrantShift)
{
    Wide r = {x, 0.0L};
    int n = 0;
    if (x > kQuarterPi) {
        n = ReduceByHalfPi(x, r);
    }
    switch ((n + quadrantShift) & 3) {
    case 0:
        return SinKernel(r).hi;
    case 1:
        return CosKernel(r).hi;
    case 2:
        return -SinKernel(r).hi;
    default:
        return -CosKernel(r).hi;
    }
}

bool SignBit(long double x)
{
    unsigned char bytes[10];
    std::memcpy(bytes, &x, sizeof bytes);
    return (bytes[9] & 0x80) != 0;
}

bool IsFinite(long double x)
{
    return x - x == 0.0L;
}

long double Abs(long double x)
{
    return SignBit(x) ? -x : x;
}

// atan(t) for the quotient t = a / b, 0 <= a <= b, b > 0, both finite; result as hi + lo.
Wide AtanOfQuotient(long double a, long double b)
{
    if (a == 0.0L) {
        return {0.0L, 0.0L};
    }
    const int eb = LeadingExponent(b);
    if (eb - LeadingExponent(a) > 100) {
        // atan t = t - t^3/3 with t < 2^-100: t itself, correctly rounded.
        return {a / b, 0.0L};
    }
    // Bring b into [1, 2); a stays a normal number.
    a = Scale(a, -eb);
    b = Scale(b, -eb);
    const long double t = a / b;
    int j = 0;
    while (j < 8 && t > (static_cast<long double>(j) + 0.5L) / 8.0L) {
        ++j;
    }
    const long double c = static_cast<long double>(j) / 8.0L;
    // u = (a - c b) / (b + c a), |u| <= 1/16.
    const Wide num = Subtract(Wide{a, 0.0L}, TwoProduct(c, b));
    const Wide den = Add(Wide{b, 0.0L}, TwoProduct(c, a));
    const Wide u = Divide(num, den);
    const Wide z = Multiply(u, u);
    // atan u = u (1 - z (1/3 - z (1/5 - z (1/7 - ...)))); from 1/7 on, the terms are below
    // 2^-24 of the sum and are summed in plain long double.
    constexpr int kAtanTerms = 16;
    long double inner = 1.0L / (2.0L * kAtanTerms + 1.0L);
    for (int k = kAtanTerms - 1; k >= 3; --k) {
        inner = 1.0L / static_cast<long double>(2 * k + 1) - z.hi * inner;
    }
    Wide s = {inner, 0.0L};
    for (int k = 2; k >= 0; --k) {
        const Wide coefficient =
            DivideByInteger(Wide{1.0L, 0.0L}, static_cast<long double>(2 * k + 1));
        s = Subtract(coefficient, Multiply(z, s));
    }
    return Add(kAtanOfEighths[j], Multiply(u, s));
}

}  // namespace

long double Sin(long double x)
{
    if (!IsFinite(x)) {
        return x - x;
    }
    if (Abs(x) < kTiny) {
        return x;
    }
    const long double s = SinOrCosOfNonNegative(Abs(x), 0);
    return x < 0.0L ? -s : s;
}

long double Cos(long double x)
{
    if (!IsFinite(x)) {
        return x - x;
    }
    if (Abs(x) < kTiny) {
        return 1.0L;
    }
    return SinOrCosOfNonNegative(Abs(x), 1);
}

long double Atan2(long double y, long double x)
{
    if (y != y || x != x) {
        return x + y;
    }
    const bool yNegative = SignBit(y);
    const bool xNegative = SignBit(x);
    long double ay = Abs(y);
    long double ax = Abs(x);
    // Infinities stand for directions: both infinite is the diagonal.
    if (!IsFinite(ay) || !IsFinite(ax)) {
        const bool yInfinite = !IsFinite(ay);
        const bool xInfinite = !IsFinite(ax);
        ay = yInfinite ? 1.0L : 0.0L;
        ax = xInfinite ? 1.0L : 0.0L;
    }
    Wide angle = ay <= ax ? AtanOfQuotient(ay, ax) : Subtract(kWideHalfPi, AtanOfQuotient(ax, ay));
    if (xNegative) {
        angle = Subtract(kWidePi, angle);
    }
    return yNegative ? -angle.hi : angle.hi;
}

}  // namespace MyFunc
