#include "dialog/run_picture.hpp"

#include <algorithm>
#include <new>
#include <vector>

#include "common/number_text.hpp"
#include "common/text.hpp"
#include "dialog/controls.hpp"
#include "dimension/command.hpp"
#include "exchange/command_writer.hpp"
#include "preview/preview.hpp"

namespace Unit1 {
namespace {

// 「 and 」の値が正しくありません。
constexpr std::string_view kOpeningBracket = "\x81\x75";
constexpr std::string_view kInvalidValueTail =
    "\x81\x76\x82\xCC\x92\x6C\x82\xAA\x90\xB3\x82\xB5\x82\xAD\x82\xA0\x82\xE8\x82\xDC\x82\xB9"
    "\x82\xF1\x81\x42";

// The pieces of the strip's own messages (Shift-JIS).
constexpr std::string_view kChooseTail =  // 」を選んでください。
    "\x81\x76\x82\xF0\x91\x49\x82\xF1\x82\xC5\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81\x42";
constexpr std::string_view kRangeTopic = "\x81\x76\x82\xCD\x20";  // 」は + blank
constexpr std::string_view kAtLeastThen = "\x20\x88\xC8\x8F\xE3\x20";  // 以上
constexpr std::string_view kAboveThen =  // より大きく
    "\x20\x82\xE6\x82\xE8\x91\xE5\x82\xAB\x82\xAD\x20";
constexpr std::string_view kAtMost = "\x20\x88\xC8\x89\xBA\x82\xCC";     // 以下の
constexpr std::string_view kBelow = "\x20\x96\xA2\x96\x9E\x82\xCC";      // 未満の
constexpr std::string_view kAtLeast = "\x20\x88\xC8\x8F\xE3\x82\xCC";    // 以上の
constexpr std::string_view kAbove =                                      // より大きい
    "\x20\x82\xE6\x82\xE8\x91\xE5\x82\xAB\x82\xA2";
constexpr std::string_view kNumberPlease =  // 数値で入力してください。
    "\x90\x94\x92\x6C\x82\xC5\x93\xFC\x97\xCD\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2"
    "\x81\x42";
constexpr std::string_view kTakenAsZeroTail =  // 」は数値として読めないため 0 として扱います。
    "\x81\x76\x82\xCD\x90\x94\x92\x6C\x82\xC6\x82\xB5\x82\xC4\x93\xC7\x82\xDF\x82\xC8\x82\xA2"
    "\x82\xBD\x82\xDF\x20\x30\x20\x82\xC6\x82\xB5\x82\xC4\x88\xB5\x82\xA2\x82\xDC\x82\xB7\x81\x42";

// A range selection with none of the five kinds of point ticked can only find too few points.
bool TakesNoKindOfPoint(const Dimension::HostRequest& request,
                        const Dimension::DimensionSettings& settings)
{
    return request.source == Dimension::PointSource::RangeSelection &&
           !Dimension::TakesAnyPoint(settings);
}

// The first number field, in tab order, whose text is no number and which OK takes as 0 without
// refusing it: "「" + its caption + "」は数値として読めないため 0 として扱います。", or "".
std::string TakenAsZeroNote(const DialogState& values)
{
    for (const ControlSpec& control : DialogControls()) {
        const ControlValue& value = control.value;
        if (!value.setting.number || !value.state.text) continue;
        if (MyFunc::TextToReal(values.*value.state.text)) continue;
        const Dimension::NumberRange* range = Dimension::RangeOf(value.check);
        if (range && !Dimension::InRange(*range, 0.0)) continue;  // refused, and said so
        std::string note(kOpeningBracket);
        note += UserCaption(control);
        note += kTakenAsZeroTail;
        return note;
    }
    return {};
}

// Both runs asked for and one drawn: which direction had too few points, or "".
std::string SkippedDirectionNote(const Dimension::CommandResult& result)
{
    for (const Dimension::DirectionResult& run : result.directions) {
        if (run.drawn) continue;
        switch (run.direction) {
        case Dimension::RunDirection::Horizontal:
            return std::string(kHorizontalSkippedNote);
        case Dimension::RunDirection::Vertical:
            return std::string(kVerticalSkippedNote);
        }
    }
    return {};
}

RunPicture Message(std::string_view text)
{
    RunPicture picture;
    picture.message = std::string(text);
    return picture;
}

// How many entities each direction drew, where both were asked for: the directions' lines
// follow each other, so all but the last are read on their own (an entity is one whatever the
// attributes before it) and the last has the rest.
std::vector<std::size_t> EntitiesPerRun(const RidEdaza::DrawingModel& model,
                                        const RidEdaza::CommandBuffer& buffer,
                                        const Dimension::CommandResult& result,
                                        std::size_t entities, const std::function<bool()>& stop)
{
    std::vector<std::size_t> counts;
    if (result.directions.size() < 2) return counts;
    std::size_t line = 0;
    std::size_t counted = 0;
    for (std::size_t d = 0; d + 1 < result.directions.size(); ++d) {
        const std::size_t lines = result.directions[d].commandLines;
        std::size_t own = 0;
        if (lines > 0) {
            RidEdaza::CommandBuffer part;
            for (std::size_t i = line; i < line + lines && i < RidEdaza::LineCount(buffer); ++i) {
                RidEdaza::AppendCommand(part, RidEdaza::LineAt(buffer, i));
            }
            RidEdaza::DrawingModel read;
            Preview::ReadCommandModel(model, RidEdaza::CommandFileBytes(part), read, stop);
            own = std::min(read.order.size(), entities - counted);
        }
        counts.push_back(own);
        counted += own;
        line += lines;
    }
    counts.push_back(entities - counted);
    return counts;
}

RunPicture DrawnPicture(const RidEdaza::DrawingModel& model,
                        const RidEdaza::CommandWriter& scratch,
                        const Dimension::HostRequest& request,
                        const Dimension::CommandResult& result,
                        const std::function<bool()>& stop)
{
    // Read back exactly as korvane-preview reads the command file the host would get.
    RidEdaza::DrawingModel commands;
    Preview::ReadCommandModel(model, RidEdaza::CommandFileBytes(scratch.buffer), commands, stop);
    RunPicture picture;
    const std::vector<std::size_t> entitiesPerRun =
        EntitiesPerRun(model, scratch.buffer, result, commands.order.size(), stop);
    if (stop && stop()) {
        picture.stopped = true;
        return picture;
    }
    picture.shapes =
        Preview::BuildPreviewShapes(model, commands, request.runs, stop, entitiesPerRun);
    // Unfinished shapes are no picture of the run.
    if (stop && stop()) {
        picture.shapes = {};
        picture.stopped = true;
        return picture;
    }
    picture.drawn = true;
    return picture;
}

}  // namespace

std::string InvalidValueMessage(Dimension::SettingControl control)
{
    std::string text(kOpeningBracket);
    text += SettingCaption(control);
    text += kInvalidValueTail;
    return text;
}

std::string RefusedValueMessage(Dimension::SettingControl control)
{
    std::string text(kOpeningBracket);
    text += SettingCaption(control);
    const Dimension::NumberRange* range = Dimension::RangeOf(control);
    if (!range) {
        text += kChooseTail;
        return text;
    }
    text += kRangeTopic;
    text += MyFunc::GeneralNumberText(range->low);
    if (range->bounded) {
        text += range->lowIncluded ? kAtLeastThen : kAboveThen;
        text += MyFunc::GeneralNumberText(range->high);
        text += range->highIncluded ? kAtMost : kBelow;
    } else {
        text += range->lowIncluded ? kAtLeast : kAbove;
    }
    text += kNumberPlease;
    return text;
}

RunPicture PictureOfRun(const RidEdaza::DrawingModel& model,
                        const RidEdaza::CommandWriter& writer,
                        const Dimension::HostRequest& request, const DialogState& values,
                        const std::function<bool()>& stop)
{
    try {
        RidEdaza::CommandWriter scratch = writer;
        Dimension::CommandHooks hooks;
        hooks.stop = stop;  // no progress, and the settings are never saved
        const Dimension::DimensionSettings settings = ReadDimensionSettings(values);
        const Dimension::CommandResult result =
            Dimension::RunDimensionCommand(settings, model, request, scratch, hooks);
        switch (result.outcome) {
        case Dimension::CommandOutcome::Drawn: {
            if (stop && stop()) break;
            RunPicture picture = DrawnPicture(model, scratch, request, result, stop);
            if (picture.stopped) return picture;
            // A skipped direction is news about the run itself; a text taken as 0 can wait.
            picture.note = SkippedDirectionNote(result);
            if (picture.note.empty()) picture.note = TakenAsZeroNote(values);
            return picture;
        }
        case Dimension::CommandOutcome::Refused:
            return Message(RefusedValueMessage(result.focus));
        case Dimension::CommandOutcome::TooFewPoints:
            // The first run's likely cause, which nothing else would point to.
            if (TakesNoKindOfPoint(request, settings)) return Message(kNoPointKindMessage);
            return Message(kTooFewPointsMessage);
        case Dimension::CommandOutcome::CannotDimension:
            return Message(kCannotDimensionMessage);
        case Dimension::CommandOutcome::OutOfMemory:
            return Message(kPictureOutOfMemoryMessage);
        case Dimension::CommandOutcome::Stopped:
            break;
        }
    } catch (const std::bad_alloc&) {
        // A picture too large to hold: only the picture is lost, not the run.
        return Message(kPictureOutOfMemoryMessage);
    }
    RunPicture stopped;
    stopped.stopped = true;
    return stopped;
}

}  // namespace Unit1
