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
#include "dimension/host_request.hpp"
#include "dimension/settings.hpp"
#include "exchange/command_writer.hpp"
#include "exchange/drawing_model.hpp"
#include "preview/preview_shapes.hpp"

namespace Unit1 {

struct RunPicture {
    bool drawn = false;            // the shapes hold the run; otherwise `message` says why not
    Preview::PreviewShapes shapes;
    std::string message;           // Shift-JIS, as the strip shows it
    // With a drawn run: what the user should know about it (a text taken as 0), or empty.
    std::string note;
    bool stopped = false;          // `stop` said so: the picture is worth nothing
};

// What OK would draw on these values. `writer` is the run's writer as it stands (its buffer and
// attribute cache are copied, never touched). `stop` is asked between the stages; once it
// answers true the picture comes back stopped.
RunPicture PictureOfRun(const RidEdaza::DrawingModel& model,
                        const RidEdaza::CommandWriter& writer,
                        const Dimension::HostRequest& request, const DialogState& values,
                        const std::function<bool()>& stop);

// "「" + the control's caption + "」の値が正しくありません。": a value that fails its check.
std::string InvalidValueMessage(Dimension::SettingControl control);

// What the strip says for a value that fails its check: for a list with nothing chosen
// "「寸法値の文字種」を選んでください。", for a number its allowed range, made from the check's
// own record ("「長さ」は 0 より大きく 1000 以下の数値で入力してください。").
std::string RefusedValueMessage(Dimension::SettingControl control);

// 「範囲選択時の取得する点」を１つ以上選んでください。: a range selection with no kind of point taken.
inline constexpr std::string_view kNoPointKindMessage =
    "\x81\x75\x94\xCD\x88\xCD\x91\x49\x91\xF0\x8E\x9E\x82\xCC\x8E\xE6\x93\xBE\x82\xB7\x82\xE9"
    "\x93\x5F\x81\x76\x82\xF0\x82\x50\x82\xC2\x88\xC8\x8F\xE3\x91\x49\x82\xF1\x82\xC5\x82\xAD"
    "\x82\xBE\x82\xB3\x82\xA2\x81\x42";

// プレビューを作成するメモリが不足しています。: the picture could not be made for want of memory. It
// speaks of the picture only: OK runs on memory of its own and answers for itself.
inline constexpr std::string_view kPictureOutOfMemoryMessage =
    "\x83\x76\x83\x8C\x83\x72\x83\x85\x81\x5B\x82\xF0\x8D\xEC\x90\xAC\x82\xB7\x82\xE9\x83\x81"
    "\x83\x82\x83\x8A\x82\xAA\x95\x73\x91\xAB\x82\xB5\x82\xC4\x82\xA2\x82\xDC\x82\xB7\x81\x42";

// 水平方向は計測点が２つ未満のため作図しません。: both runs asked for, the horizontal one skipped.
inline constexpr std::string_view kHorizontalSkippedNote =
    "\x90\x85\x95\xBD\x95\xFB\x8C\xFC\x82\xCD\x8C\x76\x91\xAA\x93\x5F\x82\xAA\x82\x51\x82\xC2"
    "\x96\xA2\x96\x9E\x82\xCC\x82\xBD\x82\xDF\x8D\xEC\x90\x7D\x82\xB5\x82\xDC\x82\xB9\x82\xF1"
    "\x81\x42";
// 垂直方向は計測点が２つ未満のため作図しません。: both runs asked for, the vertical one skipped.
inline constexpr std::string_view kVerticalSkippedNote =
    "\x90\x82\x92\xBC\x95\xFB\x8C\xFC\x82\xCD\x8C\x76\x91\xAA\x93\x5F\x82\xAA\x82\x51\x82\xC2"
    "\x96\xA2\x96\x9E\x82\xCC\x82\xBD\x82\xDF\x8D\xEC\x90\x7D\x82\xB5\x82\xDC\x82\xB9\x82\xF1"
    "\x81\x42";

}  // namespace Unit1
