// The dialog's live picture of the run: computed off the dialog's thread whenever the values
// change, shown in the strip below the controls and, on a click or F2, in a larger window that
// follows the values while it is open.
//
// A change of a value (typing, an item chosen, a box ticked) asks for a new picture once the
// user has paused for 150 ms. One picture is made at a time, on a thread of its own that owns
// everything it reads: the run's model (shared with the run, which never changes it), a copy of
// its writer and of the values. It paints the strip's image and, while the larger window is open,
// that window's image too, so that the dialog's thread only copies images to the screen. A newer
// change stops the one being made (its stop token reaches every stage: the command, the
// read-back, the shapes and the painting) and starts again once it has stopped. When a picture
// takes longer than 300 ms, the strip says "作成中…" over the last picture, dimmed, until the new
// one arrives. A picture never saves, never writes a file and never
// touches the status strip. OK stops a picture without waiting for it; closing the dialog stops
// it and waits, which takes at most one short step of it.
//
// The view knows nothing of the dialog but what PictureHost gives it; the dialog decides when a
// picture is wanted and hands in what it is made from (PictureInput).
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <thread>

#include "dialog/dialog_state.hpp"
#include "dialog/run_picture.hpp"
#include "dimension/host_request.hpp"
#include "exchange/command_writer.hpp"
#include "exchange/drawing_model.hpp"

namespace Unit1 {

// What the picture needs of the dialog: the windows it paints into and answers to, and the DPI
// and font the dialog is laid out with. The dialog keeps it current.
struct PictureHost {
    HWND dialog = nullptr;            // the picture's timers and messages go to its procedure
    HWND strip = nullptr;             // ScrollBox1, the strip below the controls
    std::array<HWND, 2> keepClear{};  // OK and Cancel: the larger window never covers them
    int dpi = 96;
    HFONT font = nullptr;             // the strip's own texts ("作成中…", a note)
};

// What one picture is made from: the run's model (shared: closing the run only lets go of its own
// share), a copy of its writer, the host's request and the values.
struct PictureInput {
    std::shared_ptr<const RidEdaza::DrawingModel> model;
    RidEdaza::CommandWriter writer;
    Dimension::HostRequest request;
    DialogState values;
};

// What a picture's thread hands back. The thread writes it and ends; the dialog's thread reads it
// only after joining the thread. Images nobody took are freed with it.
struct PictureResult {
    std::shared_ptr<const RunPicture> picture;  // null: stopped, nothing worth showing
    HBITMAP stripImage = nullptr;
    HBITMAP windowImage = nullptr;
    SIZE windowSize{};

    PictureResult() = default;
    PictureResult(const PictureResult&) = delete;
    PictureResult& operator=(const PictureResult&) = delete;
    ~PictureResult();
};

struct PictureView {
    PictureHost host;
    // What the strip and the window show (the dialog's thread only); shared with a thread that
    // paints it again for a new window size.
    std::shared_ptr<const RunPicture> shown;
    HBITMAP stripImage = nullptr;
    HBITMAP windowImage = nullptr;  // the larger window's, painted for windowImageSize
    SIZE windowImageSize{};
    bool busy = false;     // the picture is late: "作成中…" over the last one
    bool pending = false;  // the values changed, or OK stopped the picture: make a new one

    HWND window = nullptr;          // the larger window, while it is open
    bool hiddenWithDialog = false;  // hidden while the dialog is minimised

    // The result of the thread below, which borrows it until it is joined.
    std::unique_ptr<PictureResult> making;
    // Last, so that it is stopped and joined before anything else of the view goes.
    std::jthread worker;

    PictureView() = default;
    PictureView(const PictureView&) = delete;
    PictureView& operator=(const PictureView&) = delete;
    ~PictureView();
};

// A picture is being made (its thread has not been taken back yet).
bool PictureBeingMade(const PictureView& view);

// Messages of the dialog's window that belong to the picture.
inline constexpr UINT kPictureReadyMessage = WM_APP + 1;
inline constexpr UINT_PTR kPictureTimer = 1;
inline constexpr UINT kPicturePauseMs = 150;
// A picture not made within this long says so in the strip.
inline constexpr UINT_PTR kPictureBusyTimer = 2;
inline constexpr UINT kPictureBusyMs = 300;
// The larger window changed size: its image is painted again, once the resizing pauses.
inline constexpr UINT_PTR kWindowImageTimer = 3;
inline constexpr UINT kWindowImagePauseMs = 100;

// A value changed (or the dialog was shown): a new picture after the pause (kPictureTimer).
void SchedulePicture(PictureView& view);

// The picture of these values. One being made is stopped first, and this one follows it.
void StartPicture(PictureView& view, PictureInput input);

// The picture is late (kPictureBusyTimer): the strip says so.
void ShowPictureBusy(PictureView& view);

// The larger window's image for its present size (kWindowImageTimer), painted on a thread.
void RepaintPictureWindow(PictureView& view);

// The thread has finished (kPictureReadyMessage): shows its picture, unless newer values wait.
// True when they do: the dialog then starts the picture of the values as they stand.
bool TakePicture(PictureView& view);

// OK: stop the picture being made, without waiting; a new one follows if the dialog stays.
void StopPictureForOk(PictureView& view);

// Closing: stop the picture being made and wait for its thread; close the larger window.
void EndPictures(PictureView& view);

// The strip's window procedure: the picture, the notice link in its corner, a click opening the
// larger window. The strip's GWLP_USERDATA holds its PictureView.
LRESULT CALLBACK PictureStripProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Opens the larger window (or brings it forward when it is open), placed by PlacePictureWindow
// (dialog/window_place.hpp) on the work area of the dialog's monitor.
void OpenPictureWindow(PictureView& view);

// The dialog is being minimised or restored: the larger window hides and returns with it.
void HidePictureWindowWithDialog(PictureView& view);
void ShowPictureWindowWithDialog(PictureView& view);

bool RegisterPictureClasses(HINSTANCE instance);

}  // namespace Unit1
