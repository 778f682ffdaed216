#include "dialog/tool_run.hpp"

#include <new>
#include <system_error>

#include "dialog/settings_file.hpp"
#include "exchange/exchange_reader.hpp"

namespace Unit1 {

namespace {

// Releases everything the run holds, so that ending it needs no more memory than "hq".
void RunOutOfMemory(ToolRun& run)
{
    run.outOfMemory = true;
    RidEdaza::ReleaseDrawingModel(run.model, run.writer.buffer);
    run.writer = RidEdaza::CommandWriter{};
}

// "hq" into the command file; should even that find no memory, no file at all, as after any
// failed write: never the host's own file, which it would execute as commands.
bool WriteNothingDrawn(const std::filesystem::path& commandFile)
{
    try {
        return RidEdaza::WriteCommandFile(RidEdaza::CommandBuffer{}, commandFile);
    } catch (const std::bad_alloc&) {
        std::error_code ignored;
        std::filesystem::remove(commandFile, ignored);
        return false;
    }
}

}  // namespace

ToolFiles ToolFilesBeside(const std::filesystem::path& executable)
{
    ToolFiles files;
    if (executable.empty()) return files;
    files.toolFolder = executable.parent_path();
    files.settingsFile = executable;
    files.settingsFile.replace_extension(".dat");
    return files;
}

Dimension::HostArguments ReadHostArguments(const std::vector<std::string>& arguments)
{
    Dimension::HostArguments result;
    if (!arguments.empty()) result.first = arguments[0];
    for (std::size_t i = 0; i < arguments.size() && i < 2; ++i) {
        if (Dimension::IsVerticalArgument(arguments[i])) {
            result.direction = Dimension::RunDirection::Vertical;
        }
    }
    return result;
}

DialogState OpenToolRun(ToolRun& run, DialogState controls)
{
    run.opened = true;
    try {
        RidEdaza::InitDrawingModel(run.model, run.writer.buffer);
        run.exchangeFileRead =
            RidEdaza::ReadExchangeFile(run.model, run.files.toolFolder / kExchangeFileName);
        RidEdaza::ResetOutputState(run.writer, run.model.state);

        // The text kinds come from the drawing; which one is chosen, from the settings file only.
        DialogState shown = controls;
        shown.ComboBox3Items = TextKindItems(run.model.state);
        shown.ComboBox3 = -1;
        LoadSettings(shown, run.files.settingsFile);
        return shown;
    } catch (const std::bad_alloc&) {
        // A drawing too large to hold (or an endless line): nothing can be drawn from it.
        RunOutOfMemory(run);
        return controls;
    }
}

Dimension::CommandResult PressOk(ToolRun& run, DialogState& controls, const OkHooks& hooks)
{
    const Dimension::CommandResult outOfMemory{.outcome = Dimension::CommandOutcome::OutOfMemory};
    if (run.outOfMemory) return outOfMemory;
    Dimension::CommandHooks commandHooks;
    commandHooks.progress = hooks.progress;
    commandHooks.settingsAccepted = [&] {
        if (hooks.beforeSave) hooks.beforeSave(controls);
        SaveSettings(controls, run.files.settingsFile);
    };
    Dimension::CommandResult result = outOfMemory;
    try {
        result = Dimension::RunDimensionCommand(ReadDimensionSettings(controls), run.model,
                                                run.arguments, run.writer, commandHooks);
    } catch (const std::bad_alloc&) {
        run.writer.buffer = RidEdaza::CommandBuffer{};  // reading the values found no room
    }
    // The command has let go of what it held and emptied the buffer. The model stays until the
    // run is closed: the dialog's picture of the run may still be reading it.
    if (result.outcome == Dimension::CommandOutcome::OutOfMemory) run.outOfMemory = true;
    return result;
}

bool CloseToolRun(ToolRun& run)
{
    if (run.closed) return run.commandFileWritten;
    run.closed = true;
    // The host reads this file when the tool has ended: the run, or "hq" for nothing drawn.
    const std::filesystem::path commandFile = run.files.toolFolder / kExchangeFileName;
    try {
        run.commandFileWritten = RidEdaza::WriteCommandFile(run.writer.buffer, commandFile);
    } catch (const std::bad_alloc&) {
        // No room even to write the run: the host gets "nothing drawn", never its own file back.
        RunOutOfMemory(run);
        run.commandFileWritten = WriteNothingDrawn(commandFile);
    }
    RidEdaza::ReleaseDrawingModel(run.model, run.writer.buffer);
    return run.commandFileWritten;
}

}  // namespace Unit1
