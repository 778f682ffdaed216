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
// one arrives. A picture never saves, never writes a file and never touches the status strip.
// OK stops a picture without waiting for it; closing the dialog stops it and waits, which takes
// at most one short step of it.
#pragma once

#include <windows.h>

#include <memory>
#include <mutex>
#include <thread>

#include "dialog/run_picture.hpp"

namespace Unit1 {

struct TForm1;

// What a picture's thread hands back: written by the thread under `mutex`, taken by the
// dialog's thread once the thread has ended. Images nobody took are freed with it.
struct PictureResult {
    std::mutex mutex;
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

    std::shared_ptr<PictureResult> making;  // the result of the thread below
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

// A value changed (or the dialog was shown): a new picture after the pause.
void SchedulePicture(TForm1& form);

// The pause is over (kPictureTimer): the picture of the values as they stand now.
void StartPicture(TForm1& form);

// The picture is late (kPictureBusyTimer): the strip says so.
void ShowPictureBusy(TForm1& form);

// The larger window's image for its present size (kWindowImageTimer), painted on a thread.
void RepaintPictureWindow(TForm1& form);

// The thread has finished (kPictureReadyMessage): show its picture unless newer values wait.
void TakePicture(TForm1& form);

// OK: stop the picture being made, without waiting; a new one follows if the dialog stays.
void StopPictureForOk(TForm1& form);

// Closing: stop the picture being made and wait for its thread; close the larger window.
void EndPictures(TForm1& form);

// The strip's window procedure: the picture, the notice link in its corner, a click opening the
// larger window.
LRESULT CALLBACK PictureStripProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Opens the larger window (or brings it forward when it is open).
void OpenPictureWindow(TForm1& form);

// Where the larger window of `size` opens (screen pixels): beside the dialog and inside the work
// area of the dialog's monitor, to its right, else to its left, else below it, else shrunk into
// the largest of those places. Where the dialog leaves no useful room beside it, the window goes
// over part of the dialog, beside `buttons` (OK and Cancel), so that they stay in sight; it is
// always inside the work area.
RECT PictureWindowPlace(const RECT& dialog, const RECT& buttons, const RECT& work, SIZE size);

// The dialog is being minimised or restored: the larger window hides and returns with it.
void HidePictureWindowWithDialog(TForm1& form);
void ShowPictureWindowWithDialog(TForm1& form);

bool RegisterPictureClasses(HINSTANCE instance);

}  // namespace Unit1
