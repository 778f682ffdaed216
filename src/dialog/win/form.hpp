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
// Alt+F4) runs FormClose once, which writes the command file, and destroys the window; whatever
// else ends the program (the loop failing, the owner going, the session ending) closes the run
// too: the host finds the run or "hq", never its own file.
//
// OK runs on a thread of its own (OkThread), which owns the tool run until it has ended:
// `run` is empty meanwhile and `ok` holds the thread. The message loop waits on that thread
// besides the messages, and FinishOk takes the run back.
#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dialog/controls.hpp"
#include "dialog/dialog_state.hpp"
#include "dialog/tool_run.hpp"
#include "dialog/win/ok_thread.hpp"
#include "dialog/win/picture_view.hpp"
#include "dimension/host_request.hpp"

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

// OK while it runs: its thread, which holds the run, and what the window's thread heard meanwhile.
struct OkInFlight {
    OkThread thread;
    bool closeHeard = false;  // Esc, Cancel or the close box: the dialog closes after OK's outcome
    HWND focus = nullptr;     // where the focus was when OK was pressed
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
    // The drop-down list whose items are showing: from CBN_DROPDOWN until its close has been
    // looked at (kListClosedMessage). While it is open its highlight is no choice.
    HWND openList = nullptr;
    int dpi = 96;  // the DPI the window is laid out at (its monitor's)

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
    // Called first thing on OK's thread; tests hold OK there to look at the dialog meanwhile.
    std::function<void()> okThreadBegins;

    // The dialog's values: what the strip's picture, the greying and OK all read. Each control's
    // notification brings its value in; a list takes only a choice (a close without one shows
    // the value again). SavedLeft/SavedTop are updated at OK.
    DialogState state;
    // Opened by FormShow, closed by FormClose (or by whatever else ends the program). Empty
    // while OK's thread holds it.
    std::optional<ToolRun> run{std::in_place};
    std::optional<OkInFlight> ok;  // while OK runs
    PictureView picture;  // the run's picture in the strip and in the larger window
};

// Builds the hidden window with all controls at their defaults. False when Windows could not
// create it. `form` must stay at its address until the window is destroyed.
bool CreateForm1(TForm1& form, HINSTANCE instance, HWND owner, ToolFiles files,
                 Dimension::HostRequest request, std::wstring noticeUrl);

// Waits for OK's thread, should it run, and the picture's; destroys the window if it is still
// there, and frees the fonts and brushes. The run is left as it is (see FormClose).
void DestroyForm1(TForm1& form);

// Opens the run (model, exchange file, text kinds, settings), then places the window and opens
// the notice strip.
void FormShow(TForm1& form);

// Shows the window, activated, with the focus on the first control.
void ShowForm1(TForm1& form);

// OK: starts the dimensioning command on OK's thread and returns; FinishOk reacts to its
// outcome. Ignored while OK runs. Where no thread can be had, the command runs here and its
// outcome follows at once.
void Button1Click(TForm1& form);

// OK's thread, while it runs: signalled once it has ended. nullptr when OK is not running.
HANDLE OkThreadHandle(const TForm1& form);

// OK's thread has ended (or must be waited for): takes the run back and reacts to the outcome
// (closes on a drawn run, focuses a refused value, shows a message), then closes the dialog if a
// close was heard meanwhile. Nothing when OK is not running.
void FinishOk(TForm1& form);

// Waits for OK's thread, should it run, and takes the run back without showing anything: for
// the ends of the program, which close the run next.
void TakeBackRunFromOk(TForm1& form);

// Cancel: closes the window; nothing is drawn.
void Button2Click(TForm1& form);

// Memory ran out: the warning box, then the window closes and the command file says "hq".
void EndForWantOfMemory(TForm1& form);

// Writes the command file and releases the model; runs once, whatever closes the window. OK's
// thread, should it run, is waited for first, so that what it drew is written.
void FormClose(TForm1& form);

// The dialog's values as the controls show them now (form.state with each control read afresh):
// equal to form.state whenever no notification is pending.
DialogState ReadDialogState(const TForm1& form);

// Puts the values into the controls (ComboBox3 is refilled from state.ComboBox3Items).
void ApplyDialogState(TForm1& form, const DialogState& state);

// The window of the named control ("Edit7", "Memo1", "LabelA1", "Label15"), or nullptr.
HWND ControlWindow(const TForm1& form, std::string_view name);

}  // namespace Unit1
