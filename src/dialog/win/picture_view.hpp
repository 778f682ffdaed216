// The dialog's live picture of the run: computed off the dialog's thread whenever the values
// change, shown in the strip below the controls and, on a click, in a larger window that
// follows the values while it is open.
//
// A change of a value (typing, an item chosen, a box ticked) asks for a new picture once the
// user has paused for 150 ms. One picture is made at a time, on a thread of its own, reading the
// run's model with a copy of its writer; a newer change stops the one being made (at the next
// stage of the command) and starts again once it has stopped. A picture never saves, never
// writes a file and never touches the status strip. OK stops a picture without waiting for it;
// closing the dialog stops it and waits, before the model is released.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "dialog/run_picture.hpp"

namespace Unit1 {

struct TForm1;

struct PictureView {
    RunPicture shown;  // what the strip and the window show (the dialog's thread only)
    // The strip's picture, painted by the thread: a run of a hundred thousand intervals takes a
    // noticeable moment to paint, which the dialog's thread must not spend.
    HBITMAP stripImage = nullptr;

    // The computation, shared with its thread.
    std::thread worker;
    std::atomic<bool> stop{false};
    std::mutex mutex;
    RunPicture finished;             // under `mutex`
    HBITMAP finishedImage = nullptr;  // under `mutex`
    // Its state, kept by the dialog's thread alone: the thread never reads these.
    bool running = false;  // a thread was started and not yet joined
    bool pending = false;  // the values changed, or OK stopped the picture: make a new one

    HWND window = nullptr;          // the larger window, while it is open
    HBITMAP windowImage = nullptr;  // its picture, painted once for its size
    SIZE windowImageSize{};
    bool hiddenWithDialog = false;  // hidden while the dialog is minimised

    PictureView() = default;
    PictureView(const PictureView&) = delete;
    PictureView& operator=(const PictureView&) = delete;
    // A thread still making a picture is stopped and waited for: it reads this view.
    ~PictureView();
};

// Messages of the dialog's window that belong to the picture.
inline constexpr UINT kPictureReadyMessage = WM_APP + 1;
inline constexpr UINT_PTR kPictureTimer = 1;
inline constexpr UINT kPicturePauseMs = 150;

// A value changed (or the dialog was shown): a new picture after the pause.
void SchedulePicture(TForm1& form);

// The pause is over (kPictureTimer): the picture of the values as they stand now.
void StartPicture(TForm1& form);

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

// The dialog is being minimised or restored: the larger window hides and returns with it.
void HidePictureWindowWithDialog(TForm1& form);
void ShowPictureWindowWithDialog(TForm1& form);

bool RegisterPictureClasses(HINSTANCE instance);

}  // namespace Unit1
