// korvane-benchgen: writes a large synthetic exchange file for timing runs.
//
//   korvane-benchgen plan SEGMENTS FILE [--axis DEG] [--groups] [--round] [--seed N]
//   korvane-benchgen scatter POINTS FILE [--round] [--seed N]
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "common/text.hpp"
#include "exchange_generator.hpp"

namespace {

int Usage()
{
    std::cerr << "usage: korvane-benchgen plan SEGMENTS FILE [--axis DEG] [--groups] [--round] "
                 "[--seed N]\n"
                 "       korvane-benchgen scatter POINTS FILE [--round] [--seed N]\n";
    return 64;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4) return Usage();
    const std::string_view kind = argv[1];
    const long long count = std::atoll(argv[2]);
    const std::string file = argv[3];
    if ((kind != "plan" && kind != "scatter") || count < 1) return Usage();

    Bench::PlanOptions plan;
    Bench::ScatterOptions scatter;
    plan.segments = count;
    scatter.points = count;
    for (int i = 4; i < argc; ++i) {
        const std::string_view a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--axis" && hasValue) {
            plan.axisAngle = MyFunc::TextToRealOrZero(argv[++i]);
        } else if (a == "--groups") {
            plan.layerGroups = true;
        } else if (a == "--round") {
            plan.roundCoordinates = true;
            scatter.roundCoordinates = true;
        } else if (a == "--seed" && hasValue) {
            plan.seed = scatter.seed = std::strtoull(argv[++i], nullptr, 10);
        } else {
            return Usage();
        }
    }

    const std::string bytes =
        kind == "plan" ? Bench::GeneratePlan(plan) : Bench::GenerateScatter(scatter);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (out.fail()) {
        std::cerr << "korvane-benchgen: cannot write " << file << "\n";
        return 1;
    }
    return 0;
}
