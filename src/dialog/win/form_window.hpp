// Internal to the Windows front end: what the window builder and the handlers share.
#pragma once

#include <windows.h>

#include <cstdint>

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

// Only one radio item of a group is a tab stop: the checked one, or the first when none is.
// Tab then lands on the group's choice, and the arrow keys move within the group.
struct TForm1;
void UpdateRadioTabStops(TForm1& form);

// Puts the notice page's address into a corner of the strip (when FormShow places the window).
void OpenNoticeStrip(TForm1& form);

}  // namespace Unit1
