// Internal to the Windows front end: what the window builder and the handlers share.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

#include "dialog/controls.hpp"

namespace Unit1 {

// A 0xRRGGBB colour of the controls table as a Win32 colour.
constexpr COLORREF ColourOf(std::uint32_t rgb)
{
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// Registers one of this program's window classes (arrow cursor, the application icon); true when
// it is registered, also when it already was.
bool RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure,
                         UINT style = 0, HBRUSH background = nullptr);

// The window procedure of TForm1; the form's address is in GWLP_USERDATA.
LRESULT CALLBACK Form1WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Control ids: Button1 and Button2 carry the dialog ids for Enter and Esc, the other controls
// kFirstControlId + their row in the controls table, radio items kFirstRadioId + a running
// number, LabelA1 kStatusId.
inline constexpr int kFirstControlId = 100;
inline constexpr int kFirstRadioId = 400;
inline constexpr int kStatusId = 90;

// OK's thread: a progress text (lParam: a std::string the receiver deletes). Its end is not a
// message: the message loop waits on the thread itself.
inline constexpr UINT kOkProgressMessage = WM_APP + 2;

// Enables each control as the moment has it: only Cancel while OK runs, the range-selection
// group only in a range selection, not what the chosen arrangement leaves unused.
struct TForm1;
void UpdateControlsInUse(TForm1& form);

// A list has closed (CBN_CLOSEUP): looked at once the notifications of the close have all been
// handled (lParam: the list's window).
inline constexpr UINT kListClosedMessage = WM_APP + 4;

struct FormControl;

// The control (or radio group) a child window belongs to; nullptr for none.
FormControl* ControlOfWindow(TForm1& form, HWND window);

// A control's value changed (typed, chosen, ticked): the dialog's state takes it, and the
// greying and the picture follow.
void TakeControlValue(TForm1& form, const FormControl& control);

// A list shows the state's value again (after it closed without a choice); the greying and the
// picture follow, since CB_SETCURSEL notifies nobody.
void ShowStateValue(TForm1& form, const FormControl& control);

// LabelA1's text, painted at once.
void SetStatus(TForm1& form, std::string_view status);

// A child of the form that can take the focus now.
bool IsFocusable(HWND form, HWND window);

// The picture of the run: asked for after the typing pause, and made from the values as they
// stand (waiting for OK's outcome while OK's thread holds the run).
void SchedulePictureOfRun(TForm1& form);
void StartPictureOfRun(TForm1& form);

// WM_DPICHANGED, which the headers define only for newer Windows versions.
inline constexpr UINT kDpiChangedMessage = 0x02E0;

// Only one radio item of a group is a tab stop: the checked one, or the first when none is.
// Tab then lands on the group's choice, and the arrow keys move within the group.
struct TForm1;
void UpdateRadioTabStops(TForm1& form);

// Puts the notice page's address into a corner of the strip (when FormShow places the window).
void OpenNoticeStrip(TForm1& form);
// Puts the address back into its corner after the strip changed size.
void PlaceNoticeLink(TForm1& form);

// Lays every control, label and the strips out at form.dpi from the 96-DPI design of the
// controls table, with fonts made for that DPI. `fitWindow` also brings the client area to the
// design's size at that DPI (not after WM_DPICHANGED, whose suggested rectangle holds).
void LayOutForm(TForm1& form, bool fitWindow);

// Places the window with its top-left as near `wanted` as the work area of the monitor nearest
// it allows (PlaceDialog): wholly inside where it fits, the strip giving way on a short work area,
// from the work area's top-left where even the controls do not fit. A window that comes to a
// monitor of another DPI is laid out for it and placed again. When the window opens and when a
// move ends; form.state keeps the saved position.
void PlaceFormOnScreen(TForm1& form, POINT wanted);

// A drop-down list at its place for this DPI, its opened list tall enough for every item.
void PlaceDropDownList(HWND combo, const ControlSpec& spec, int dpi);

}  // namespace Unit1
