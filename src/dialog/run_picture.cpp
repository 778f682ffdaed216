#include "dialog/run_picture.hpp"

#include <new>

#include "dialog/controls.hpp"
#include "dimension/command.hpp"
#include "preview/preview.hpp"

namespace Unit1 {
namespace {

// 「 and 」の値が正しくありません。
constexpr std::string_view kOpeningBracket = "\x81\x75";
constexpr std::string_view kInvalidValueTail =
    "\x81\x76\x82\xCC\x92\x6C\x82\xAA\x90\xB3\x82\xB5\x82\xAD\x82\xA0\x82\xE8\x82\xDC\x82\xB9"
    "\x82\xF1\x81\x42";

RunPicture Message(std::string_view text)
{
    RunPicture picture;
    picture.message = std::string(text);
    return picture;
}

RunPicture DrawnPicture(const RidEdaza::DrawingModel& model,
                        const RidEdaza::CommandWriter& scratch,
                        const Dimension::HostArguments& arguments)
{
    // Read back exactly as korvane-preview reads the command file the host would get.
    RidEdaza::DrawingModel commands;
    Preview::ReadCommandModel(model, RidEdaza::CommandFileBytes(scratch.buffer), commands);
    RunPicture picture;
    picture.drawn = true;
    picture.shapes = Preview::BuildPreviewShapes(model, commands, arguments.direction);
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

RunPicture PictureOfRun(const RidEdaza::DrawingModel& model,
                        const RidEdaza::CommandWriter& writer,
                        const Dimension::HostArguments& arguments, const DialogState& values,
                        const std::function<bool()>& stop)
{
    try {
        RidEdaza::CommandWriter scratch = writer;
        Dimension::CommandHooks hooks;
        hooks.stop = stop;  // no progress, and the settings are never saved
        const Dimension::CommandResult result = Dimension::RunDimensionCommand(
            ReadDimensionSettings(values), model, arguments, scratch, hooks);
        switch (result.outcome) {
        case Dimension::CommandOutcome::Drawn: {
            if (stop && stop()) break;
            RunPicture picture = DrawnPicture(model, scratch, arguments);
            picture.wholeSet = result.arrangement != Dimension::DimensionArrangement::Chain;
            return picture;
        }
        case Dimension::CommandOutcome::Refused:
            return Message(InvalidValueMessage(result.focus));
        case Dimension::CommandOutcome::TooFewPoints:
            return Message(kTooFewPointsMessage);
        case Dimension::CommandOutcome::CannotDimension:
            return Message(kCannotDimensionMessage);
        case Dimension::CommandOutcome::OutOfMemory:
            return Message(kOutOfMemoryMessage);
        case Dimension::CommandOutcome::Stopped:
            break;
        }
    } catch (const std::bad_alloc&) {
        // A picture too large to hold: only the picture is lost, not the run.
        return Message(kOutOfMemoryMessage);
    }
    RunPicture stopped;
    stopped.stopped = true;
    return stopped;
}

}  // namespace Unit1
