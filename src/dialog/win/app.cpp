#include "dialog/win/app.hpp"

#include "dialog/controls.hpp"
#include "dialog/win/form.hpp"
#include "dialog/win/form_window.hpp"
#include "dialog/win/win_text.hpp"

namespace Unit1 {
namespace {

constexpr wchar_t kApplicationClass[] = L"TApplication";

// The window that should be active when the application is: the form, or the message box it
// is showing.
HWND ActivePopup(const TForm1& form)
{
    if (!form.handle || !IsWindowVisible(form.handle)) return nullptr;
    return GetLastActivePopup(form.handle);
}

bool IsAltF4(const TForm1& form, const MSG& message)
{
    return message.message == WM_SYSKEYDOWN && message.wParam == VK_F4 &&
           (HIWORD(message.lParam) & KF_ALTDOWN) &&
           (message.hwnd == form.handle || IsChild(form.handle, message.hwnd));
}

LRESULT CALLBACK ApplicationProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* form = reinterpret_cast<TForm1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form) {
        switch (message) {
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) {
                if (HWND popup = ActivePopup(*form)) SetActiveWindow(popup);
                return 0;
            }
            break;
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
            case SC_MINIMIZE:
                HidePictureWindowWithDialog(form->picture);
                if (form->handle) ShowWindow(form->handle, SW_HIDE);
                ShowWindow(window, SW_MINIMIZE);
                return 0;
            case SC_RESTORE:
                DefWindowProcW(window, message, wParam, lParam);
                if (form->handle) {
                    ShowWindow(form->handle, SW_SHOW);
                    ShowPictureWindowWithDialog(form->picture);
                    if (HWND popup = ActivePopup(*form)) SetForegroundWindow(popup);
                }
                return 0;
            default:
                break;
            }
            break;
        case WM_CLOSE:
            // Closing from the task bar closes the dialog, which writes the command file.
            if (form->handle) SendMessageW(form->handle, WM_CLOSE, 0, 0);
            return 0;
        default:
            break;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

HWND CreateApplicationWindow(HINSTANCE instance, const std::wstring& title)
{
    if (!RegisterWindowClass(instance, kApplicationClass, ApplicationProc)) return nullptr;
    // No size: the window is "shown" only to own the task-bar button.
    return CreateWindowExW(0, kApplicationClass, title.c_str(),
                           WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                           GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2,
                           0, 0, nullptr, nullptr, instance, nullptr);
}

void AttachApplicationWindow(HWND application, TForm1& form)
{
    if (!application) return;
    SetWindowLongPtrW(application, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&form));
    ShowWindow(application, SW_SHOWNOACTIVATE);
}

bool HandlePictureKey(TForm1& form, const MSG& message)
{
    if (!form.handle || message.message != WM_KEYDOWN || message.wParam != kPictureKey) {
        return false;
    }
    if (message.hwnd != form.handle && !IsChild(form.handle, message.hwnd)) return false;
    OpenPictureWindow(form.picture);
    return true;
}

namespace {

// One message, as the dialog takes it in both states.
void HandleMessage(TForm1& form, MSG& message)
{
    if (form.handle && IsAltF4(form, message)) {
        // Closed here, not by the focused control's default handling: some controls (drop-down
        // lists on some systems) swallow every Alt key they do not use.
        PostMessageW(form.handle, WM_SYSCOMMAND, SC_CLOSE, 0);
        return;
    }
    if (HandlePictureKey(form, message)) return;
    if (form.handle && IsDialogMessageW(form.handle, &message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

// Waits until a message is there or OK's thread has ended, and takes OK's outcome when it has.
// False when waiting failed.
bool WaitForWork(TForm1& form)
{
    HANDLE ok = OkThreadHandle(form);
    const DWORD count = ok ? 1 : 0;
    const DWORD woke =
        MsgWaitForMultipleObjectsEx(count, ok ? &ok : nullptr, INFINITE, QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
    if (woke == WAIT_FAILED) return false;
    if (ok && woke == WAIT_OBJECT_0) FinishOk(form);
    return true;
}

}  // namespace

int RunMessageLoop(TForm1& form, const std::function<bool()>& done)
{
    MSG message{};
    for (;;) {
        if (done && done()) return 0;
        if (!WaitForWork(form)) return 1;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
            HandleMessage(form, message);
            if (done && done()) return 0;
        }
    }
}

int RunProgram(const ProgramStart& start, int (*loop)(TForm1&))
{
    HWND application = CreateApplicationWindow(start.instance, Cp932ToWide(kApplicationTitle));
    TForm1 form;
    int exitCode = 0;
    if (!CreateForm1(form, start.instance, application, start.files, start.request,
                     start.noticeUrl)) {
        // Without a dialog nothing can be drawn: "hq" below.
        exitCode = 1;
    } else {
        FormShow(form);
        if (form.run && form.run->outOfMemory) {
            // The drawing could not be read for want of memory: the box comes before any dialog.
            EndForWantOfMemory(form);
        } else {
            AttachApplicationWindow(application, form);
            ShowForm1(form);
            exitCode = loop ? loop(form) : RunMessageLoop(form);
        }
    }
    // Whatever ended the loop: OK's thread ends and hands the run back, and the run is written.
    FormClose(form);
    DestroyForm1(form);
    if (application) DestroyWindow(application);
    return exitCode;
}

}  // namespace Unit1
