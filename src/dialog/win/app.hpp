// The application window and the message loop of Korvane.exe.
//
// The application window is never seen: it has no size and only carries the task-bar button,
// whose text is the application title ("tz47_Korvane"), while TForm1, the window the user
// works in, is owned by it and keeps its own caption ("Korvane"). Minimising the dialog
// minimises the application window; restoring that from the task bar shows the dialog again.
#pragma once

#include <windows.h>

#include <string>

namespace Unit1 {

struct TForm1;

// Creates the application window (hidden). nullptr when Windows refused.
HWND CreateApplicationWindow(HINSTANCE instance, const std::wstring& title);

// Shows the application window's task-bar button and lets the window hand activation, restore
// and close on to the form.
void AttachApplicationWindow(HWND application, TForm1& form);

// Runs until the form has been destroyed. Keyboard input goes through the dialog manager:
// Tab and the arrow keys move the focus, Enter is OK, Esc is Cancel, Alt+Y and Alt+N press
// the buttons; F2 anywhere in the dialog opens the larger picture window.
int RunMessageLoop(TForm1& form);

// F2 pressed in the dialog or any of its controls: opens the larger picture window and says
// the message has been handled. The dialog uses F2 for nothing else, and no control does.
inline constexpr WPARAM kPictureKey = VK_F2;
bool HandlePictureKey(TForm1& form, const MSG& message);

}  // namespace Unit1
