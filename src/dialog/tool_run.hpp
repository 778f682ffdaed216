// One run of the tool, from the host's start to the command file it reads back: the sequence
// that the dialog and korvane-cli both drive, so that it exists once.
//
//   open   the drawing model is emptied, JWC_TEMP.TXT is read from the tool folder into it, the
//          writer's attribute cache is reset to the host's settings, the text-kind list is built
//          from the drawing, and the settings file is applied over the controls' values;
//   OK     the dimensioning command on the controls' values; once every check has passed the
//          settings are saved (with the window position the front end puts in), before any
//          point is acquired; a drawn run waits in the writer's buffer;
//   close  the command file is written (the run, or "hq" when nothing was drawn) and the model
//          is released. Whatever ends the run (OK, Cancel, the close box) closes it once.
//
// Memory running out at any step never aborts the program: the step releases what it held and
// marks the run outOfMemory, after which nothing is drawn and closing writes "hq". The front end
// tells the user and closes.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "dialog/dialog_state.hpp"
#include "dimension/command.hpp"
#include "dimension/host_request.hpp"
#include "exchange/command_writer.hpp"
#include "exchange/drawing_model.hpp"

namespace Unit1 {

// The host writes its file here and reads the commands back from the same file.
inline constexpr std::string_view kExchangeFileName = "JWC_TEMP.TXT";

// Where a run finds its files.
struct ToolFiles {
    std::filesystem::path toolFolder;    // holds JWC_TEMP.TXT
    std::filesystem::path settingsFile;  // the dialog's values between runs
};

// The tool's own folder and the executable's path with ".dat": where the host and the user
// expect them. An empty path (the executable could not be found) gives empty paths.
ToolFiles ToolFilesBeside(const std::filesystem::path& executable);

struct ToolRun {
    ToolFiles files;
    Dimension::HostRequest request;  // the host's arguments, read once (ReadHostArguments)
    // The drawing as read, never changed after opening. Shared: a picture of the run holds it for
    // as long as it reads it, so closing the run never pulls it away from under a picture; it is
    // freed with its last holder. Empty once the run is closed or ran out of memory.
    std::shared_ptr<const RidEdaza::DrawingModel> model;
    RidEdaza::CommandWriter writer;
    bool exchangeFileRead = false;  // the host's file was there and read to its end
    bool opened = false;
    bool closed = false;
    bool outOfMemory = false;  // the run can only end: OK draws nothing, closing writes "hq"
    bool commandFileWritten = false;
};

// Opens the run. `controls` are the controls' values before the settings file is applied (their
// defaults); the result is what the dialog shows: the text kinds of the drawing listed, none of
// them selected unless the settings file selects one, and the settings file applied.
DialogState OpenToolRun(ToolRun& run, DialogState controls);

struct OkHooks {
    // A status text (Shift-JIS) to show at once: nothing else is processed while OK runs.
    std::function<void(std::string_view status)> progress;
    // Every check has passed: the front end puts the window's position into the values, which
    // are saved right after.
    std::function<void(DialogState& controls)> beforeSave;
};

// OK on the controls' values. Once the checks have passed, a list the arrangement leaves unused
// and without a selection gets its first item in `controls` (SelectFirstItemOfUnusedEmptyLists),
// which are then saved: the front end shows them. A failed save is silent and never changes the
// outcome. After the run ran out of memory this draws nothing and answers OutOfMemory.
Dimension::CommandResult PressOk(ToolRun& run, DialogState& controls, const OkHooks& hooks);

// Writes the command file and lets go of the model, once. False when the file could not be
// written (no partly written file is left).
bool CloseToolRun(ToolRun& run);

}  // namespace Unit1
