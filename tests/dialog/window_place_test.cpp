// Where the dialog and its larger picture window are placed on a monitor's work area.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>

#include "dialog/controls.hpp"
#include "dialog/window_place.hpp"

namespace {

using Unit1::DialogPlace;
using Unit1::ScreenRect;
using Unit1::ScreenSize;

// A length of the 96-DPI design at a DPI, rounded as the dialog rounds it.
std::int32_t AtDpi(std::int32_t design, int dpi) { return (design * dpi + 48) / 96; }

// The dialog's outer size at a DPI: the client area of the controls table inside a frame of 3
// pixels at each side and a caption of 23 at 96 DPI (the frame scales with the DPI too).
ScreenSize FullDialog(int dpi)
{
    return {AtDpi(Unit1::kClientWidth, dpi) + AtDpi(6, dpi),
            AtDpi(Unit1::kClientHeight, dpi) + AtDpi(29, dpi)};
}

// What the strip can give up at a DPI: from its full height down to its least.
std::int32_t StripGive(int dpi)
{
    // The client area with the least strip.
    const std::int32_t least =
        Unit1::kClientHeight - (Unit1::kStripFullHeight - Unit1::kStripLeastHeight);
    return AtDpi(Unit1::kClientHeight, dpi) - AtDpi(least, dpi);
}

bool Inside(const ScreenRect& r, const ScreenRect& work)
{
    return r.left >= work.left && r.top >= work.top && r.right <= work.right &&
           r.bottom <= work.bottom;
}

TEST(PlaceDialog, InsideTheWorkAreaWhereItFitsTheStripGivingWayFirst)
{
    const ScreenRect xga{0, 0, 1024, 768};
    const ScreenRect fullHd{0, 0, 1920, 1040};
    const ScreenRect leftMonitor{-1280, -200, 0, 824};  // a second monitor left of the first
    struct Case {
        const char* name;
        std::int32_t left, top;
        int dpi;
        ScreenRect work;
        DialogPlace expected;
    };
    // At 96 DPI the window is 498 x 573; at 144, 747 x 860 (766 with the least strip); at 192,
    // 996 x 1146 (1020 with the least strip).
    const Case cases[] = {
        {"fits where saved: stays", 250, 80, 96, xga, {250, 80, 573}},
        {"off the bottom-right corner", 950, 700, 96, xga, {526, 195, 573}},
        {"off the left edge", -400, 300, 96, xga, {0, 195, 573}},
        {"on no monitor: into the nearest one's corner", 5000, 5000, 96, xga, {526, 195, 573}},
        {"144 DPI, too tall at (100, 100): the strip gives way", 100, 100, 144, xga,
         {100, 0, 768}},
        {"192 DPI: even the controls are cut, from the top-left", 300, 200, 192, xga,
         {0, 0, 1020}},
        {"192 DPI on full HD: the strip gives way", 200, 300, 192, fullHd, {200, 0, 1040}},
        {"192 DPI on full HD, off the right edge", 1500, 0, 192, fullHd, {924, 0, 1040}},
        {"a monitor left of the primary one", -100, 700, 96, leftMonitor, {-498, 251, 573}},
        {"inside the left monitor: stays", -1000, -150, 96, leftMonitor, {-1000, -150, 573}},
        {"INT_MAX, INT_MIN", INT_MAX, INT_MIN, 96, xga, {526, 0, 573}},
        {"INT_MIN, INT_MAX", INT_MIN, INT_MAX, 96, xga, {0, 195, 573}},
        {"INT_MAX on the left monitor", INT_MAX, INT_MAX, 144, leftMonitor, {-747, -36, 860}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ScreenSize full = FullDialog(c.dpi);
        const DialogPlace placed =
            Unit1::PlaceDialog(c.left, c.top, full, StripGive(c.dpi), c.work);
        EXPECT_EQ(placed, c.expected);
        // The strip never grows, nor gives up more than it has.
        EXPECT_LE(placed.height, full.height);
        EXPECT_GE(placed.height, full.height - StripGive(c.dpi));
        const ScreenRect window{placed.left, placed.top, placed.left + full.width,
                                placed.top + placed.height};
        if (full.width <= c.work.right - c.work.left &&
            full.height - StripGive(c.dpi) <= c.work.bottom - c.work.top) {
            EXPECT_TRUE(Inside(window, c.work));
        } else {
            EXPECT_EQ(placed.left, c.work.left);
            EXPECT_EQ(placed.top, c.work.top);
        }
    }
}

TEST(PlaceDialog, SizesAndPositionsAtTheEndsOfTheirRangeNeverOverflow)
{
    const ScreenRect xga{0, 0, 1024, 768};
    // A window larger than any screen: its top-left is the work area's.
    EXPECT_EQ(Unit1::PlaceDialog(INT_MIN, INT_MIN, {INT_MAX, INT_MAX}, INT_MAX, xga),
              (DialogPlace{0, 0, 768}));
    EXPECT_EQ(Unit1::PlaceDialog(INT_MAX, INT_MAX, {INT_MAX, INT_MAX}, 0, xga),
              (DialogPlace{0, 0, INT_MAX}));
    // A work area at the far end of the coordinates.
    const ScreenRect far{INT_MAX - 1000, INT_MAX - 1000, INT_MAX, INT_MAX};
    EXPECT_EQ(Unit1::PlaceDialog(0, INT_MAX, {498, 573}, 63, far),
              (DialogPlace{INT_MAX - 1000, INT_MAX - 573, 573}));
    // A work area with nothing in it.
    EXPECT_EQ(Unit1::PlaceDialog(10, 10, {498, 573}, 63, ScreenRect{5, 5, 5, 5}),
              (DialogPlace{5, 5, 510}));

    // The rectangle a saved position stands for, to find its monitor by, ends where the
    // coordinates end.
    EXPECT_EQ(Unit1::WindowRectAt(INT_MAX, INT_MAX, {498, 573}),
              (ScreenRect{INT_MAX, INT_MAX, INT_MAX, INT_MAX}));
    EXPECT_EQ(Unit1::WindowRectAt(INT_MIN, -100, {498, 573}),
              (ScreenRect{INT_MIN, -100, INT_MIN + 498, 473}));
}

// The larger window: beside the dialog at its full size where a side has room, else shrunk to
// no less than 1.5 times the strip each way (or the work area), else over part of the dialog,
// never over OK and Cancel.
TEST(PlacePictureWindow, BesideTheDialogNeverSmallerThanTheStripAllowsNeverOverTheButtons)
{
    struct Case {
        const char* name;
        ScreenRect dialog;
        ScreenRect buttons;
        ScreenRect work;
        int dpi;
        ScreenRect expected;
    };
    const ScreenRect fullHd{0, 0, 1920, 1040};
    const ScreenRect xga{0, 0, 1024, 768};
    const ScreenRect small{0, 0, 1024, 738};
    const Case cases[] = {
        {"right of it", {0, 0, 500, 500}, {360, 256, 481, 327}, fullHd, 96, {500, 0, 1260, 360}},
        {"left of it, level with its top", {1400, 100, 1900, 600}, {1760, 356, 1881, 427},
         fullHd, 96, {640, 100, 1400, 460}},
        {"below it", {0, 0, 1900, 400}, {1760, 256, 1881, 327}, fullHd, 96, {0, 400, 760, 760}},
        {"moved up along its side", {0, 800, 500, 1030}, {360, 900, 481, 970}, fullHd, 96,
         {500, 680, 1260, 1040}},
        {"no side holds the least size: over the controls, above the buttons",
         {100, 100, 600, 600}, {460, 356, 581, 427}, small, 96, {0, 0, 760, 356}},
        {"a 192-DPI dialog on a small screen: above the buttons", {12, 0, 1012, 1010},
         {732, 512, 976, 662}, small, 192, {0, 0, 1024, 512}},
        {"a dialog over the whole work area", {-8, -8, 1032, 746}, {0, 0, 1024, 738}, small, 96,
         {0, 0, 760, 360}},
        {"1024 x 768 at 96 DPI, the dialog at (100, 100)", {100, 100, 598, 673},
         {463, 382, 584, 453}, xga, 96, {0, 22, 760, 382}},
        {"1024 x 768 at 120 DPI", {100, 52, 723, 768}, {554, 404, 705, 493}, xga, 120,
         {0, 0, 950, 404}},
        {"1024 x 768, the dialog at the left edge", {0, 100, 498, 673}, {363, 382, 484, 453},
         xga, 96, {0, 22, 760, 382}},
        {"1024 x 768, the dialog at the right edge", {526, 100, 1024, 673}, {889, 382, 1010, 453},
         xga, 96, {0, 100, 760, 460}},
        {"full HD, the dialog at the right edge", {1422, 100, 1920, 673}, {1785, 382, 1906, 453},
         fullHd, 96, {662, 100, 1422, 460}},
        {"full HD at 144 DPI, the dialog at its left edge", {0, 100, 747, 960},
         {546, 523, 727, 630}, fullHd, 144, {747, 100, 1887, 640}},
        {"full HD at 144 DPI: 1,073 pixels to its right are less than 1.5 strips",
         {100, 100, 847, 960}, {646, 523, 827, 630}, fullHd, 144, {0, 0, 1140, 523}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ScreenSize size{AtDpi(760, c.dpi), AtDpi(360, c.dpi)};
        // 1.5 times the strip's 492 x 128 each way.
        const ScreenSize least{AtDpi(738, c.dpi), AtDpi(192, c.dpi)};
        const ScreenRect r = Unit1::PlacePictureWindow(c.dialog, c.buttons, c.work, size, least);
        EXPECT_EQ(r, c.expected);
        EXPECT_TRUE(Inside(r, c.work));
        EXPECT_GE(r.right - r.left, std::min(least.width, c.work.right - c.work.left));
        // Only buttons as wide as the work area leave it no room of the least size.
        if (c.buttons.right - c.buttons.left < c.work.right - c.work.left) {
            EXPECT_GE(r.bottom - r.top, std::min(least.height, c.work.bottom - c.work.top));
            const bool apart = r.right <= c.buttons.left || c.buttons.right <= r.left ||
                               r.bottom <= c.buttons.top || c.buttons.bottom <= r.top;
            EXPECT_TRUE(apart);
        }
    }
}

}  // namespace
