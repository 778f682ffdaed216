#include "dimension/command.hpp"

#include <algorithm>
#include <cmath>
#include <new>

#include "common/fpu.hpp"
#include "dimension/draw.hpp"
#include "dimension/layout.hpp"
#include "exchange/command_writer.hpp"

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

// How one direction's stages ended.
enum class DirectionOutcome { Drawn, TooFewPoints, CannotDimension, Stopped };

// Acquires, orders and lays out the run of one direction and appends its commands, without the
// closing text kind. `scaled` holds the scaled distances; the direction gives the angle.
DirectionOutcome RunDirectionStages(DimensionSettings scaled, const RidEdaza::DrawingModel& model,
                                    PointSource source, RidEdaza::CommandWriter& writer,
                                    const CommandHooks& hooks, DirectionResult& result)
{
    scaled.DimensionAngle = DimensionAngle(model.state, result.direction);

    if (!Continue(hooks, kStatusAcquiring)) return DirectionOutcome::Stopped;
    HeightPoint heightPoint;
    MeasurePointList points;
    if (AcquireMeasurePoints(scaled, model, source, heightPoint, points) ==
        AcquireResult::CannotDimension) {
        return DirectionOutcome::CannotDimension;
    }
    result.acquiredPoints = points.size();

    if (!Continue(hooks, kStatusSorting)) return DirectionOutcome::Stopped;
    OrderMeasurePoints(points);
    GroupMeasurePoints(points, heightPoint);

    if (!Continue(hooks, kStatusCounting)) return DirectionOutcome::Stopped;
    DimensionRun run;
    if (!LayoutDimensionRun(points, heightPoint, scaled, model.state, run)) {
        result.keptPoints = static_cast<std::size_t>(std::count_if(
            points.begin(), points.end(), [](const MeasurePoint& p) { return p.Kept != 0; }));
        return DirectionOutcome::TooFewPoints;
    }
    // The record holds all the drawing needs: the points make room for the commands.
    points = MeasurePointList{};
    result.keptPoints = run.points.size();
    result.intervals = run.points.size() - 1;
    const RunCounts counts = CountsOf(run);
    result.dimensionLines = counts.dimensionLines;
    result.valueTexts = counts.valueTexts;
    result.staggeredTexts = counts.staggeredTexts;

    if (!Continue(hooks, kStatusDrawing)) return DirectionOutcome::Stopped;
    const std::size_t linesBefore = RidEdaza::LineCount(writer.buffer);
    DrawDimensionRunBody(run, model.state, writer);
    result.commandLines = RidEdaza::LineCount(writer.buffer) - linesBefore;
    result.drawn = true;
    return DirectionOutcome::Drawn;
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
    result.arrangement = ArrangementOf(settings);

    // With a zero scale every size would be zero and no coordinate could be mapped.
    DimensionSettings scaled = settings;
    const double scale = CurrentScale(model.state);
    if (scale == 0.0 || !std::isfinite(scale)) {
        result.outcome = CommandOutcome::CannotDimension;
        return result;
    }
    ScaleDimensionSettings(scaled, scale);

    // The command goes in whole or not at all: a stop, a point that cannot be mapped in either
    // direction or a number that is not finite throws away what it appended and leaves the
    // buffer and the attribute cache as they were, so that a later OK writes what a first one
    // would. Only a direction with too few points is skipped, and only when the other is drawn.
    const RidEdaza::CommandWriter before = writer;
    writer.nonFiniteSeen = false;
    bool drawn = false;
    for (const RunDirection direction : DirectionsOf(request.runs)) {
        DirectionResult& run = result.directions.emplace_back();
        run.direction = direction;
        switch (RunDirectionStages(scaled, model, request.source, writer, hooks, run)) {
        case DirectionOutcome::Drawn:
            drawn = true;
            break;
        case DirectionOutcome::TooFewPoints:
            break;
        case DirectionOutcome::CannotDimension:
            writer = before;
            result.outcome = CommandOutcome::CannotDimension;
            return result;
        case DirectionOutcome::Stopped:
            writer = before;
            return Stopped(result);
        }
    }
    if (!drawn) {
        result.outcome = CommandOutcome::TooFewPoints;
        return result;
    }
    // Once, after every run: the host's current text kind is in force again.
    RestoreHostTextKind(model.state, writer);
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
