// TForm1's window procedure: each message the dialog handles, in a handler of its own.
#include <windows.h>

#include <memory>
#include <new>
#include <optional>
#include <string>

#include "dialog/win/form.hpp"
#include "dialog/win/form_window.hpp"

namespace Unit1 {
namespace {

// A handler's answer; none: the default window procedure answers.
using Handled = std::optional<LRESULT>;

TForm1* FormOf(HWND window)
{
    return reinterpret_cast<TForm1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// A drop-down list's notifications. Only a choice changes the value: CBN_SELENDOK, or a change
// while the list is closed (the arrow keys, the wheel). While the list is open its highlight is
// no choice, and a list closed without one (Esc, a click elsewhere, CBN_SELENDCANCEL) shows the
// value it had before it opened, whatever the list control did meanwhile: some lists, opened
// from the keyboard, select the item under a resting mouse pointer and keep it on Esc.
void OnListNotification(TForm1& form, const FormControl& list, int code)
{
    switch (code) {
    case CBN_DROPDOWN:
        form.openList = list.handle;
        break;
    case CBN_SELENDOK:
        TakeControlValue(form, list);
        break;
    case CBN_SELENDCANCEL:
        ShowStateValue(form, list);
        break;
    case CBN_CLOSEUP:
        // Whether a choice was made is known once every notification of the close has come,
        // in whatever order the system sends them.
        PostMessageW(form.handle, kListClosedMessage, 0, reinterpret_cast<LPARAM>(list.handle));
        break;
    case CBN_SELCHANGE:
        if (form.openList != list.handle) TakeControlValue(form, list);
        break;
    default:
        break;
    }
}

// The close of a list has been handled: should it still show something other than the value
// (a close that brought neither a choice nor a cancel), it shows the value.
void OnListClosed(TForm1& form, LPARAM list)
{
    HWND window = reinterpret_cast<HWND>(list);
    if (form.openList == window) form.openList = nullptr;
    FormControl* control = ControlOfWindow(form, window);
    if (!control || SendMessageW(window, CB_GETDROPPEDSTATE, 0, 0)) return;
    const LRESULT shown = SendMessageW(window, CB_GETCURSEL, 0, 0);
    const std::int32_t value = form.state.*control->spec->value.state.index;
    if ((shown == CB_ERR ? -1 : shown) != value) ShowStateValue(form, *control);
}

Handled OnCommand(TForm1& form, WPARAM wParam, LPARAM lParam)
{
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (id == IDOK && code == BN_CLICKED) {
        Button1Click(form);
        return 0;
    }
    if (id == IDCANCEL && code == BN_CLICKED) {
        Button2Click(form);
        return 0;
    }
    const FormControl* control = ControlOfWindow(form, reinterpret_cast<HWND>(lParam));
    if (!control) return std::nullopt;
    switch (control->spec->kind) {
    case ControlKind::DropDownList:
        OnListNotification(form, *control, code);
        break;
    case ControlKind::Edit:
        if (code == EN_CHANGE) TakeControlValue(form, *control);
        break;
    case ControlKind::CheckBox:
    case ControlKind::RadioGroup:
        if (code == BN_CLICKED) TakeControlValue(form, *control);
        break;
    default:
        break;
    }
    return 0;
}

Handled OnTimer(TForm1& form, WPARAM timer)
{
    switch (timer) {
    case kPictureTimer:
        StartPictureOfRun(form);
        return 0;
    case kPictureBusyTimer:
        ShowPictureBusy(form.picture);
        return 0;
    case kWindowImageTimer:
        RepaintPictureWindow(form.picture);
        return 0;
    default:
        return std::nullopt;
    }
}

Handled OnOkProgress(TForm1& form, LPARAM lParam)
{
    const std::unique_ptr<std::string> text(reinterpret_cast<std::string*>(lParam));
    // Once a close was heard LabelA1 keeps saying that the dialog closes after OK's outcome.
    if (text && form.ok && !form.ok->closeHeard) SetStatus(form, *text);
    return 0;
}

// Moved to a monitor of another DPI (or its scale changed): everything laid out again for it, in
// the rectangle Windows suggests, which keeps the window under the pointer.
Handled OnDpiChanged(TForm1& form, HWND window, WPARAM wParam, LPARAM lParam)
{
    const int dpi = LOWORD(wParam);
    const auto* suggested = reinterpret_cast<const RECT*>(lParam);
    if (dpi <= 0 || !suggested) return 0;
    form.dpi = dpi;
    SetWindowPos(window, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    LayOutForm(form, false);
    SchedulePictureOfRun(form);  // the strip's picture at its new size
    return 0;
}

// A move has ended (dragged by its caption, or from the keyboard): where the window fits the work
// area of its monitor it is brought wholly onto it, so that OK and Cancel stay within reach.
// While it is dragged nothing is checked: across monitors WM_DPICHANGED keeps the rectangle
// Windows suggests, under the pointer.
Handled OnExitSizeMove(TForm1& form, HWND window)
{
    RECT outer{};
    if (IsIconic(window) || !GetWindowRect(window, &outer)) return 0;
    PlaceFormOnScreen(form, POINT{outer.left, outer.top});
    return 0;
}

Handled OnControlColour(TForm1& form, WPARAM wParam, LPARAM lParam)
{
    HDC dc = reinterpret_cast<HDC>(wParam);
    HWND control = reinterpret_cast<HWND>(lParam);
    if (control == ControlWindow(form, "Memo1") && form.memoBrush) {
        SetBkColor(dc, ColourOf(kMemoBackground));
        return reinterpret_cast<LRESULT>(form.memoBrush);
    }
    if (control == form.statusStrip && form.statusBrush) {
        SetBkColor(dc, ColourOf(kStatusBackground));
        return reinterpret_cast<LRESULT>(form.statusBrush);
    }
    SetBkColor(dc, RGB(255, 255, 255));
    return reinterpret_cast<LRESULT>(form.whiteBrush);
}

// The focus leaves with the window and comes back to where it was.
Handled OnActivate(TForm1& form, HWND window, WPARAM wParam)
{
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (IsFocusable(window, focus)) form.lastFocus = focus;
    } else if (!HIWORD(wParam)) {
        HWND focus = IsFocusable(window, form.lastFocus)
                         ? form.lastFocus
                         : GetNextDlgTabItem(window, nullptr, FALSE);
        if (focus) SetFocus(focus);
    }
    return 0;
}

Handled OnSysCommand(TForm1& form, WPARAM wParam)
{
    // The application window carries the task-bar button: minimising goes through it.
    if ((wParam & 0xFFF0) == SC_MINIMIZE && form.owner) {
        SendMessageW(form.owner, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        return 0;
    }
    return std::nullopt;
}

// Cancel, Esc, Alt+F4, the close box, the task bar: the dialog closes and the run is written.
// While OK runs the close is heard and said, and comes after OK's outcome.
Handled OnClose(TForm1& form, HWND window)
{
    if (form.ok) {
        form.ok->closeHeard = true;
        SetStatus(form, kStatusClosingAfterOk);
        return 0;
    }
    FormClose(form);
    DestroyWindow(window);
    return 0;
}

// The user logs off or the system shuts down with the dialog open: the process ends without
// leaving its message loop, so the run is closed here, after OK's thread if it runs.
Handled OnEndSession(TForm1& form, WPARAM ending)
{
    if (ending) FormClose(form);
    return 0;
}

void OnNcDestroy(TForm1& form, HWND window)
{
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    form.handle = nullptr;
    form.noticeLink = nullptr;
    form.noticeStrip = nullptr;
    form.stripTip = nullptr;  // owned by the window: gone with it
    form.statusStrip = nullptr;
    form.labels.clear();
    form.controls.clear();
    form.picture.host = PictureHost{};
}

Handled FormMessage(TForm1& form, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        return OnCommand(form, wParam, lParam);
    case kListClosedMessage:
        OnListClosed(form, lParam);
        return 0;
    case WM_TIMER:
        return OnTimer(form, wParam);
    case kPictureReadyMessage:
        if (TakePicture(form.picture)) StartPictureOfRun(form);  // newer values wait
        return 0;
    case kOkProgressMessage:
        return OnOkProgress(form, lParam);
    case kDpiChangedMessage:
        return OnDpiChanged(form, window, wParam, lParam);
    case WM_EXITSIZEMOVE:
        return OnExitSizeMove(form, window);
    case DM_GETDEFID:
        // Enter presses OK wherever the focus is, except on Cancel itself.
        return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return OnControlColour(form, wParam, lParam);
    case WM_ACTIVATE:
        return OnActivate(form, window, wParam);
    case WM_SYSCOMMAND:
        return OnSysCommand(form, wParam);
    case WM_CLOSE:
        return OnClose(form, window);
    case WM_ENDSESSION:
        return OnEndSession(form, wParam);
    case WM_DESTROY:
        if (form.quitOnClose) PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        OnNcDestroy(form, window);
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

}  // namespace

LRESULT CALLBACK Form1WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        return DefWindowProcW(window, message, wParam, lParam);
    }
    TForm1* form = FormOf(window);
    if (!form) return DefWindowProcW(window, message, wParam, lParam);
    // No exception may cross the system's frames around a window procedure (a 32-bit program
    // cannot unwind through them): memory running out in a handler ends the run here.
    try {
        if (const Handled answer = FormMessage(*form, window, message, wParam, lParam)) {
            return *answer;
        }
    } catch (const std::bad_alloc&) {
        // While OK's thread holds the run, its own outcome reports memory running out.
        if (form->run && !form->run->closed) EndForWantOfMemory(*form);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace Unit1
