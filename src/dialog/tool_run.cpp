#include "dialog/tool_run.hpp"

#include "dialog/settings_file.hpp"
#include "exchange/exchange_reader.hpp"

namespace Unit1 {

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
    RidEdaza::InitDrawingModel(run.model, run.writer.buffer);
    run.exchangeFileRead =
        RidEdaza::ReadExchangeFile(run.model, run.files.toolFolder / kExchangeFileName);
    RidEdaza::ResetOutputState(run.writer, run.model.state);

    // The text kinds come from the drawing; which one is chosen, from the settings file only.
    controls.ComboBox3Items = TextKindItems(run.model.state);
    controls.ComboBox3 = -1;
    LoadSettings(controls, run.files.settingsFile);
    run.opened = true;
    return controls;
}

Dimension::CommandResult PressOk(ToolRun& run, DialogState& controls, const OkHooks& hooks)
{
    Dimension::CommandHooks commandHooks;
    commandHooks.progress = hooks.progress;
    commandHooks.settingsAccepted = [&] {
        if (hooks.beforeSave) hooks.beforeSave(controls);
        SaveSettings(controls, run.files.settingsFile);
    };
    return Dimension::RunDimensionCommand(ReadDimensionSettings(controls), run.model,
                                          run.firstArgument, run.writer, commandHooks);
}

bool CloseToolRun(ToolRun& run)
{
    if (run.closed) return true;
    run.closed = true;
    // The host reads this file when the tool has ended: the run, or "hq" for nothing drawn.
    const bool written =
        RidEdaza::WriteCommandFile(run.writer.buffer, run.files.toolFolder / kExchangeFileName);
    RidEdaza::ReleaseDrawingModel(run.model, run.writer.buffer);
    return written;
}

}  // namespace Unit1
