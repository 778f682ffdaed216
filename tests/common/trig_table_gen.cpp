// Writes the trigonometry table (format in trig_cases.hpp) to the file named by the argument.
// Run natively after a change to the trigonometry, once the trigonometry test has shown the
// results to be the correctly rounded long doubles:
//   build/<dir>/tests/common/trig_table_gen tests/common/data/trig_sweep.txt
#include <cinttypes>
#include <cstdio>

#include "common/fpu.hpp"
#include "trig_cases.hpp"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: trig_table_gen <table file>\n");
        return 64;
    }
    MyFunc::UseExtendedPrecision();
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::fputs("# Written by trig_table_gen: sine, cosine and arc tangent bits of Korvane's\n"
               "# portable trigonometry; every target must reproduce them exactly.\n"
               "# half-degrees radians sin cos atan2(sin,cos)\n",
               out);
    std::fprintf(out, "random %d %016" PRIx64 "\n", TrigCases::kRandomCount,
                 TrigCases::RandomChecksum());
    for (int h = TrigCases::kSweepFirst; h <= TrigCases::kSweepLast; ++h) {
        const TrigCases::SweepResult r = TrigCases::ComputeSweep(h);
        std::fprintf(out, "%d %016" PRIx64 " %016" PRIx64 " %016" PRIx64 " %016" PRIx64 "\n", h,
                     TrigCases::Bits(r.radians), TrigCases::Bits(r.sin), TrigCases::Bits(r.cos),
                     TrigCases::Bits(r.atan2));
    }
    if (std::fclose(out) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
