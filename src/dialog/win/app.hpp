// The program: the application window, the dialog's one message loop, and the ending that writes
// the command file whatever ends the program.
//
// The application window is never seen: it has no size and only carries the task-bar button,
// whose text is the application title ("tz47_Korvane"), while TForm1, the window the user
// works in, is owned by it and keeps its own caption ("Korvane"). Minimising the dialog
// minimises the application window; restoring that from the task bar shows the dialog again.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "dialog/tool_run.hpp"
#include "dimension/host_request.hpp"

namespace Unit1 {

struct TForm1;

// Creates the application window (hidden). nullptr when Windows refused.
HWND CreateApplicationWindow(HINSTANCE instance, const std::wstring& title);

// Shows the application window's task-bar button and lets the window hand activation, restore
// and close on to the form.
void AttachApplicationWindow(HWND application, TForm1& form);

// The dialog's one message loop, the same whether OK runs or not. It waits for a message or, while
// OK runs, for OK's thread to end (FinishOk). Keyboard input goes through the dialog manager:
// Tab and the arrow keys move the focus, Enter is OK (ignored while OK runs), Esc and Alt+N are
// Cancel (while OK runs: close after OK's outcome), Alt+Y is OK; Alt+F4 closes; F2 anywhere in
// the dialog opens the larger picture window. Runs until WM_QUIT (its code is returned), until
// `done` answers true (asked after each message and after OK's end; 0 is returned), or until
// waiting fails (1).
int RunMessageLoop(TForm1& form, const std::function<bool()>& done = {});

// F2 pressed in the dialog or any of its controls: opens the larger picture window and says
// the message has been handled. The dialog uses F2 for nothing else, and no control does.
inline constexpr WPARAM kPictureKey = VK_F2;
bool HandlePictureKey(TForm1& form, const MSG& message);

// What Korvane.exe starts with.
struct ProgramStart {
    HINSTANCE instance = nullptr;
    ToolFiles files;
    Dimension::HostRequest request;
    std::wstring noticeUrl;
};

// The whole program: the application window and the dialog, shown, and the message loop. However
// the loop ends (the dialog closed, the loop failed, the owner or the dialog destroyed), OK's
// thread is waited for and the run closed: the host finds the run or "hq", never its own file.
// `loop` replaces RunMessageLoop: tests put in one that fails or destroys the owner. Gives the
// exit code.
int RunProgram(const ProgramStart& start, int (*loop)(TForm1&) = nullptr);

}  // namespace Unit1
