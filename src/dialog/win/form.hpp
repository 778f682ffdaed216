// TForm1, the tool's one dialog: a Win32 window built from the controls table, and the handlers
// that run the tool (FormShow, Button1Click, Button2Click, FormClose).
//
// The window only mirrors a DialogState into real controls and back; every decision about values
// lies in the portable core. Texts cross into Win32 as UTF-16 converted from code page 932. An
// edit field the user has not changed gives back exactly the bytes it was loaded with.
//
// Lifetime: CreateForm1 builds the hidden window with every control at its default; FormShow
// reads the exchange file and the settings and places the window; the caller then shows it and
// runs the message loop. Closing the window in any way (OK completed, Cancel, Esc, the close box,
// Alt+F4) runs FormClose once, which writes the command file, and destroys the window.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "dialog/controls.hpp"
#include "dialog/dialog_state.hpp"
#include "dialog/tool_run.hpp"
#include "dialog/win/picture_view.hpp"

namespace Unit1 {

// One input control of the table and its window(s).
struct FormControl {
    const ControlSpec* spec = nullptr;
    HWND handle = nullptr;
    std::vector<HWND> radioButtons;  // a radio group's items, in item order
    // Edit fields: the text as last put into the field and the bytes it came from. A field that
    // still shows exactly this text gives back these bytes, not a fresh conversion.
    std::wstring shownText;
    std::string loadedBytes;
};

struct TForm1 {
    HWND handle = nullptr;
    HWND owner = nullptr;  // the application window, or none
    std::vector<FormControl> controls;  // in the order of the controls table
    std::vector<HWND> labels;           // in the order of the labels table
    HWND statusStrip = nullptr;         // LabelA1
    HWND noticeStrip = nullptr;         // ScrollBox1
    HWND noticeLink = nullptr;          // the page address inside the notice strip, if any
    HWND stripTip = nullptr;            // the strip's tooltip: a click (or F2) shows it larger
    HWND lastFocus = nullptr;           // restored when the window is activated again
    int dpi = 96;  // the DPI the window is laid out at (its monitor's)
    // OK's command runs on a thread of its own while the window keeps answering; the controls
    // are disabled, and a close (the close box, Esc, Alt+F4) waits for OK's outcome.
    bool okRunning = false;
    bool okFinished = false;
    bool closeQueued = false;

    HFONT font = nullptr;
    HFONT smallFont = nullptr;  // Label15
    HFONT linkFont = nullptr;
    HBRUSH whiteBrush = nullptr;
    HBRUSH memoBrush = nullptr;
    HBRUSH statusBrush = nullptr;

    std::wstring noticeUrl;     // empty: the notice strip stays blank
    bool quitOnClose = true;    // end the message loop when the window is destroyed
    // Shows the two messages of OK; tests put a recorder here.
    int(WINAPI* messageBox)(HWND, LPCWSTR, LPCWSTR, UINT) = MessageBoxW;

    DialogState state;  // the values loaded at FormShow; SavedLeft/SavedTop updated at OK
    ToolRun run;        // opened by FormShow, closed by FormClose
    PictureView picture;  // the run's picture in the strip and in the larger window
};

// Builds the hidden window with all controls at their defaults. False when Windows could not
// create it. `form` must stay at its address until the window is destroyed.
bool CreateForm1(TForm1& form, HINSTANCE instance, HWND owner, ToolFiles files,
                 Dimension::HostRequest request, std::wstring noticeUrl);

// Frees the fonts and brushes once the window is gone.
void DestroyForm1(TForm1& form);

// Opens the run (model, exchange file, text kinds, settings), then places the window and opens
// the notice strip.
void FormShow(TForm1& form);

// Shows the window, activated, with the focus on the first control.
void ShowForm1(TForm1& form);

// OK: the dimensioning command and the reaction to its outcome.
void Button1Click(TForm1& form);

// Cancel: closes the window; nothing is drawn.
void Button2Click(TForm1& form);

// Memory ran out: the warning box, then the window closes and the command file says "hq".
void EndForWantOfMemory(TForm1& form);

// Writes the command file and releases the model; runs once, whatever closes the window.
void FormClose(TForm1& form);

// The dialog's values as the controls hold them now.
DialogState ReadDialogState(const TForm1& form);

// Puts the values into the controls (ComboBox3 is refilled from state.ComboBox3Items).
void ApplyDialogState(TForm1& form, const DialogState& state);

// The window of the named control ("Edit7", "Memo1", "LabelA1", "Label15"), or nullptr.
HWND ControlWindow(const TForm1& form, std::string_view name);

// The top-left at which the window opens: the saved position when any part of a window of this
// size there would lie on a monitor, else (100, 100) on the primary monitor.
POINT VisibleWindowPosition(std::int32_t savedLeft, std::int32_t savedTop, int width, int height);

// True for an http:// or https:// address: only such an address is ever handed to the shell.
bool IsWebAddress(std::wstring_view address);

}  // namespace Unit1
