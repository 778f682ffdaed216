#include "dialog/win/app.hpp"

#include "dialog/win/form.hpp"
#include "dialog/win/form_window.hpp"

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
                HidePictureWindowWithDialog(*form);
                if (form->handle) ShowWindow(form->handle, SW_HIDE);
                ShowWindow(window, SW_MINIMIZE);
                return 0;
            case SC_RESTORE:
                DefWindowProcW(window, message, wParam, lParam);
                if (form->handle) {
                    ShowWindow(form->handle, SW_SHOW);
                    ShowPictureWindowWithDialog(*form);
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
    OpenPictureWindow(form);
    return true;
}

int RunMessageLoop(TForm1& form)
{
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);
        if (got < 0) return 1;
        if (form.handle && IsAltF4(form, message)) {
            // Closed here, not by the focused control's default handling: some controls
            // (drop-down lists on some systems) swallow every Alt key they do not use.
            PostMessageW(form.handle, WM_SYSCOMMAND, SC_CLOSE, 0);
            continue;
        }
        if (HandlePictureKey(form, message)) continue;
        if (form.handle && IsDialogMessageW(form.handle, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace Unit1
