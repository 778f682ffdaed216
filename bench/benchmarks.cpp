// Benchmarks of the stages of a run on generated drawings: reading the exchange file, acquiring,
// ordering and grouping the measuring points, laying out and drawing the run, writing the
// command file. The drawings come from exchange_generator; each is generated once per process.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <tuple>

#include "common/fpu.hpp"
#include "dialog/dialog_state.hpp"
#include "dimension/command.hpp"
#include "dimension/draw.hpp"
#include "dimension/layout.hpp"
#include "dimension/measure_points.hpp"
#include "dimension/settings.hpp"
#include "exchange/command_writer.hpp"
#include "exchange/drawing_model.hpp"
#include "exchange/exchange_reader.hpp"
#include "exchange_generator.hpp"

namespace fs = std::filesystem;

namespace {

constexpr Dimension::PointSource kRangeSelection = Dimension::PointSource::RangeSelection;

enum DrawingKind : int { kPlan = 0, kPlanTurned = 1, kScatter = 2 };

const char* KindName(int kind)
{
    switch (kind) {
    case kPlan: return "plan";
    case kPlanTurned: return "plan-axis30-groups";
    default: return "scatter";
    }
}

std::string Generate(int kind, std::int64_t count)
{
    if (kind == kScatter) {
        Bench::ScatterOptions options;
        options.points = count;
        return Bench::GenerateScatter(options);
    }
    Bench::PlanOptions options;
    options.segments = count;
    if (kind == kPlanTurned) {
        options.axisAngle = 30.0;
        options.layerGroups = true;
    }
    return Bench::GeneratePlan(options);
}

// The exchange file of a drawing, written once into the temporary folder.
const fs::path& ExchangeFile(int kind, std::int64_t count)
{
    static std::map<std::pair<int, std::int64_t>, fs::path> files;
    auto [it, added] = files.try_emplace({kind, count});
    if (added) {
        it->second = fs::temp_directory_path() /
                     ("korvane-bench-" + std::string(KindName(kind)) + "-" +
                      std::to_string(count) + ".txt");
        const std::string bytes = Generate(kind, count);
        std::ofstream out(it->second, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    return it->second;
}

struct Prepared {
    RidEdaza::DrawingModel model;
    RidEdaza::CommandWriter writer;
    Dimension::DimensionSettings settings;  // as read from the dialog
    Dimension::DimensionSettings scaled;    // in drawing units
};

// The model read and the settings of a run that takes every kind of point.
const Prepared& PreparedDrawing(int kind, std::int64_t count)
{
    static std::map<std::pair<int, std::int64_t>, Prepared> drawings;
    auto [it, added] = drawings.try_emplace({kind, count});
    Prepared& p = it->second;
    if (added) {
        RidEdaza::InitDrawingModel(p.model, p.writer.buffer);
        RidEdaza::ReadExchangeFile(p.model, ExchangeFile(kind, count));
        RidEdaza::ResetOutputState(p.writer, p.model.state);
        Unit1::DialogState dialog = Unit1::DefaultDialogState();
        dialog.ComboBox3Items = Unit1::TextKindItems(p.model.state);
        for (const char* assignment : Bench::kRunSettings) {
            const std::string_view a = assignment;
            const std::size_t eq = a.find('=');
            Unit1::SetControl(dialog, a.substr(0, eq), a.substr(eq + 1));
        }
        p.settings = Unit1::ReadDimensionSettings(dialog);
        p.scaled = p.settings;
        Dimension::ScaleDimensionSettings(p.scaled, Dimension::CurrentScale(p.model.state));
        p.scaled.DimensionAngle = p.model.state.axisAngle;
    }
    return p;
}

void SetLabel(benchmark::State& state, int kind) { state.SetLabel(KindName(kind)); }

void BM_ReadExchangeFile(benchmark::State& state)
{
    const int kind = static_cast<int>(state.range(0));
    const fs::path& file = ExchangeFile(kind, state.range(1));
    const auto bytes = static_cast<std::int64_t>(fs::file_size(file));
    for (auto _ : state) {
        RidEdaza::DrawingModel model;
        RidEdaza::CommandBuffer buffer;
        RidEdaza::InitDrawingModel(model, buffer);
        benchmark::DoNotOptimize(RidEdaza::ReadExchangeFile(model, file));
    }
    state.SetBytesProcessed(state.iterations() * bytes);
    SetLabel(state, kind);
}

void BM_AcquireOrderGroup(benchmark::State& state)
{
    const int kind = static_cast<int>(state.range(0));
    const Prepared& p = PreparedDrawing(kind, state.range(1));
    Dimension::MeasurePointList points;
    Dimension::HeightPoint height;
    for (auto _ : state) {
        Dimension::AcquireMeasurePoints(p.scaled, p.model, kRangeSelection, height, points);
        Dimension::OrderMeasurePoints(points);
        Dimension::GroupMeasurePoints(points, height);
        benchmark::DoNotOptimize(points.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(points.size()));
    state.counters["points"] = static_cast<double>(points.size());
    SetLabel(state, kind);
}

void BM_LayoutAndDraw(benchmark::State& state)
{
    const int kind = static_cast<int>(state.range(0));
    const Prepared& p = PreparedDrawing(kind, state.range(1));
    Dimension::MeasurePointList points;
    Dimension::HeightPoint height;
    Dimension::AcquireMeasurePoints(p.scaled, p.model, kRangeSelection, height, points);
    Dimension::OrderMeasurePoints(points);
    Dimension::GroupMeasurePoints(points, height);
    std::size_t lines = 0;
    Dimension::DimensionRun run;
    for (auto _ : state) {
        RidEdaza::CommandWriter writer = p.writer;
        Dimension::LayoutDimensionRun(points, height, p.scaled, p.model.state, run);
        Dimension::DrawDimensionRun(run, p.model.state, writer);
        lines = RidEdaza::LineCount(writer.buffer);
        benchmark::DoNotOptimize(lines);
    }
    const std::size_t intervals = Dimension::CountsOf(run).dimensionLines;
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(intervals));
    state.counters["intervals"] = static_cast<double>(intervals);
    state.counters["lines"] = static_cast<double>(lines);
    SetLabel(state, kind);
}

void BM_WriteCommandFile(benchmark::State& state)
{
    const int kind = static_cast<int>(state.range(0));
    const Prepared& p = PreparedDrawing(kind, state.range(1));
    RidEdaza::CommandWriter writer = p.writer;
    const Dimension::CommandResult result = Dimension::RunDimensionCommand(
        p.settings, p.model, {}, writer, Dimension::CommandHooks{});
    benchmark::DoNotOptimize(result.directions.size());
    const fs::path out = fs::temp_directory_path() / "korvane-bench-out.txt";
    for (auto _ : state) {
        benchmark::DoNotOptimize(RidEdaza::WriteCommandFile(writer.buffer, out));
    }
    const auto bytes = static_cast<std::int64_t>(fs::file_size(out));
    state.SetBytesProcessed(state.iterations() * bytes);
    SetLabel(state, kind);
}

void BM_WholeCommand(benchmark::State& state)
{
    const int kind = static_cast<int>(state.range(0));
    const Prepared& p = PreparedDrawing(kind, state.range(1));
    for (auto _ : state) {
        RidEdaza::CommandWriter writer = p.writer;
        const Dimension::CommandResult result = Dimension::RunDimensionCommand(
            p.settings, p.model, {}, writer, Dimension::CommandHooks{});
        benchmark::DoNotOptimize(result.directions.size());
    }
    SetLabel(state, kind);
}

// Sizes: kind, count. The quadratic stages stay within a few seconds a run.
void Sizes(benchmark::internal::Benchmark* b, std::int64_t largest)
{
    for (int kind : {kPlan, kPlanTurned, kScatter}) {
        for (std::int64_t count = 1000; count <= largest; count *= 10) b->Args({kind, count});
    }
}

}  // namespace

BENCHMARK(BM_ReadExchangeFile)
    ->Apply([](auto* b) { Sizes(b, 100000); })
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AcquireOrderGroup)
    ->Apply([](auto* b) { Sizes(b, KORVANE_BENCH_LARGEST); })
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayoutAndDraw)
    ->Apply([](auto* b) { Sizes(b, KORVANE_BENCH_LARGEST); })
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteCommandFile)
    ->Apply([](auto* b) { Sizes(b, KORVANE_BENCH_LARGEST); })
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeCommand)
    ->Apply([](auto* b) { Sizes(b, KORVANE_BENCH_LARGEST); })
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    MyFunc::UseExtendedPrecision();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
