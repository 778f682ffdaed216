// TForm1's handlers, its window procedure and the mirroring of DialogState into the controls.
#include "dialog/win/form.hpp"

#include <windows.h>

#include <climits>
#include <memory>
#include <new>
#include <string>
#include <system_error>
#include <thread>

#include "common/fpu.hpp"
#include "dialog/win/display_scale.hpp"
#include "dialog/win/form_window.hpp"
#include "dialog/win/win_text.hpp"
#include "dimension/command.hpp"

namespace Unit1 {
namespace {

TForm1* FormOf(HWND window)
{
    return reinterpret_cast<TForm1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

std::wstring WindowText(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

const FormControl* FindFormControl(const TForm1& form, std::string_view name)
{
    for (const FormControl& control : form.controls) {
        if (control.spec->name == name) return &control;
    }
    return nullptr;
}

void SetStatus(TForm1& form, std::string_view status)
{
    if (!form.statusStrip) return;
    SetWindowTextW(form.statusStrip, Cp932ToWide(status).c_str());
    UpdateWindow(form.statusStrip);
}


// Runs the dialog's messages until OK's thread says it has finished. The window keeps
// answering: it paints, shows the progress texts and answers other programs; a close is
// remembered for after OK's outcome. A WM_QUIT seen here is posted again for the main loop.
void PumpUntilOkFinished(TForm1& form)
{
    bool quit = false;
    int quitCode = 0;
    MSG message{};
    while (!form.okFinished) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            quit = true;
            quitCode = static_cast<int>(message.wParam);
            continue;
        }
        if (got < 0) break;
        if (form.handle && IsDialogMessageW(form.handle, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (quit) PostQuitMessage(quitCode);
}

int SelectedRadioItem(const FormControl& control)
{
    for (std::size_t i = 0; i < control.radioButtons.size(); ++i) {
        if (SendMessageW(control.radioButtons[i], BM_GETCHECK, 0, 0) == BST_CHECKED) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Moves the keyboard focus to the control whose value failed its check.
void FocusControl(TForm1& form, std::string_view name)
{
    const FormControl* control = FindFormControl(form, name);
    if (!control) return;
    HWND target = control->handle;
    if (!control->radioButtons.empty()) {
        const int selected = SelectedRadioItem(*control);
        target = control->radioButtons[static_cast<std::size_t>(selected >= 0 ? selected : 0)];
    }
    SetFocus(target);
    // As when the user tabs into it: the whole text is selected, ready to be typed over.
    if (control->spec->kind == ControlKind::Edit) SendMessageW(target, EM_SETSEL, 0, -1);
    form.lastFocus = target;
}

int ShowMessage(const TForm1& form, std::string_view text, UINT icon)
{
    const std::wstring wideText = Cp932ToWide(text);
    const std::wstring title = Cp932ToWide(kMessageTitle);
    // Before the dialog is shown the box stands on its own.
    HWND owner = form.handle && IsWindowVisible(form.handle) ? form.handle : nullptr;
    return form.messageBox(owner, wideText.c_str(), title.c_str(), icon | MB_OK);
}

bool IsFocusable(HWND form, HWND window)
{
    return window && IsWindow(window) && IsChild(form, window) && IsWindowVisible(window) &&
           IsWindowEnabled(window);
}

}  // namespace

POINT VisibleWindowPosition(std::int32_t savedLeft, std::int32_t savedTop, int width, int height)
{
    const long long right = static_cast<long long>(savedLeft) + width;
    const long long bottom = static_cast<long long>(savedTop) + height;
    if (right <= LONG_MAX && bottom <= LONG_MAX) {
        const RECT window{savedLeft, savedTop, static_cast<LONG>(right),
                          static_cast<LONG>(bottom)};
        if (MonitorFromRect(&window, MONITOR_DEFAULTTONULL) != nullptr) {
            return POINT{savedLeft, savedTop};
        }
    }
    // The primary monitor's top-left corner is the origin of the screen coordinates.
    return POINT{100, 100};
}

HWND ControlWindow(const TForm1& form, std::string_view name)
{
    if (const FormControl* control = FindFormControl(form, name)) return control->handle;
    if (name == "LabelA1") return form.statusStrip;
    const auto labels = DialogLabels();
    for (std::size_t i = 0; i < labels.size() && i < form.labels.size(); ++i) {
        if (labels[i].name == name) return form.labels[i];
    }
    return nullptr;
}

void UpdateRadioTabStops(TForm1& form)
{
    for (const FormControl& control : form.controls) {
        if (control.radioButtons.empty()) continue;
        const int selected = SelectedRadioItem(control);
        for (std::size_t i = 0; i < control.radioButtons.size(); ++i) {
            HWND button = control.radioButtons[i];
            const bool stop = static_cast<int>(i) == (selected >= 0 ? selected : 0);
            LONG_PTR style = GetWindowLongPtrW(button, GWL_STYLE);
            style = stop ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
            SetWindowLongPtrW(button, GWL_STYLE, style);
        }
    }
}

// Decides for every control whether it takes input, in one place, so that no rule undoes
// another: nothing while OK runs; the range selection's group only in a range selection (it has
// no effect on indicated points); what the chosen arrangement does not use is greyed out. The
// values stay as they are and are saved.
void UpdateControlsInUse(TForm1& form)
{
    DialogState state;
    if (const FormControl* arrangement = FindFormControl(form, "ComboBox6")) {
        const LRESULT selected = SendMessageW(arrangement->handle, CB_GETCURSEL, 0, 0);
        state.ComboBox6 = selected == CB_ERR ? -1 : static_cast<std::int32_t>(selected);
    }
    const bool rangeMode = form.run.request.source == Dimension::PointSource::RangeSelection;
    for (const FormControl& control : form.controls) {
        const bool inRangeGroup =
            control.spec->name == "GroupBox1" || control.spec->parent == "GroupBox1";
        const bool enabled = !form.okRunning && ControlInUse(state, *control.spec) &&
                             (rangeMode || !inRangeGroup);
        EnableWindow(control.handle, enabled ? TRUE : FALSE);
        for (HWND item : control.radioButtons) EnableWindow(item, enabled ? TRUE : FALSE);
    }
}

void ApplyDialogState(TForm1& form, const DialogState& state)
{
    for (FormControl& control : form.controls) {
        const ControlSpec& spec = *control.spec;
        const StateField field = FieldOf(spec.name);
        if (spec.name == "ComboBox3") {
            SendMessageW(control.handle, CB_RESETCONTENT, 0, 0);
            for (const std::string& item : state.ComboBox3Items) {
                SendMessageW(control.handle, CB_ADDSTRING, 0,
                             reinterpret_cast<LPARAM>(Cp932ToWide(item).c_str()));
            }
            PlaceDropDownList(control.handle, spec, form.dpi);  // its list fits the new items
        }
        if (field.index) {
            const std::int32_t index = state.*field.index;
            if (spec.kind == ControlKind::DropDownList) {
                const LRESULT count = SendMessageW(control.handle, CB_GETCOUNT, 0, 0);
                SendMessageW(control.handle, CB_SETCURSEL,
                             index >= 0 && index < count ? static_cast<WPARAM>(index)
                                                         : static_cast<WPARAM>(-1),
                             0);
            } else {
                for (std::size_t i = 0; i < control.radioButtons.size(); ++i) {
                    SendMessageW(control.radioButtons[i], BM_SETCHECK,
                                 static_cast<int>(i) == index ? BST_CHECKED : BST_UNCHECKED, 0);
                }
            }
        } else if (field.text) {
            const std::string& bytes = state.*field.text;
            SetWindowTextW(control.handle, Cp932ToWide(bytes).c_str());
            control.shownText = WindowText(control.handle);
            control.loadedBytes = bytes;
        } else if (field.checked) {
            SendMessageW(control.handle, BM_SETCHECK,
                         state.*field.checked ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }
    form.state = state;
    UpdateRadioTabStops(form);
    UpdateControlsInUse(form);
}

DialogState ReadDialogState(const TForm1& form)
{
    DialogState state = form.state;
    for (const FormControl& control : form.controls) {
        const StateField field = FieldOf(control.spec->name);
        if (field.index) {
            if (control.spec->kind == ControlKind::DropDownList) {
                const LRESULT selected = SendMessageW(control.handle, CB_GETCURSEL, 0, 0);
                state.*field.index = selected == CB_ERR ? -1 : static_cast<std::int32_t>(selected);
            } else {
                state.*field.index = SelectedRadioItem(control);
            }
        } else if (field.text) {
            const std::wstring shown = WindowText(control.handle);
            // Unchanged text keeps its bytes: a byte sequence that does not survive the round
            // trip through UTF-16 is saved as it was loaded.
            state.*field.text = shown == control.shownText ? control.loadedBytes
                                                           : WideToCp932(shown);
        } else if (field.checked) {
            state.*field.checked =
                SendMessageW(control.handle, BM_GETCHECK, 0, 0) == BST_CHECKED;
        }
    }
    return state;
}

void FormShow(TForm1& form)
{
    const DialogState state = OpenToolRun(form.run, ReadDialogState(form));
    ApplyDialogState(form, state);

    RECT outer{};
    GetWindowRect(form.handle, &outer);
    const POINT position = VisibleWindowPosition(state.SavedLeft, state.SavedTop,
                                                 outer.right - outer.left,
                                                 outer.bottom - outer.top);
    SetWindowPos(form.handle, nullptr, position.x, position.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // On a monitor of another DPI the window is laid out for it. Windows that send
    // WM_DPICHANGED for the move have done so already; the others only answer when asked.
    const int dpi = WindowDpi(form.handle);
    if (dpi != form.dpi) {
        form.dpi = dpi;
        LayOutForm(form, true);
    }

    OpenNoticeStrip(form);
    SchedulePicture(form);
}

void ShowForm1(TForm1& form)
{
    ShowWindow(form.handle, SW_SHOW);
    SetForegroundWindow(form.handle);
    if (!IsFocusable(form.handle, GetFocus())) {
        SetFocus(GetNextDlgTabItem(form.handle, nullptr, FALSE));
    }
    UpdateWindow(form.handle);
}

void Button1Click(TForm1& form)
{
    if (!form.run.opened || form.run.closed || form.okRunning) return;
    // OK never waits for a picture: it is stopped, and made anew if the dialog stays open.
    StopPictureForOk(form);
    // An input-method DLL may have changed the x87 precision since the last OK.
    MyFunc::UseExtendedPrecision();

    DialogState current = ReadDialogState(form);
    // The window's top-left in physical pixels, as GetWindowRect gives it to a program that is
    // aware of the monitor's DPI.
    RECT outer{};
    const bool placed = form.handle && GetWindowRect(form.handle, &outer);
    OkHooks hooks;
    hooks.beforeSave = [placed, outer](DialogState& values) {
        if (placed) {
            values.SavedLeft = outer.left;
            values.SavedTop = outer.top;
        }
    };
    Dimension::CommandResult result{.outcome = Dimension::CommandOutcome::OutOfMemory};
    if (!form.handle) {
        hooks.progress = [&form](std::string_view status) { SetStatus(form, status); };
        result = PressOk(form.run, current, hooks);
    } else {
        // The command runs on a thread of its own; its progress texts are posted to this one,
        // in their order, and shown while the window keeps answering.
        const HWND target = form.handle;
        hooks.progress = [target](std::string_view status) {
            auto text = std::make_unique<std::string>(status);
            if (PostMessageW(target, kOkProgressMessage, 0, reinterpret_cast<LPARAM>(text.get()))) {
                text.release();  // the dialog's thread deletes it
            }
        };
        form.okRunning = true;
        form.okFinished = false;
        form.closeQueued = false;
        HWND focus = GetFocus();
        UpdateControlsInUse(form);
        try {
            std::jthread worker([&form, &current, &hooks, &result, target] {
                // A thread of its own has the processor's default precision.
                MyFunc::UseExtendedPrecision();
                result = PressOk(form.run, current, hooks);
                PostMessageW(target, kOkFinishedMessage, 0, 0);
            });
            PumpUntilOkFinished(form);
        } catch (const std::system_error&) {
            // No thread to be had: OK runs here, the window waits for it as it always could.
            if (!form.okFinished) result = PressOk(form.run, current, hooks);
        }
        form.okRunning = false;
        if (!form.handle) return;  // destroyed meanwhile (the owner went): nothing to show
        UpdateControlsInUse(form);
        if (IsFocusable(form.handle, focus)) SetFocus(focus);
    }
    form.state.SavedLeft = current.SavedLeft;
    form.state.SavedTop = current.SavedTop;

    switch (result.outcome) {
    case Dimension::CommandOutcome::Drawn:
        SendMessageW(form.handle, WM_CLOSE, 0, 0);
        break;
    case Dimension::CommandOutcome::Refused:
        // The status strip is blank again: a progress text of an earlier OK no longer holds.
        SetStatus(form, kStatusIdle);
        FocusControl(form, SettingControlName(result.focus));
        break;
    case Dimension::CommandOutcome::TooFewPoints:
        ShowMessage(form, kTooFewPointsMessage, MB_ICONQUESTION);
        break;
    case Dimension::CommandOutcome::CannotDimension:
        // The command has put the buffer and the attribute cache back: a later OK writes what
        // a first one would.
        ShowMessage(form, kCannotDimensionMessage, MB_ICONWARNING);
        break;
    case Dimension::CommandOutcome::OutOfMemory:
        EndForWantOfMemory(form);
        break;
    case Dimension::CommandOutcome::Stopped:  // OK never asks the command to stop
        break;
    }
    // A close asked for while OK ran comes now, after OK's outcome.
    if (form.closeQueued && form.handle && !form.run.closed) {
        form.closeQueued = false;
        SendMessageW(form.handle, WM_CLOSE, 0, 0);
    } else if (form.handle && !form.run.closed) {
        SchedulePicture(form);  // the picture OK stopped, if it was being made
    }
}

void EndForWantOfMemory(TForm1& form)
{
    form.run.outOfMemory = true;
    form.run.writer.buffer = RidEdaza::CommandBuffer{};  // whatever was drawn is not to be trusted
    ShowMessage(form, kOutOfMemoryMessage, MB_ICONWARNING);
    // Closing writes "hq": nothing of the run reaches the host.
    if (form.handle) {
        SendMessageW(form.handle, WM_CLOSE, 0, 0);
    } else {
        FormClose(form);
    }
}

void Button2Click(TForm1& form)
{
    if (form.handle) SendMessageW(form.handle, WM_CLOSE, 0, 0);
}

void FormClose(TForm1& form)
{
    // The picture's thread reads the model: it ends before the model is released.
    EndPictures(form);
    // A command file that cannot be written is deleted; the dialog closes either way.
    CloseToolRun(form.run);
}

namespace {

LRESULT FormMessage(TForm1& form, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

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
        return FormMessage(*form, window, message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        // While OK's thread holds the run, its own outcome reports memory running out.
        if (!form->run.closed && !form->okRunning) EndForWantOfMemory(*form);
        return 0;
    }
}

namespace {

LRESULT FormMessage(TForm1& form, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED) {
            Button1Click(form);
            return 0;
        }
        if (LOWORD(wParam) == IDCANCEL && HIWORD(wParam) == BN_CLICKED) {
            Button2Click(form);
            return 0;
        }
        if (LOWORD(wParam) >= kFirstRadioId && HIWORD(wParam) == BN_CLICKED) {
            UpdateRadioTabStops(form);
            SchedulePicture(form);
            return 0;
        }
        if (LOWORD(wParam) >= kFirstControlId &&
            (HIWORD(wParam) == EN_CHANGE || HIWORD(wParam) == CBN_SELCHANGE ||
             HIWORD(wParam) == BN_CLICKED)) {
            if (HIWORD(wParam) == CBN_SELCHANGE) UpdateControlsInUse(form);
            SchedulePicture(form);  // a value changed: its picture once the user pauses
        }
        break;
    case WM_TIMER:
        if (wParam == kPictureTimer) {
            StartPicture(form);
            return 0;
        }
        if (wParam == kPictureBusyTimer) {
            ShowPictureBusy(form);
            return 0;
        }
        if (wParam == kWindowImageTimer) {
            RepaintPictureWindow(form);
            return 0;
        }
        break;
    case kPictureReadyMessage:
        TakePicture(form);
        return 0;
    case kOkProgressMessage: {
        const std::unique_ptr<std::string> text(reinterpret_cast<std::string*>(lParam));
        if (text && form.okRunning) SetStatus(form, *text);
        return 0;
    }
    case kOkFinishedMessage:
        form.okFinished = true;
        return 0;
    case kDpiChangedMessage: {
        // Moved to a monitor of another DPI (or its scale changed): everything laid out again
        // for it, in the rectangle Windows suggests, which keeps the window under the pointer.
        const int dpi = LOWORD(wParam);
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        if (dpi <= 0 || !suggested) return 0;
        form.dpi = dpi;
        SetWindowPos(window, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        LayOutForm(form, false);
        SchedulePicture(form);  // the strip's picture at its new size
        return 0;
    }
    case DM_GETDEFID:
        // Enter presses OK wherever the focus is, except on Cancel itself.
        return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
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
    case WM_ACTIVATE:
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
    case WM_SYSCOMMAND:
        // The application window carries the task-bar button: minimising goes through it.
        if ((wParam & 0xFFF0) == SC_MINIMIZE && form.owner) {
            SendMessageW(form.owner, WM_SYSCOMMAND, SC_MINIMIZE, 0);
            return 0;
        }
        break;
    case WM_CLOSE:
        if (form.okRunning) {
            form.closeQueued = true;  // after OK's outcome
            return 0;
        }
        FormClose(form);
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        if (form.quitOnClose) PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        form.handle = nullptr;
        form.noticeLink = nullptr;
        form.noticeStrip = nullptr;
        form.stripTip = nullptr;  // owned by the window: gone with it
        form.statusStrip = nullptr;
        form.labels.clear();
        form.controls.clear();
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

}  // namespace Unit1
