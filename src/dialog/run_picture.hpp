// The picture of the run OK would draw with the dialog's current values, for the dialog's strip:
// the same command on the same model, with a scratch copy of the writer, read back from the bytes
// the command file would hold by the reader korvane-preview uses.
//
// A picture never saves the settings, never writes a file, never changes the real writer and
// never shows progress: it only answers what OK would draw, or why it would draw nothing. It reads
// the model and nothing else that is shared, so it may run on a thread of its own while the
// dialog's thread reads the same model.
#pragma once

#include <functional>
#include <string>

#include "dialog/dialog_state.hpp"
#include "dimension/settings.hpp"
#include "exchange/command_writer.hpp"
#include "exchange/drawing_model.hpp"
#include "preview/preview_shapes.hpp"

namespace Unit1 {

struct RunPicture {
    bool drawn = false;            // the shapes hold the run; otherwise `message` says why not
    Preview::PreviewShapes shapes;
    std::string message;           // Shift-JIS, as the strip shows it
    bool stopped = false;          // `stop` said so: the picture is worth nothing
    // The run's dimensions stand beside one another (every arrangement but the chain): the
    // strip shows the whole set, however far out its last line lies.
    bool wholeSet = false;
};

// What OK would draw on these values. `writer` is the run's writer as it stands (its buffer and
// attribute cache are copied, never touched). `stop` is asked between the stages; once it
// answers true the picture comes back stopped.
RunPicture PictureOfRun(const RidEdaza::DrawingModel& model,
                        const RidEdaza::CommandWriter& writer,
                        const Dimension::HostArguments& arguments, const DialogState& values,
                        const std::function<bool()>& stop);

// "「" + the control's caption + "」の値が正しくありません。": a value that fails its check.
std::string InvalidValueMessage(Dimension::SettingControl control);

}  // namespace Unit1
