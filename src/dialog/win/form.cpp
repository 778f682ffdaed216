// TForm1's handlers (show, OK and its outcome, Cancel, close) and the mirroring of DialogState
// into the controls. The window procedure is in form_messages.cpp.
#include "dialog/win/form.hpp"

#include <windows.h>

#include <memory>
#include <string>
#include <utility>

#include "common/fpu.hpp"
#include "dialog/win/form_window.hpp"
#include "dialog/win/win_text.hpp"
#include "dimension/command.hpp"

namespace Unit1 {
namespace {

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

// Selects a list's item; an index that is no item leaves the list without a selection.
void SelectListItem(HWND list, std::int32_t index)
{
    const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    SendMessageW(list, CB_SETCURSEL,
                 index >= 0 && index < count ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1),
                 0);
}

// One control's value as the control shows it, into `state`.
void ReadControl(const FormControl& control, DialogState& state)
{
    const StateField& field = control.spec->value.state;
    if (field.index) {
        if (control.spec->kind == ControlKind::DropDownList) {
            const LRESULT selected = SendMessageW(control.handle, CB_GETCURSEL, 0, 0);
            state.*field.index = selected == CB_ERR ? -1 : static_cast<std::int32_t>(selected);
        } else {
            state.*field.index = SelectedRadioItem(control);
        }
    } else if (field.text) {
        const std::wstring shown = WindowText(control.handle);
        // Unchanged text keeps its bytes: a byte sequence that does not survive the round trip
        // through UTF-16 is saved as it was loaded.
        state.*field.text = shown == control.shownText ? control.loadedBytes : WideToCp932(shown);
    } else if (field.checked) {
        state.*field.checked = SendMessageW(control.handle, BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
}

}  // namespace

bool IsFocusable(HWND form, HWND window)
{
    return window && IsWindow(window) && IsChild(form, window) && IsWindowVisible(window) &&
           IsWindowEnabled(window);
}

void SetStatus(TForm1& form, std::string_view status)
{
    if (!form.statusStrip) return;
    SetWindowTextW(form.statusStrip, Cp932ToWide(status).c_str());
    UpdateWindow(form.statusStrip);
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
// another: while OK runs nothing but Cancel (which then closes the dialog after OK's outcome, as
// Esc and the close box do); the range selection's group only in a range selection (it has no
// effect on indicated points); what the chosen arrangement does not use is greyed out. The
// values stay as they are and are saved.
void UpdateControlsInUse(TForm1& form)
{
    const HWND focus = GetFocus();  // before greying: a greyed control loses it
    const bool okRuns = form.ok.has_value();
    const bool rangeMode =
        form.run && form.run->request.source == Dimension::PointSource::RangeSelection;
    for (const FormControl& control : form.controls) {
        const bool inRangeGroup =
            control.spec->name == "GroupBox1" || control.spec->parent == "GroupBox1";
        const bool enabled =
            okRuns ? control.spec->isCancelButton
                      : ControlInUse(form.state, *control.spec) && (rangeMode || !inRangeGroup);
        EnableWindow(control.handle, enabled ? TRUE : FALSE);
        for (HWND item : control.radioButtons) EnableWindow(item, enabled ? TRUE : FALSE);
    }
    // A control greyed out under the keyboard focus leaves the dialog without one, and keys
    // (Esc among them) would no longer reach it: the focus moves on to the next control that
    // takes input (Cancel, while OK runs).
    if (focus && form.handle && IsChild(form.handle, focus) && !IsWindowEnabled(focus)) {
        HWND next = GetNextDlgTabItem(form.handle, focus, FALSE);
        SetFocus(next && IsWindowEnabled(next) ? next : form.handle);
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
                SelectListItem(control.handle, index);
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
    for (const FormControl& control : form.controls) ReadControl(control, state);
    return state;
}

void TakeControlValue(TForm1& form, const FormControl& control)
{
    ReadControl(control, form.state);
    UpdateRadioTabStops(form);
    UpdateControlsInUse(form);
    SchedulePictureOfRun(form);  // a value changed: its picture once the user pauses
}

void ShowStateValue(TForm1& form, const FormControl& control)
{
    const StateField& field = control.spec->value.state;
    if (!field.index || control.spec->kind != ControlKind::DropDownList) return;
    SelectListItem(control.handle, form.state.*field.index);
    // CB_SETCURSEL notifies nobody: the greying and the picture follow here, as after a choice.
    UpdateControlsInUse(form);
    SchedulePictureOfRun(form);
}

FormControl* ControlOfWindow(TForm1& form, HWND window)
{
    if (!window) return nullptr;
    for (FormControl& control : form.controls) {
        if (control.handle == window) return &control;
        for (HWND item : control.radioButtons) {
            if (item == window) return &control;
        }
    }
    return nullptr;
}

void FormShow(TForm1& form)
{
    if (!form.run) return;
    const DialogState state = OpenToolRun(*form.run, form.state);
    ApplyDialogState(form, state);

    // Where the user put it, as far as the work area of its monitor allows; laid out for that
    // monitor's DPI.
    PlaceFormOnScreen(form, POINT{state.SavedLeft, state.SavedTop});
    OpenNoticeStrip(form);
    SchedulePictureOfRun(form);
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

namespace {

// OK's progress texts (Shift-JIS), posted to the window's thread in their order. A text that
// cannot be posted (the window has gone) is freed at once.
OkHooks PostedProgressHooks(HWND target)
{
    OkHooks hooks;
    hooks.progress = [target](std::string_view status) {
        auto text = std::make_unique<std::string>(status);
        if (PostMessageW(target, kOkProgressMessage, 0, reinterpret_cast<LPARAM>(text.get()))) {
            text.release();  // the window's thread deletes it
        }
    };
    return hooks;
}

// The progress texts OK's thread posted before it ended are still queued: shown now, in their
// order (unless a close was heard, which LabelA1 then keeps saying), or only freed.
void TakeQueuedProgress(TForm1& form, bool show)
{
    if (!form.handle) return;
    MSG message{};
    while (PeekMessageW(&message, form.handle, kOkProgressMessage, kOkProgressMessage,
                        PM_REMOVE)) {
        const std::unique_ptr<std::string> text(reinterpret_cast<std::string*>(message.lParam));
        if (text && show) SetStatus(form, *text);
    }
}

// What OK saved: the window's position, and a list it gave its first item (an unused list
// without a selection), which the dialog shows from now on.
void TakeSavedValues(TForm1& form, const DialogState& values)
{
    form.state.SavedLeft = values.SavedLeft;
    form.state.SavedTop = values.SavedTop;
    for (const FormControl& control : form.controls) {
        const StateField& field = control.spec->value.state;
        if (!field.index || control.spec->kind != ControlKind::DropDownList) continue;
        if (form.state.*field.index == values.*field.index) continue;
        form.state.*field.index = values.*field.index;
        SelectListItem(control.handle, values.*field.index);
    }
}

void ReactToOutcome(TForm1& form, const DialogState& values,
                    const Dimension::CommandResult& result)
{
    TakeSavedValues(form, values);
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
}

// Nothing of the run is left to the window's thread: the run goes to OK's thread.
void RunOkHere(TForm1& form, OkJob& job)
{
    job.hooks.progress = [&form](std::string_view status) { SetStatus(form, status); };
    const Dimension::CommandResult result = PressOk(*form.run, job.values, job.hooks);
    ReactToOutcome(form, job.values, result);
    if (form.handle && form.run && !form.run->closed) SchedulePictureOfRun(form);
}

}  // namespace

void Button1Click(TForm1& form)
{
    // While OK runs its thread holds the run: a second OK (Enter, Alt+Y) is ignored on purpose.
    if (!form.run || !form.run->opened || form.run->closed || !form.handle) return;
    // OK never waits for a picture: it is stopped, and made anew if the dialog stays open.
    StopPictureForOk(form.picture);
    // An input-method DLL may have changed the x87 precision since the last OK.
    MyFunc::UseExtendedPrecision();

    OkJob job;
    job.values = form.state;  // what the strip and the greying show
    job.hooks = PostedProgressHooks(form.handle);
    // The window's top-left in physical pixels, as GetWindowRect gives it to a program that is
    // aware of the monitor's DPI.
    RECT outer{};
    const bool placed = GetWindowRect(form.handle, &outer);
    job.hooks.beforeSave = [placed, outer](DialogState& values) {
        if (placed) {
            values.SavedLeft = outer.left;
            values.SavedTop = outer.top;
        }
    };
    job.begins = form.okThreadBegins;

    // The run goes to OK's thread: from here until FinishOk the window's thread has none.
    job.run = std::move(*form.run);
    form.run.reset();
    form.ok.emplace();
    form.ok->focus = GetFocus();
    if (!form.ok->thread.Start(job)) {
        // No thread to be had: OK runs here, the window waits for it as it always could.
        form.ok.reset();
        form.run = std::move(job.run);
        RunOkHere(form, job);
        return;
    }
    UpdateControlsInUse(form);
}

HANDLE OkThreadHandle(const TForm1& form)
{
    return form.ok ? form.ok->thread.Handle() : nullptr;
}

void FinishOk(TForm1& form)
{
    if (!form.ok) return;
    OkOutcome outcome = form.ok->thread.Join();
    const bool closeHeard = form.ok->closeHeard;
    const HWND focus = form.ok->focus;
    form.run = std::move(outcome.run);
    form.ok.reset();
    TakeQueuedProgress(form, !closeHeard);
    if (!form.handle) return;  // destroyed meanwhile: whatever ends the program closes the run
    UpdateControlsInUse(form);
    if (IsFocusable(form.handle, focus)) SetFocus(focus);
    ReactToOutcome(form, outcome.values, outcome.result);
    if (!form.handle || !form.run || form.run->closed) return;
    if (closeHeard) {
        SendMessageW(form.handle, WM_CLOSE, 0, 0);  // the close heard while OK ran
    } else {
        SchedulePictureOfRun(form);  // the picture OK stopped, if it was being made
    }
}

void TakeBackRunFromOk(TForm1& form)
{
    if (!form.ok) return;
    OkOutcome outcome = form.ok->thread.Join();
    form.run = std::move(outcome.run);
    form.ok.reset();
    TakeQueuedProgress(form, false);
}

void EndForWantOfMemory(TForm1& form)
{
    if (!form.run) return;
    form.run->outOfMemory = true;
    form.run->writer.buffer = RidEdaza::CommandBuffer{};  // whatever was drawn is not to be trusted
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
    // What OK's thread drew is written too: it ends first, and hands the run back.
    TakeBackRunFromOk(form);
    // The picture's thread reads the model: it ends before the model is released.
    EndPictures(form.picture);
    // A command file that cannot be written is deleted; the dialog closes either way.
    if (form.run) CloseToolRun(*form.run);
}

void SchedulePictureOfRun(TForm1& form)
{
    if (!form.handle || (form.run && (!form.run->opened || form.run->closed))) return;
    SchedulePicture(form.picture);
}

void StartPictureOfRun(TForm1& form)
{
    if (form.handle) KillTimer(form.handle, kPictureTimer);
    if (!form.run) {
        // OK's thread holds the run: the picture waits for OK's outcome.
        form.picture.pending = true;
        return;
    }
    const ToolRun& run = *form.run;
    if (!run.opened || run.closed || run.outOfMemory || !run.model) return;
    StartPicture(form.picture, PictureInput{run.model, run.writer, run.request, form.state});
}

}  // namespace Unit1
