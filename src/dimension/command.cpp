#include "dimension/command.hpp"

#include <algorithm>
#include <cmath>
#include <new>

#include "common/fpu.hpp"
#include "dimension/draw.hpp"
#include "dimension/layout.hpp"

namespace Dimension {
namespace {

// Shows the next stage; false when the caller wants the command to stop here.
bool Continue(const CommandHooks& hooks, std::string_view status)
{
    if (hooks.progress) hooks.progress(status);
    return !(hooks.stop && hooks.stop());
}

CommandResult Stopped(CommandResult result)
{
    result.outcome = CommandOutcome::Stopped;
    return result;
}

CommandResult RunStages(const DimensionSettings& settings, const RidEdaza::DrawingModel& model,
                        const HostRequest& request, RidEdaza::CommandWriter& writer,
                        const CommandHooks& hooks)
{
    CommandResult result;
    result.focus = FirstInvalidSetting(settings);
    if (result.focus != SettingControl::None) {
        result.outcome = CommandOutcome::Refused;
        return result;
    }
    if (hooks.settingsAccepted) hooks.settingsAccepted();

    // With a zero scale every size would be zero and no coordinate could be mapped.
    DimensionSettings scaled = settings;
    const double scale = CurrentScale(model.state);
    if (scale == 0.0 || !std::isfinite(scale)) {
        result.outcome = CommandOutcome::CannotDimension;
        return result;
    }
    ScaleDimensionSettings(scaled, scale);
    scaled.DimensionAngle = DimensionAngle(model.state, request.direction);

    if (!Continue(hooks, kStatusAcquiring)) return Stopped(result);
    HeightPoint heightPoint;
    MeasurePointList points;
    if (AcquireMeasurePoints(scaled, model, request.source, heightPoint, points) ==
        AcquireResult::CannotDimension) {
        result.outcome = CommandOutcome::CannotDimension;
        return result;
    }
    result.acquiredPoints = points.size();

    if (!Continue(hooks, kStatusSorting)) return Stopped(result);
    OrderMeasurePoints(points);
    GroupMeasurePoints(points, heightPoint);

    if (!Continue(hooks, kStatusCounting)) return Stopped(result);
    DimensionRun run;
    if (!LayoutDimensionRun(points, heightPoint, scaled, model.state, run)) {
        result.keptPoints = static_cast<std::size_t>(
            std::count_if(points.begin(), points.end(), [](const MeasurePoint& p) { return p.Kept != 0; }));
        result.outcome = CommandOutcome::TooFewPoints;
        return result;
    }
    // The record holds all the drawing needs: the points make room for the commands.
    points = MeasurePointList{};
    result.keptPoints = run.points.size();
    result.intervals = run.points.size() - 1;
    result.arrangement = ArrangementOf(run);
    const RunCounts counts = CountsOf(run);
    result.dimensionLines = counts.dimensionLines;
    result.valueTexts = counts.valueTexts;
    result.staggeredTexts = counts.staggeredTexts;

    if (!Continue(hooks, kStatusDrawing)) return Stopped(result);
    // The run goes in whole or not at all: a number that is not finite throws it away and leaves
    // the buffer and the attribute cache as they were, so that a later OK writes what a first
    // one would.
    const RidEdaza::CommandWriter before = writer;
    writer.nonFiniteSeen = false;
    DrawDimensionRun(run, model.state, writer);
    if (writer.nonFiniteSeen) {
        writer = before;
        result.outcome = CommandOutcome::CannotDimension;
        return result;
    }

    if (hooks.progress) hooks.progress(kStatusWritingFile);
    result.outcome = CommandOutcome::Drawn;
    return result;
}

}  // namespace

CommandResult RunDimensionCommand(const DimensionSettings& settings,
                                  const RidEdaza::DrawingModel& model,
                                  const HostRequest& request,
                                  RidEdaza::CommandWriter& writer, const CommandHooks& hooks)
{
    // An input-method DLL or a driver may have changed the x87 precision since start.
    MyFunc::UseExtendedPrecision();
    try {
        return RunStages(settings, model, request, writer, hooks);
    } catch (const std::bad_alloc&) {
        // The stages' points and layout are gone with the unwinding; a half-built run must not
        // reach the host either, and its room is what the ending needs.
        writer.buffer = RidEdaza::CommandBuffer{};
        CommandResult result;
        result.outcome = CommandOutcome::OutOfMemory;
        return result;
    }
}

}  // namespace Dimension
