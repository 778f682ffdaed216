// The OK sequence as a whole: the order of its stages, what each outcome leaves behind, and that
// a refused or failed OK does not change what a later OK writes.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "dimension/command.hpp"
#include "exchange/command_writer.hpp"
#include "exchange/exchange_reader_internal.hpp"

using namespace Dimension;

namespace {

RidEdaza::DrawingModel ModelOf(const std::vector<std::string>& lines)
{
    RidEdaza::DrawingModel model;
    RidEdaza::ReaderState reader;
    for (const std::string& line : lines) RidEdaza::ParseExchangeLine(model, reader, line);
    return model;
}

// Two indicated points 1500 apart below the height point, at 1:100.
RidEdaza::DrawingModel TwoPointModel()
{
    return ModelOf({"hs 100 100 100 100 100 100 100 100 100 100 100 100 100 100 100 100",
                    "hp1 750 1000", "hp2 0 0", "hp3 1500 0"});
}

DimensionSettings Valid()
{
    DimensionSettings s;
    s.ValueTextKind = 0;
    return s;
}

struct Recorded {
    std::vector<std::string> events;
    CommandHooks hooks;
    Recorded()
    {
        hooks.progress = [this](std::string_view status) { events.emplace_back(status); };
        hooks.settingsAccepted = [this] { events.emplace_back("save"); };
    }
};

constexpr HostRequest kIndicated{PointSource::IndicatedPoints};
constexpr HostRequest kRange{PointSource::RangeSelection};
constexpr HostRequest kIndicatedBoth{PointSource::IndicatedPoints, RequestedRuns::Both};

RidEdaza::CommandWriter FreshWriter(const RidEdaza::DrawingModel& model)
{
    RidEdaza::CommandWriter writer;
    RidEdaza::ResetOutputState(writer, model.state);
    return writer;
}

}  // namespace

TEST(DimensionCommand, StagesReportInOrderAndSaveBeforeAcquiring)
{
    const RidEdaza::DrawingModel model = TwoPointModel();
    RidEdaza::CommandWriter writer = FreshWriter(model);
    Recorded r;
    const CommandResult result = RunDimensionCommand(Valid(), model, kIndicated, writer, r.hooks);
    ASSERT_EQ(result.outcome, CommandOutcome::Drawn);
    const std::vector<std::string> expected = {
        "save", std::string(kStatusAcquiring), std::string(kStatusSorting),
        std::string(kStatusCounting), std::string(kStatusDrawing), std::string(kStatusWritingFile)};
    EXPECT_EQ(r.events, expected);
    ASSERT_EQ(result.directions.size(), 1u);
    EXPECT_EQ(result.directions[0].acquiredPoints, 2u);
    EXPECT_EQ(result.directions[0].keptPoints, 2u);
    EXPECT_EQ(result.directions[0].intervals, 1u);
    EXPECT_FALSE(RidEdaza::LineCount(writer.buffer) == 0);
}

TEST(DimensionCommand, AStopBetweenStagesAppendsNothing)
{
    // Both directions ask four times each: a stop in the vertical run throws away the
    // horizontal one, which is drawn by then.
    for (const auto& [request, questions] : {std::pair{kIndicated, 4}, {kIndicatedBoth, 8}}) {
    // The stop hook answers true at its n-th question (0: never).
    for (int n = 0; n <= questions + 1; ++n) {
        SCOPED_TRACE("stop at question " + std::to_string(n) + " of " +
                     std::to_string(questions));
        // Two points 1500 apart both ways, the height point beyond a corner of them.
        const RidEdaza::DrawingModel model = ModelOf({"hp1 -1000 2500", "hp2 0 0", "hp3 1500 1500"});
        RidEdaza::CommandWriter writer = FreshWriter(model);
        Recorded r;
        int asked = 0;
        r.hooks.stop = [&] { return ++asked == n; };
        const CommandResult result = RunDimensionCommand(Valid(), model, request, writer, r.hooks);
        if (n == 0 || n == questions + 1) {  // never, or after the last stage
            EXPECT_EQ(result.outcome, CommandOutcome::Drawn);
            continue;
        }
        EXPECT_EQ(result.outcome, CommandOutcome::Stopped);
        EXPECT_EQ(asked, n);
        EXPECT_EQ(r.events.size(), static_cast<std::size_t>(n) + 1);  // the save, n stages
        EXPECT_TRUE(RidEdaza::LineCount(writer.buffer) == 0);
    }
    }
}

TEST(DimensionCommand, EachStopLeavesTheWriterUntouched)
{
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        Dimension::HostRequest request;
        DimensionSettings settings;
        CommandOutcome outcome;
        std::vector<std::string> events;  // "save" and the statuses seen
    };
    DimensionSettings badLength = Valid();
    badLength.MarkerLength = 0;
    DimensionSettings hugeGap = Valid();
    hugeGap.ValueGap = 1e307;  // times the scale of 100: not a finite drawing length
    const std::string acquiring(kStatusAcquiring), sorting(kStatusSorting),
        counting(kStatusCounting), drawing(kStatusDrawing);
    const Case cases[] = {
        {"refused", {"hp1 0 1", "hp2 0 0", "hp3 5 0"}, kIndicated, badLength,
         CommandOutcome::Refused, {}},
        {"too few points", {"hp1 0 1", "hp2 0 0"}, kIndicated, Valid(),
         CommandOutcome::TooFewPoints, {"save", acquiring, sorting, counting}},
        {"zero scale", {"hs 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0", "hp1 0 1", "hp2 0 0", "hp3 5 0"},
         kIndicated, Valid(), CommandOutcome::CannotDimension, {"save"}},
        {"zero scale on a visited layer group",
         {"hs 1 0 1 1 1 1 1 1 1 1 1 1 1 1 1 1", "hp1 0 1", "lg0", "pt 5 0", "lg1", "pt 0 0"}, kRange,
         Valid(),
         CommandOutcome::CannotDimension, {"save", acquiring}},
        {"a number that is not finite",
         {"hs 100 100 100 100 100 100 100 100 100 100 100 100 100 100 100 100", "hp1 0 1000",
          "hp2 0 0", "hp3 1500 0"},
         kIndicated, hugeGap, CommandOutcome::CannotDimension,
         {"save", acquiring, sorting, counting, drawing}},
        // At 45 degrees a point far out on the diagonal cannot be turned into the run's frame.
        {"both: the horizontal run cannot be mapped",
         {"hk 45", "hp1 0 1", "hp2 0 0", "hp3 1.3e308 1.3e308"}, kIndicatedBoth, Valid(),
         CommandOutcome::CannotDimension, {"save", acquiring}},
        // Only the vertical run measures from -1e308 to 1e308: its length is not finite.
        {"both: the vertical run not finite after the horizontal one is drawn",
         {"hp1 0.5 1", "hp2 0 -1e308", "hp3 1 1e308"}, kIndicatedBoth, Valid(),
         CommandOutcome::CannotDimension,
         {"save", acquiring, sorting, counting, drawing, acquiring, sorting, counting, drawing}},
        {"both: a number that is not finite",
         {"hs 100 100 100 100 100 100 100 100 100 100 100 100 100 100 100 100", "hp1 -1000 2500",
          "hp2 0 0", "hp3 1500 1500"},
         kIndicatedBoth, hugeGap, CommandOutcome::CannotDimension,
         {"save", acquiring, sorting, counting, drawing, acquiring, sorting, counting, drawing}},
        {"both: too few points either way", {"hp1 0 1", "hp2 0 0"}, kIndicatedBoth, Valid(),
         CommandOutcome::TooFewPoints,
         {"save", acquiring, sorting, counting, acquiring, sorting, counting}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DimensionSettings settings = c.settings;
        settings.TakenPoints[static_cast<std::size_t>(Dimension::PointKind::Points)] = true;
        const RidEdaza::DrawingModel model = ModelOf(c.lines);
        RidEdaza::CommandWriter writer = FreshWriter(model);
        // Something already in the buffer and a used cache, as after earlier commands.
        RidEdaza::OutLineColor(writer, 5, RidEdaza::NumberMapping::AsGiven);
        const RidEdaza::CommandWriter before = writer;
        Recorded r;
        const CommandResult result = RunDimensionCommand(settings, model, c.request, writer,
                                                         r.hooks);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(r.events, c.events);
        EXPECT_EQ(RidEdaza::LinesOf(writer.buffer), RidEdaza::LinesOf(before.buffer));
        EXPECT_EQ(writer.cache.lineColour.value, before.cache.lineColour.value);
        EXPECT_EQ(writer.cache.textKind.force, before.cache.textKind.force);
        EXPECT_FALSE(writer.nonFiniteSeen);
    }
}

TEST(DimensionCommand, RefusedFocusFollowsTheCheckOrder)
{
    const RidEdaza::DrawingModel model = TwoPointModel();
    DimensionSettings s = Valid();
    s.MarkerAngle = 180;
    s.ExtensionGap = -1;
    RidEdaza::CommandWriter writer = FreshWriter(model);
    Recorded r;
    const CommandResult result = RunDimensionCommand(s, model, kIndicated, writer, r.hooks);
    EXPECT_EQ(result.outcome, CommandOutcome::Refused);
    EXPECT_EQ(result.focus, SettingControl::Edit8);
    EXPECT_TRUE(r.events.empty());
}

TEST(DimensionCommand, OkAfterAFailedOkWritesWhatAFirstOkWould)
{
    const RidEdaza::DrawingModel model = TwoPointModel();
    Recorded r;

    RidEdaza::CommandWriter direct = FreshWriter(model);
    ASSERT_EQ(RunDimensionCommand(Valid(), model, kIndicated, direct, r.hooks).outcome,
              CommandOutcome::Drawn);

    // First OK fails at the drawing (the gap overflows), the user mends the gap, OK again.
    RidEdaza::CommandWriter retried = FreshWriter(model);
    DimensionSettings broken = Valid();
    broken.ValueGap = 1e307;
    ASSERT_EQ(RunDimensionCommand(broken, model, kIndicated, retried, r.hooks).outcome,
              CommandOutcome::CannotDimension);
    ASSERT_EQ(RunDimensionCommand(Valid(), model, kIndicated, retried, r.hooks).outcome,
              CommandOutcome::Drawn);
    EXPECT_EQ(RidEdaza::LinesOf(retried.buffer), RidEdaza::LinesOf(direct.buffer));

    // The same after too few points: indicated-points mode finds two, range mode none.
    RidEdaza::CommandWriter afterTooFew = FreshWriter(model);
    ASSERT_EQ(RunDimensionCommand(Valid(), model, kRange, afterTooFew, r.hooks).outcome,
              CommandOutcome::TooFewPoints);
    ASSERT_EQ(RunDimensionCommand(Valid(), model, kIndicated, afterTooFew, r.hooks).outcome,
              CommandOutcome::Drawn);
    EXPECT_EQ(RidEdaza::LinesOf(afterTooFew.buffer), RidEdaza::LinesOf(direct.buffer));
}

TEST(DimensionCommand, NoCommandLineEverCarriesABrokenNumber)
{
    // Sizes that overflow only once scaled: every stage must either draw finite numbers or stop.
    const double huge[] = {1e306, 1e307, 1.7e308, std::numeric_limits<double>::max()};
    for (double h : huge) {
        SCOPED_TRACE(h);
        const RidEdaza::DrawingModel model = TwoPointModel();
        DimensionSettings s = Valid();
        s.ExtensionOvershoot = h;
        RidEdaza::CommandWriter writer = FreshWriter(model);
        Recorded r;
        const CommandResult result = RunDimensionCommand(s, model, kIndicated, writer, r.hooks);
        for (const std::string& line : RidEdaza::LinesOf(writer.buffer)) {
            EXPECT_EQ(line.find("inf"), std::string::npos) << line;
            EXPECT_EQ(line.find("nan"), std::string::npos) << line;
            EXPECT_EQ(line.find("  "), std::string::npos) << line;  // an empty number
        }
        if (result.outcome != CommandOutcome::Drawn) {
            EXPECT_TRUE(RidEdaza::LineCount(writer.buffer) == 0);
        }
    }
}
