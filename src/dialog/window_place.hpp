// Where the dialog's windows go on a monitor, as plain geometry in screen pixels, so that the
// rules are the same wherever they are checked: the dialog when it opens and when a move ends,
// the larger picture window when it opens. The Win32 front end hands in the monitor's work area
// (the monitor nearest the window) and the windows' sizes at its DPI.
#pragma once

#include <cstdint>

namespace Unit1 {

// A rectangle in screen pixels, right and bottom outside it, as the system gives a work area.
struct ScreenRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

struct ScreenSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// The dialog's outer window as it is to be placed: its top-left and its height, which is the
// full height less what the strip gave up.
struct DialogPlace {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t height = 0;

    friend bool operator==(const DialogPlace&, const DialogPlace&) = default;
};

// The window of `size` with its top-left at (left, top), cut where a screen coordinate ends: the
// rectangle to find the monitor nearest a saved position by (a position saved as INT_MAX has no
// right edge of its own).
ScreenRect WindowRectAt(std::int32_t left, std::int32_t top, ScreenSize size);

// Where the dialog goes. `full` is its outer size with the strip at its full height; the strip
// can give up `stripGive` pixels of it. On a work area too short for the full window the strip
// gives way, as far as it can. Where the window then fits the work area it lies wholly inside it,
// as near (left, top) as that allows (a window already inside stays where it is); where even the
// controls do not fit, its top-left is the work area's, and the rest is cut.
DialogPlace PlaceDialog(std::int32_t left, std::int32_t top, ScreenSize full,
                        std::int32_t stripGive, const ScreenRect& work);

// Where the larger picture window of `size` (its wish) opens: beside the dialog at full size, to
// its right, else to its left, else below it; else shrunk into the largest place beside it that
// holds at least `least` each way; else over part of the dialog, beside `buttons` (OK and
// Cancel), which it never covers while the work area leaves any room beside them: at least
// `least` where it can. Always inside the work area; `least` is cut to the work area's size.
ScreenRect PlacePictureWindow(const ScreenRect& dialog, const ScreenRect& buttons,
                              const ScreenRect& work, ScreenSize size, ScreenSize least);

}  // namespace Unit1
