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
    run.model.reset();
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

DialogState OpenToolRun(ToolRun& run, DialogState controls)
{
    run.opened = true;
    try {
        run.model.reset();
        auto model = std::make_shared<RidEdaza::DrawingModel>();
        RidEdaza::InitDrawingModel(*model, run.writer.buffer);
        run.exchangeFileRead =
            RidEdaza::ReadExchangeFile(*model, run.files.toolFolder / kExchangeFileName);
        RidEdaza::ResetOutputState(run.writer, model->state);
        run.model = std::move(model);

        // The text kinds come from the drawing; which one is chosen, from the settings file only.
        DialogState shown = controls;
        shown.ComboBox3Items = TextKindItems(run.model->state);
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
    if (run.outOfMemory || !run.model) return outOfMemory;
    Dimension::CommandHooks commandHooks;
    commandHooks.progress = hooks.progress;
    commandHooks.settingsAccepted = [&] {
        if (hooks.beforeSave) hooks.beforeSave(controls);
        SelectFirstItemOfUnusedEmptyLists(controls);
        SaveSettings(controls, run.files.settingsFile);
    };
    Dimension::CommandResult result = outOfMemory;
    try {
        result = Dimension::RunDimensionCommand(ReadDimensionSettings(controls), *run.model,
                                                run.request, run.writer, commandHooks);
    } catch (const std::bad_alloc&) {
        run.writer.buffer = RidEdaza::CommandBuffer{};  // reading the values found no room
    }
    // The command has let go of what it held and emptied the buffer.
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
    // A picture still reading the model keeps it until it ends; nothing else does.
    run.model.reset();
    run.writer.buffer = RidEdaza::CommandBuffer{};
    return run.commandFileWritten;
}

}  // namespace Unit1
