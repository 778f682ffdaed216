// korvane-refcheck: runs the dimensioning command on exchange files twice, with the fast stages
// and with the quadratic ones (the scan of the point list and the selection sort), and compares
// the command files byte for byte. It also reports how the points fall into components for the
// ordering: how many chains of near-equal X there are, how large the largest one is and how wide
// the widest (in units of 1e-10).
//
//   korvane-refcheck [--fast-only] FILE...     (exit 0 when every file gives the same bytes)
//
// --fast-only skips the quadratic stages (beyond some 10^5 points they take hours) and reports
// the components of the fast acquisition's points.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "common/fpu.hpp"
#include "dialog/dialog_state.hpp"
#include "dimension/command.hpp"
#include "dimension/draw.hpp"
#include "dimension/layout.hpp"
#include "dimension/measure_points_internal.hpp"
#include "dimension/settings.hpp"
#include "exchange/command_writer.hpp"
#include "exchange/drawing_model.hpp"
#include "exchange/exchange_reader.hpp"
#include "exchange_generator.hpp"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from)
{
    return std::chrono::duration<double>(Clock::now() - from).count();
}

std::string FileBytes(const RidEdaza::CommandBuffer& buffer, const fs::path& path)
{
    RidEdaza::WriteCommandFile(buffer, path);
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Components {
    std::size_t count = 0;
    std::size_t chains = 0;       // wider than the tolerance: replayed step by step
    std::size_t inChains = 0;
    std::size_t largestChain = 0;
    long double widest = 0;  // the largest X span of a chain
};

// The components of the ordering: X sorted and cut where neighbours differ by more than 1e-10.
Components ComponentsOf(const Dimension::MeasurePointList& points)
{
    std::vector<double> xs;
    xs.reserve(points.size());
    for (const Dimension::MeasurePoint& p : points) xs.push_back(p.X);
    std::sort(xs.begin(), xs.end());
    auto near = [](double a, double b) {
        return std::fabs(static_cast<long double>(a) - b) <= 1e-10L;
    };
    Components c;
    for (std::size_t i = 0; i < xs.size();) {
        std::size_t end = i + 1;
        while (end < xs.size() && near(xs[end], xs[end - 1])) ++end;
        ++c.count;
        if (!near(xs[end - 1], xs[i])) {
            ++c.chains;
            c.inChains += end - i;
            c.largestChain = std::max(c.largestChain, end - i);
            c.widest = std::max(c.widest, static_cast<long double>(xs[end - 1]) - xs[i]);
        }
        i = end;
    }
    return c;
}

// The settings as the command scales them for a horizontal run of the drawing.
Dimension::DimensionSettings HorizontalRunSettings(const Dimension::DimensionSettings& settings,
                                                   const RidEdaza::DrawingModel& model)
{
    Dimension::DimensionSettings scaled = settings;
    Dimension::ScaleDimensionSettings(scaled, Dimension::CurrentScale(model.state));
    scaled.DimensionAngle = model.state.axisAngle;
    return scaled;
}

}  // namespace

int main(int argc, char** argv)
{
    MyFunc::UseExtendedPrecision();
    const bool fastOnly = argc > 1 && std::string_view(argv[1]) == "--fast-only";
    const int first = fastOnly ? 2 : 1;
    if (argc <= first) {
        std::fprintf(stderr, "usage: korvane-refcheck [--fast-only] FILE...\n");
        return 64;
    }
    const fs::path scratch = fs::temp_directory_path() / "korvane-refcheck.txt";
    int differing = 0;
    std::printf("%-28s %9s %7s %7s %6s %8s %7s %9s %9s %s\n", "file", "points", "kept", "chains",
                "in", "largest", "widest", "fast s", "ref s", "bytes");
    for (int a = first; a < argc; ++a) {
        RidEdaza::DrawingModel model;
        RidEdaza::CommandWriter initial;
        RidEdaza::InitDrawingModel(model, initial.buffer);
        if (!RidEdaza::ReadExchangeFile(model, argv[a])) {
            std::fprintf(stderr, "korvane-refcheck: cannot read %s\n", argv[a]);
            return 1;
        }
        RidEdaza::ResetOutputState(initial, model.state);
        Unit1::DialogState dialog = Unit1::DefaultDialogState();
        dialog.ComboBox3Items = Unit1::TextKindItems(model.state);
        for (const char* assignment : Bench::kRunSettings) {
            const std::string_view text = assignment;
            const std::size_t eq = text.find('=');
            Unit1::SetControl(dialog, text.substr(0, eq), text.substr(eq + 1));
        }
        const Dimension::DimensionSettings settings = Unit1::ReadDimensionSettings(dialog);

        // The fast stages, as the programs run them.
        const Clock::time_point fastStart = Clock::now();
        RidEdaza::CommandWriter fast = initial;
        const Dimension::CommandResult result = Dimension::RunDimensionCommand(
            settings, model, {}, fast, Dimension::CommandHooks{});
        const double fastSeconds = Seconds(fastStart);
        // One direction was asked for: its counts, or none when the run was refused.
        const Dimension::DirectionResult counts =
            result.directions.empty() ? Dimension::DirectionResult{} : result.directions.front();
        if (fastOnly) {
            Dimension::HeightPoint height;
            Dimension::MeasurePointList points;
            Dimension::AcquireMeasurePoints(HorizontalRunSettings(settings, model), model,
                                            Dimension::PointSource::RangeSelection, height,
                                            points);
            const Components components = ComponentsOf(points);
            std::printf("%-28s %9zu %7zu %7zu %6zu %8zu %7.1f %9.3f %9s %s\n",
                        fs::path(argv[a]).filename().string().c_str(), counts.acquiredPoints,
                        counts.keptPoints, components.chains, components.inChains,
                        components.largestChain, static_cast<double>(components.widest * 1e10L),
                        fastSeconds, "-", "-");
            continue;
        }

        // The reference stages, in the same sequence.
        const Clock::time_point referenceStart = Clock::now();
        RidEdaza::CommandWriter reference = initial;
        const Dimension::DimensionSettings scaled = HorizontalRunSettings(settings, model);
        Dimension::HeightPoint height;
        Dimension::MeasurePointList points;
        Dimension::AcquireMeasurePointsByScan(scaled, model, Dimension::PointSource::RangeSelection,
                                              height, points);
        const Components components = ComponentsOf(points);
        Dimension::OrderMeasurePointsBySelection(points);
        Dimension::GroupMeasurePoints(points, height);
        Dimension::DimensionRun run;
        if (Dimension::LayoutDimensionRun(points, height, scaled, model.state, run)) {
            Dimension::DrawDimensionRun(run, model.state, reference);
        }
        const double referenceSeconds = Seconds(referenceStart);

        const std::string fastBytes = FileBytes(fast.buffer, scratch);
        const std::string referenceBytes = FileBytes(reference.buffer, scratch);
        const bool same = fastBytes == referenceBytes;
        if (!same) ++differing;
        std::printf("%-28s %9zu %7zu %7zu %6zu %8zu %7.1f %9.3f %9.3f %s (%zu)\n",
                    fs::path(argv[a]).filename().string().c_str(), counts.acquiredPoints,
                    counts.keptPoints, components.chains, components.inChains,
                    components.largestChain, static_cast<double>(components.widest * 1e10L),
                    fastSeconds, referenceSeconds,
                    same ? "same" : "DIFFERENT", fastBytes.size());
    }
    fs::remove(scratch);
    return differing == 0 ? 0 : 1;
}
