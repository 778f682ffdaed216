// Builds TForm1's window from the controls table: every control at its position and size in
// client pixels, in tab order, with its caption or items, typing limit and input-method setting.
#include <windows.h>
#include <imm.h>

#include <algorithm>
#include <string>

#include "dialog/win/form.hpp"
#include "dialog/win/form_window.hpp"
#include "dialog/win/win_text.hpp"

namespace Unit1 {
namespace {

constexpr wchar_t kFormClass[] = L"TForm1";
constexpr wchar_t kNoticeClass[] = L"TScrollBox";

constexpr DWORD kFormStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPSIBLINGS;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;

// A drop-down list is created with the height of its opened list; the closed field is then
// brought to the table's height.
constexpr int kDropDownListHeight = 240;

HFONT MakeFont(int pixelHeight, bool underline = false)
{
    const std::wstring face = Cp932ToWide(kFontName);
    // Cell height in pixels (positive lfHeight): the dialog's font has no internal leading, so
    // this is also its character height, and a substitute font never grows past the line.
    // Shift-JIS character set: where the font is missing, Windows picks a Japanese font.
    return CreateFontW(pixelHeight, 0, 0, 0, FW_NORMAL, FALSE, underline ? TRUE : FALSE, FALSE,
                       SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       FIXED_PITCH | FF_MODERN, face.c_str());
}

struct TextSize {
    int width = 0;
    int height = 0;
};

TextSize MeasureText(HWND window, HFONT font, const std::wstring& text)
{
    TextSize size;
    HDC dc = GetDC(window);
    if (!dc) return size;
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    size.height = metrics.tmHeight;
    SIZE extent{};
    if (!text.empty() &&
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent)) {
        size.width = extent.cx;
    }
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return size;
}

HWND MakeChild(HWND parent, DWORD exStyle, const wchar_t* windowClass, const std::wstring& text,
               DWORD style, int left, int top, int width, int height, int id, HFONT font)
{
    HWND child = CreateWindowExW(exStyle, windowClass, text.c_str(),
                                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, left, top, width,
                                 height, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent,
                                                                               GWLP_HINSTANCE)),
                                 nullptr);
    if (child && font) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

int WindowHeight(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return r.bottom - r.top;
}

// Brings a closed drop-down list to the given height through its selection field's height.
// Each step sets the field from the height measured after the last one: what the field height
// includes differs between systems, the closed height is what counts.
void FitClosedHeight(HWND combo, int height)
{
    LRESULT field = SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    if (field == CB_ERR) return;
    for (int step = 0; step < 3 && WindowHeight(combo) != height; ++step) {
        field += height - WindowHeight(combo);
        if (field <= 0) return;
        SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    }
}

// Group boxes hold their items as child windows; they pass the items' notifications and colour
// requests on to the form and paint their inside white.
LRESULT CALLBACK ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
        return SendMessageW(GetParent(window), message, wParam, lParam);
    case WM_ERASEBKGND: {
        RECT client{};
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client,
                 reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        return 1;
    }
    default:
        break;
    }
    return CallWindowProcW(original, window, message, wParam, lParam);
}

// The read-only notice text keeps Enter, Esc and Tab for the dialog: a click into it must not
// take OK and Cancel away from the keyboard.
LRESULT CALLBACK MemoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_GETDLGCODE) {
        const LRESULT code = CallWindowProcW(original, window, message, wParam, lParam);
        return code & ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB);
    }
    return CallWindowProcW(original, window, message, wParam, lParam);
}

void Subclass(HWND window, WNDPROC procedure)
{
    const LONG_PTR original = GetWindowLongPtrW(window, GWLP_WNDPROC);
    SetWindowLongPtrW(window, GWLP_USERDATA, original);
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
}

bool RegisterClasses(HINSTANCE instance)
{
    const auto white = reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    return RegisterWindowClass(instance, kFormClass, Form1WindowProc, CS_DBLCLKS, white) &&
           RegisterWindowClass(instance, kNoticeClass, PictureStripProc, 0, white) &&
           RegisterPictureClasses(instance);
}

// Radio items share the inside of their group evenly, in columns filled top to bottom, below
// the caption's line.
RECT RadioItemRect(const ControlSpec& spec, std::size_t item, int textHeight)
{
    const int columns = spec.columns > 0 ? spec.columns : 1;
    const int count = static_cast<int>(spec.items.size());
    const int perColumn = (count + columns - 1) / columns;
    const int index = static_cast<int>(item);
    const int columnWidth = (spec.width - 10) / columns;
    const int space = spec.height - textHeight - 5;
    const int rowHeight = perColumn > 0 ? space / perColumn : space;
    const int topMargin = textHeight + 1 + (perColumn > 0 ? (space % perColumn) / 2 : 0);
    const int left = (index / perColumn) * columnWidth + 8;
    const int top = (index % perColumn) * rowHeight + topMargin;
    return RECT{left, top, left + columnWidth - 8, top + rowHeight};
}

bool BuildControl(TForm1& form, const ControlSpec& spec, int id, int& nextRadioId)
{
    HWND parent = form.handle;
    if (!spec.parent.empty()) {
        parent = ControlWindow(form, spec.parent);
        if (!parent) return false;
    }
    const std::wstring caption = Cp932ToWide(spec.caption);
    const DWORD tabStop = spec.tabStop ? WS_TABSTOP : 0;
    FormControl control;
    control.spec = &spec;
    HWND& handle = control.handle;

    switch (spec.kind) {
    case ControlKind::DropDownList:
        handle = MakeChild(parent, 0, L"COMBOBOX", L"",
                           CBS_DROPDOWNLIST | WS_VSCROLL | WS_GROUP | tabStop, spec.left, spec.top,
                           spec.width, kDropDownListHeight, id, form.font);
        if (!handle) return false;
        for (std::string_view item : spec.items) {
            SendMessageW(handle, CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(Cp932ToWide(item).c_str()));
        }
        if (spec.height > 0) FitClosedHeight(handle, spec.height);
        break;
    case ControlKind::Edit:
        handle = MakeChild(parent, WS_EX_CLIENTEDGE, L"EDIT", L"",
                           ES_AUTOHSCROLL | ES_LEFT | WS_GROUP | tabStop, spec.left, spec.top,
                           spec.width, spec.height, id, form.font);
        if (!handle) return false;
        if (spec.maxLength > 0) {
            SendMessageW(handle, EM_LIMITTEXT, static_cast<WPARAM>(spec.maxLength), 0);
        }
        break;
    case ControlKind::RadioGroup:
    case ControlKind::GroupBox: {
        handle = MakeChild(parent, WS_EX_CONTROLPARENT, L"BUTTON", caption,
                           BS_GROUPBOX | WS_GROUP, spec.left, spec.top, spec.width, spec.height, id,
                           form.font);
        if (!handle) return false;
        Subclass(handle, ContainerProc);
        const int textHeight = MeasureText(handle, form.font, L"").height;
        for (std::size_t i = 0; i < spec.items.size(); ++i) {
            const RECT r = RadioItemRect(spec, i, textHeight);
            HWND item = MakeChild(handle, 0, L"BUTTON", Cp932ToWide(spec.items[i]),
                                  BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0), r.left, r.top,
                                  r.right - r.left, r.bottom - r.top, nextRadioId++, form.font);
            if (!item) return false;
            control.radioButtons.push_back(item);
        }
        break;
    }
    case ControlKind::CheckBox:
        handle = MakeChild(parent, 0, L"BUTTON", caption, BS_AUTOCHECKBOX | WS_GROUP | tabStop,
                           spec.left, spec.top, spec.width, spec.height, id, form.font);
        break;
    case ControlKind::Button:
        handle = MakeChild(parent, 0, L"BUTTON", caption,
                           (spec.isDefaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_GROUP |
                               tabStop,
                           spec.left, spec.top, spec.width, spec.height,
                           spec.isDefaultButton ? IDOK : (spec.isCancelButton ? IDCANCEL : id),
                           form.font);
        break;
    case ControlKind::Memo: {
        std::wstring text;
        for (std::string_view line : NoticeLines()) {
            if (!text.empty()) text += L"\r\n";
            text += Cp932ToWide(line);
        }
        // ES_AUTOHSCROLL in a multi-line field: lines are never wrapped.
        handle = MakeChild(parent, WS_EX_CLIENTEDGE, L"EDIT", text,
                           ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL |
                               WS_VSCROLL | tabStop,
                           spec.left, spec.top, spec.width, spec.height, id, form.font);
        if (!handle) return false;
        // The longest notice lines are twelve full-width characters: without the default
        // margins they fit beside the scroll bar instead of being cut off.
        SendMessageW(handle, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(0, 0));
        Subclass(handle, MemoProc);
        break;
    }
    case ControlKind::NoticePanel:
        handle = CreateWindowExW(WS_EX_CLIENTEDGE, kNoticeClass, L"",
                                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                 spec.left, spec.top, spec.width, spec.height, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent,
                                                                               GWLP_HINSTANCE)),
                                 nullptr);
        form.noticeStrip = handle;
        break;
    }
    if (!handle) return false;
    if (spec.imeOff) ImmAssociateContextEx(handle, nullptr, 0);
    form.controls.push_back(std::move(control));
    return true;
}

bool BuildLabels(TForm1& form)
{
    for (const LabelSpec& label : DialogLabels()) {
        HFONT font = label.fontHeight == kFontHeight ? form.font : form.smallFont;
        const std::wstring caption = Cp932ToWide(label.caption);
        // Labels take the size of their text, as an auto-sized label does.
        const TextSize size = MeasureText(form.handle, font, caption);
        HWND handle = MakeChild(form.handle, 0, L"STATIC", caption, SS_LEFT | SS_NOPREFIX,
                                label.left, label.top, size.width, size.height, -1, font);
        if (!handle) return false;
        form.labels.push_back(handle);
    }
    form.statusStrip = MakeChild(form.handle, 0, L"STATIC", Cp932ToWide(kStatusIdle),
                                 SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX, kStatusLeft, kStatusTop,
                                 kStatusWidth, kStatusHeight, kStatusId, form.font);
    return form.statusStrip != nullptr;
}

// Makes the client area exactly the table's size, whatever the caption and border measure.
void FitClientArea(HWND window)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        RECT client{};
        RECT outer{};
        GetClientRect(window, &client);
        GetWindowRect(window, &outer);
        const int dx = kClientWidth - (client.right - client.left);
        const int dy = kClientHeight - (client.bottom - client.top);
        if (dx == 0 && dy == 0) return;
        SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left + dx,
                     outer.bottom - outer.top + dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

}  // namespace

bool RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, UINT style,
                         HBRUSH background)
{
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(instance, name, &existing)) return true;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    return RegisterClassExW(&windowClass) != 0;
}

bool IsWebAddress(std::wstring_view address)
{
    auto startsWith = [&](std::wstring_view prefix) {
        if (address.size() <= prefix.size()) return false;
        for (std::size_t i = 0; i < prefix.size(); ++i) {
            wchar_t c = address[i];
            if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
            if (c != prefix[i]) return false;
        }
        return true;
    };
    return startsWith(L"http://") || startsWith(L"https://");
}

bool CreateForm1(TForm1& form, HINSTANCE instance, HWND owner, ToolFiles files,
                 Dimension::HostArguments arguments, std::wstring noticeUrl)
{
    form.run.files = std::move(files);
    form.run.arguments = std::move(arguments);
    form.noticeUrl = std::move(noticeUrl);
    form.owner = owner;
    if (!RegisterClasses(instance)) return false;

    form.font = MakeFont(kFontHeight);
    form.smallFont = MakeFont(11);
    form.linkFont = MakeFont(kFontHeight, true);
    form.whiteBrush = reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    form.memoBrush = CreateSolidBrush(ColourOf(kMemoBackground));
    form.statusBrush = CreateSolidBrush(ColourOf(kStatusBackground));

    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, kFormStyle, FALSE, kFormExStyle);
    // The title says which way the run will measure.
    const std::wstring caption = Cp932ToWide(
        form.run.arguments.direction == Dimension::RunDirection::Vertical ? kVerticalWindowCaption
                                                                          : kWindowCaption);
    form.handle = CreateWindowExW(kFormExStyle, kFormClass, caption.c_str(), kFormStyle, 100, 100,
                                  frame.right - frame.left, frame.bottom - frame.top, owner,
                                  nullptr, instance, &form);
    if (!form.handle) return false;
    FitClientArea(form.handle);

    int id = kFirstControlId;
    int nextRadioId = kFirstRadioId;
    form.controls.reserve(DialogControls().size());
    for (const ControlSpec& spec : DialogControls()) {
        if (!BuildControl(form, spec, id++, nextRadioId)) return false;
    }
    if (!BuildLabels(form)) return false;
    ApplyDialogState(form, DefaultDialogState());
    return true;
}

void DestroyForm1(TForm1& form)
{
    // The picture's thread reads the form and the model: it ends first.
    EndPictures(form);
    if (form.handle) {
        form.quitOnClose = false;
        DestroyWindow(form.handle);
    }
    for (HFONT* font : {&form.font, &form.smallFont, &form.linkFont}) {
        if (*font) DeleteObject(*font);
        *font = nullptr;
    }
    for (HBRUSH* brush : {&form.memoBrush, &form.statusBrush}) {
        if (*brush) DeleteObject(*brush);
        *brush = nullptr;
    }
}

// Shows the notice page's address in the strip; with no address (or one that is not a web
// address) the strip stays blank.
void OpenNoticeStrip(TForm1& form)
{
    if (!form.noticeStrip || form.noticeLink || !IsWebAddress(form.noticeUrl)) return;
    RECT client{};
    GetClientRect(form.noticeStrip, &client);
    const TextSize size = MeasureText(form.noticeStrip, form.linkFont, form.noticeUrl);
    // In the bottom right-hand corner, so that the picture of the run keeps the strip.
    const int width = std::min<int>(size.width, client.right / 2);
    form.noticeLink = MakeChild(form.noticeStrip, 0, L"STATIC", form.noticeUrl,
                                SS_LEFT | SS_NOPREFIX | SS_NOTIFY | SS_ENDELLIPSIS,
                                client.right - width - 4, client.bottom - size.height - 2, width,
                                size.height, 1, form.linkFont);
}

}  // namespace Unit1
