// Builds TForm1's window from the controls table: every control in tab order, with its caption or
// items, typing limit and input-method setting, and lays it out at the window's DPI: each
// position and size of the table (the 96-DPI design) scaled, the fonts made for that DPI.
#include <windows.h>
#include <commctrl.h>
#include <imm.h>

#include <algorithm>
#include <optional>
#include <string>

#include "dialog/win/display_scale.hpp"
#include "dialog/window_place.hpp"
#include "dialog/win/form.hpp"
#include "dialog/win/form_window.hpp"
#include "dialog/win/win_text.hpp"

namespace Unit1 {
namespace {

constexpr wchar_t kFormClass[] = L"TForm1";
constexpr wchar_t kNoticeClass[] = L"TScrollBox";

constexpr DWORD kFormStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPSIBLINGS;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;

// A drop-down list is given the height of its opened list; the closed field is then brought to
// the table's height. The list shows every item where it can (all twelve end markers), and is
// never shorter than the design's 240 pixels.
constexpr int kDropDownListHeight = 240;
// The one-line texts' font, and Label15's smaller one, in design pixels.
constexpr int kSmallFontHeight = 11;

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

// The title says which way the run will measure.
std::string_view WindowCaption(Dimension::RequestedRuns runs)
{
    switch (runs) {
    case Dimension::RequestedRuns::Horizontal:
        return kWindowCaption;
    case Dimension::RequestedRuns::Vertical:
        return kVerticalWindowCaption;
    case Dimension::RequestedRuns::Both:
        return kBothWindowCaption;
    }
    return kWindowCaption;
}

bool RegisterClasses(HINSTANCE instance)
{
    const auto white = reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    return RegisterWindowClass(instance, kFormClass, Form1WindowProc, CS_DBLCLKS, white) &&
           RegisterWindowClass(instance, kNoticeClass, PictureStripProc, 0, white) &&
           RegisterPictureClasses(instance);
}

// The height of a check box or radio item: its box as the system draws it at this DPI, or its
// text, whichever is taller, with a pixel above and below for the focus frame.
int ButtonItemHeight(int textHeight, int dpi)
{
    return std::max(SystemMetricAt(SM_CYMENUCHECK, dpi), textHeight) + 2;
}

// Radio items share the inside of their group evenly, in columns filled top to bottom, below
// the caption's line; each stands in the middle of its row. `width` and `height` are the
// group's in pixels at this DPI.
RECT RadioItemRect(const ControlSpec& spec, std::size_t item, int width, int height,
                   int textHeight, int dpi)
{
    const int columns = spec.columns > 0 ? spec.columns : 1;
    const int count = static_cast<int>(spec.items.size());
    const int perColumn = (count + columns - 1) / columns;
    const int index = static_cast<int>(item);
    const int inset = Scaled(8, dpi);
    const int columnWidth = (width - Scaled(10, dpi)) / columns;
    const int space = height - textHeight - Scaled(5, dpi);
    const int rowHeight = perColumn > 0 ? space / perColumn : space;
    const int topMargin = textHeight + 1 + (perColumn > 0 ? (space % perColumn) / 2 : 0);
    const int left = (index / perColumn) * columnWidth + inset;
    const int rowTop = (index % perColumn) * rowHeight + topMargin;
    const int itemHeight = std::min(rowHeight, ButtonItemHeight(textHeight, dpi));
    const int top = rowTop + (rowHeight - itemHeight) / 2;
    return RECT{left, top, left + columnWidth - inset, top + itemHeight};
}

// The strip's tooltip: the hand cursor alone does not say what a click does, nor that F2 does
// the same from anywhere in the dialog.
void AddStripTip(TForm1& form)
{
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    form.stripTip = CreateWindowExW(
        WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form.handle, nullptr,
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(form.handle, GWLP_HINSTANCE)), nullptr);
    if (!form.stripTip) return;  // the strip works without it
    std::wstring text = Cp932ToWide(kStripTip);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = form.handle;
    tool.uId = reinterpret_cast<UINT_PTR>(form.noticeStrip);
    tool.lpszText = text.data();
    SendMessageW(form.stripTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
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
                           CBS_DROPDOWNLIST | WS_VSCROLL | WS_GROUP | tabStop, 0, 0, 0,
                           kDropDownListHeight, id, form.font);
        if (!handle) return false;
        for (std::string_view item : spec.items) {
            SendMessageW(handle, CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(Cp932ToWide(item).c_str()));
        }
        break;
    case ControlKind::Edit:
        handle = MakeChild(parent, WS_EX_CLIENTEDGE, L"EDIT", L"",
                           ES_AUTOHSCROLL | ES_LEFT | WS_GROUP | tabStop, 0, 0, 0, 0, id,
                           form.font);
        if (!handle) return false;
        if (spec.maxLength > 0) {
            SendMessageW(handle, EM_LIMITTEXT, static_cast<WPARAM>(spec.maxLength), 0);
        }
        break;
    case ControlKind::RadioGroup:
    case ControlKind::GroupBox: {
        handle = MakeChild(parent, WS_EX_CONTROLPARENT, L"BUTTON", caption,
                           BS_GROUPBOX | WS_GROUP, 0, 0, 0, 0, id, form.font);
        if (!handle) return false;
        Subclass(handle, ContainerProc);
        for (std::size_t i = 0; i < spec.items.size(); ++i) {
            HWND item = MakeChild(handle, 0, L"BUTTON", Cp932ToWide(spec.items[i]),
                                  BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0), 0, 0, 0, 0,
                                  nextRadioId++, form.font);
            if (!item) return false;
            control.radioButtons.push_back(item);
        }
        break;
    }
    case ControlKind::CheckBox:
        handle = MakeChild(parent, 0, L"BUTTON", caption, BS_AUTOCHECKBOX | WS_GROUP | tabStop, 0,
                           0, 0, 0, id, form.font);
        break;
    case ControlKind::Button:
        handle = MakeChild(parent, 0, L"BUTTON", caption,
                           (spec.isDefaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_GROUP |
                               tabStop,
                           0, 0, 0, 0,
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
                           0, 0, 0, 0, id, form.font);
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
                                 0, 0, 0, 0, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent,
                                                                               GWLP_HINSTANCE)),
                                 nullptr);
        form.noticeStrip = handle;
        // The strip's procedure finds its picture here.
        SetWindowLongPtrW(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&form.picture));
        AddStripTip(form);
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
        HWND handle = MakeChild(form.handle, 0, L"STATIC", Cp932ToWide(label.caption),
                                SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, -1, font);
        if (!handle) return false;
        form.labels.push_back(handle);
    }
    form.statusStrip = MakeChild(form.handle, 0, L"STATIC", Cp932ToWide(kStatusIdle),
                                 SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX, 0, 0, 0, 0, kStatusId,
                                 form.font);
    return form.statusStrip != nullptr;
}

// Makes the client area exactly the table's size at this DPI, whatever the caption and border
// measure.
void FitClientArea(HWND window, int dpi)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        RECT client{};
        RECT outer{};
        GetClientRect(window, &client);
        GetWindowRect(window, &outer);
        const int dx = Scaled(kClientWidth, dpi) - (client.right - client.left);
        const int dy = Scaled(kClientHeight, dpi) - (client.bottom - client.top);
        if (dx == 0 && dy == 0) return;
        SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left + dx,
                     outer.bottom - outer.top + dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void SetFont(HWND window, HFONT font)
{
    if (window) SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void Place(HWND window, const RECT& r)
{
    SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// The strip reaches from its place in the design to the bottom of the client area: the window is
// made shorter on a short work area, and the strip is what gives way. (A minimised window has no
// client area to go by: the strip keeps its design height.)
RECT StripRect(const TForm1& form, const ControlSpec& spec)
{
    RECT r = ScaledRect(spec.left, spec.top, spec.width, spec.height, form.dpi);
    RECT client{};
    if (form.handle && !IsIconic(form.handle) && GetClientRect(form.handle, &client) &&
        client.bottom > r.top) {
        r.bottom = client.bottom;
    }
    return r;
}

SIZE ClientSize(HWND window)
{
    RECT client{};
    if (!window) return SIZE{};
    GetClientRect(window, &client);
    return SIZE{client.right, client.bottom};
}

// The window's outer size with the strip at its full height at this DPI: the frame it has now
// around the design's client area.
SIZE FullWindowSize(HWND window, int dpi)
{
    RECT outer{};
    GetWindowRect(window, &outer);
    const SIZE client = ClientSize(window);
    return SIZE{outer.right - outer.left - client.cx + Scaled(kClientWidth, dpi),
                outer.bottom - outer.top - client.cy + Scaled(kClientHeight, dpi)};
}

// How many pixels the strip can give up at this DPI: from its full height down to its least.
int StripGive(int dpi)
{
    const std::int32_t least = kClientHeight - kStripFullHeight + kStripLeastHeight;
    return Scaled(kClientHeight, dpi) - Scaled(least, dpi);
}

// The work area of the monitor nearest a window of this size at this top-left (the monitor it is
// on, if any part of it is on one); none when the system says nothing.
std::optional<ScreenRect> WorkAreaNear(POINT topLeft, SIZE size)
{
    const ScreenRect at = WindowRectAt(topLeft.x, topLeft.y, ScreenSize{size.cx, size.cy});
    const RECT window{at.left, at.top, at.right, at.bottom};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    HMONITOR nearest = MonitorFromRect(&window, MONITOR_DEFAULTTONEAREST);
    if (!nearest || !GetMonitorInfoW(nearest, &monitor)) return std::nullopt;
    const RECT& work = monitor.rcWork;
    return ScreenRect{work.left, work.top, work.right, work.bottom};
}

// One control of the table at the form's DPI, with the form's font.
void PlaceControl(const TForm1& form, const FormControl& control)
{
    const ControlSpec& spec = *control.spec;
    const int dpi = form.dpi;
    SetFont(control.handle, form.font);
    RECT r = ScaledRect(spec.left, spec.top, spec.width, spec.height, dpi);
    switch (spec.kind) {
    case ControlKind::NoticePanel:
        r = StripRect(form, spec);
        break;
    case ControlKind::DropDownList:
        PlaceDropDownList(control.handle, spec, dpi);
        return;
    case ControlKind::CheckBox: {
        // The box is as large as the system draws it at this DPI; the control keeps the middle
        // of its place in the design.
        const int textHeight = MeasureText(control.handle, form.font, L"").height;
        const int height = ButtonItemHeight(textHeight, dpi);
        r.top += (r.bottom - r.top - height) / 2;
        r.bottom = r.top + height;
        break;
    }
    case ControlKind::RadioGroup: {
        const int textHeight = MeasureText(control.handle, form.font, L"").height;
        for (std::size_t i = 0; i < control.radioButtons.size(); ++i) {
            SetFont(control.radioButtons[i], form.font);
            Place(control.radioButtons[i],
                  RadioItemRect(spec, i, r.right - r.left, r.bottom - r.top, textHeight, dpi));
        }
        break;
    }
    default:
        break;
    }
    Place(control.handle, r);
}

}  // namespace

void PlaceDropDownList(HWND combo, const ControlSpec& spec, int dpi)
{
    const RECT r = ScaledRect(spec.left, spec.top, spec.width, spec.height, dpi);
    const int closed = r.bottom - r.top;
    int dropped = Scaled(kDropDownListHeight, dpi);
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    const LRESULT item = SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0);
    if (count > 0 && item > 0 && count < 100) {
        // The list's border and the room Windows keeps around the items.
        const int list = static_cast<int>(count * item) + 2 * SystemMetricAt(SM_CYEDGE, dpi) + 2;
        dropped = std::max(dropped, closed + list);
    }
    SetWindowPos(combo, nullptr, r.left, r.top, r.right - r.left, dropped,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (spec.height > 0) FitClosedHeight(combo, closed);
}

void LayOutForm(TForm1& form, bool fitWindow)
{
    const int dpi = form.dpi;
    HFONT font = MakeFont(Scaled(kFontHeight, dpi));
    HFONT smallFont = MakeFont(Scaled(kSmallFontHeight, dpi));
    HFONT linkFont = MakeFont(Scaled(kFontHeight, dpi), true);
    if (!font || !smallFont || !linkFont) {
        // No fonts to be had: the controls keep the ones they have.
        for (HFONT made : {font, smallFont, linkFont}) {
            if (made) DeleteObject(made);
        }
    } else {
        std::swap(form.font, font);
        std::swap(form.smallFont, smallFont);
        std::swap(form.linkFont, linkFont);
    }
    if (fitWindow) FitClientArea(form.handle, dpi);
    for (const FormControl& control : form.controls) PlaceControl(form, control);
    const auto labels = DialogLabels();
    for (std::size_t i = 0; i < labels.size() && i < form.labels.size(); ++i) {
        HFONT labelFont = labels[i].fontHeight == kFontHeight ? form.font : form.smallFont;
        SetFont(form.labels[i], labelFont);
        // Labels take the size of their text, as an auto-sized label does.
        const TextSize size =
            MeasureText(form.labels[i], labelFont, Cp932ToWide(labels[i].caption));
        const int left = Scaled(labels[i].left, dpi);
        const int top = Scaled(labels[i].top, dpi);
        Place(form.labels[i], RECT{left, top, left + size.width, top + size.height});
    }
    SetFont(form.statusStrip, form.font);
    SetFont(form.stripTip, form.font);
    if (form.statusStrip) {
        Place(form.statusStrip, ScaledRect(kStatusLeft, kStatusTop, kStatusWidth, kStatusHeight,
                                           dpi));
    }
    PlaceNoticeLink(form);
    form.picture.host.dpi = dpi;
    form.picture.host.font = form.font;
    // The old fonts, now that no control uses them.
    for (HFONT old : {font, smallFont, linkFont}) {
        if (old && old != form.font && old != form.smallFont && old != form.linkFont) {
            DeleteObject(old);
        }
    }
    InvalidateRect(form.handle, nullptr, TRUE);
}

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

bool CreateForm1(TForm1& form, HINSTANCE instance, HWND owner, ToolFiles files,
                 Dimension::HostRequest request, std::wstring noticeUrl)
{
    form.run->files = std::move(files);
    form.run->request = request;
    form.noticeUrl = std::move(noticeUrl);
    form.owner = owner;
    if (!RegisterClasses(instance)) return false;

    form.whiteBrush = reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    form.memoBrush = CreateSolidBrush(ColourOf(kMemoBackground));
    form.statusBrush = CreateSolidBrush(ColourOf(kStatusBackground));

    const RECT frame = OuterRectAt(RECT{0, 0, kClientWidth, kClientHeight}, kFormStyle,
                                   kFormExStyle, kDesignDpi);
    const std::wstring caption = Cp932ToWide(WindowCaption(request.runs));
    form.handle = CreateWindowExW(kFormExStyle, kFormClass, caption.c_str(), kFormStyle, 100, 100,
                                  frame.right - frame.left, frame.bottom - frame.top, owner,
                                  nullptr, instance, &form);
    if (!form.handle) return false;
    // The fonts follow the DPI the window was made at; LayOutForm makes them.
    form.dpi = WindowDpi(form.handle);
    LayOutForm(form, true);
    if (!form.font) return false;

    int id = kFirstControlId;
    int nextRadioId = kFirstRadioId;
    form.controls.reserve(DialogControls().size());
    for (const ControlSpec& spec : DialogControls()) {
        if (!BuildControl(form, spec, id++, nextRadioId)) return false;
    }
    if (!BuildLabels(form)) return false;
    form.picture.host.dialog = form.handle;
    form.picture.host.strip = form.noticeStrip;
    form.picture.host.keepClear = {ControlWindow(form, "Button1"), ControlWindow(form, "Button2")};
    LayOutForm(form, false);
    ApplyDialogState(form, DefaultDialogState());
    UpdateControlsInUse(form);
    return true;
}

void DestroyForm1(TForm1& form)
{
    // OK's thread holds the run and posts to the window, the picture's thread reads the model:
    // both end first.
    TakeBackRunFromOk(form);
    EndPictures(form.picture);
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

void PlaceFormOnScreen(TForm1& form, POINT wanted)
{
    if (!form.handle || IsIconic(form.handle)) return;
    const SIZE stripBefore = ClientSize(form.noticeStrip);
    for (int pass = 0; pass < 3; ++pass) {
        const int dpi = WindowDpi(form.handle);
        if (dpi != form.dpi) {
            form.dpi = dpi;
            LayOutForm(form, false);
        }
        const SIZE full = FullWindowSize(form.handle, dpi);
        const std::optional<ScreenRect> work = WorkAreaNear(wanted, full);
        const DialogPlace place =
            work ? PlaceDialog(wanted.x, wanted.y, ScreenSize{full.cx, full.cy}, StripGive(dpi),
                               *work)
                 : DialogPlace{wanted.x, wanted.y, full.cy};
        // On another monitor Windows may send WM_DPICHANGED from here, which lays the window out
        // for that monitor in the rectangle it suggests: the next pass places it again.
        SetWindowPos(form.handle, nullptr, place.left, place.top, full.cx, place.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        for (const FormControl& control : form.controls) {
            if (control.spec->kind == ControlKind::NoticePanel) {
                Place(control.handle, StripRect(form, *control.spec));
            }
        }
        PlaceNoticeLink(form);
        wanted = POINT{place.left, place.top};
        if (form.dpi == dpi && WindowDpi(form.handle) == dpi) break;
    }
    const SIZE stripAfter = ClientSize(form.noticeStrip);
    // The picture is painted for the strip's size.
    if (stripAfter.cx != stripBefore.cx || stripAfter.cy != stripBefore.cy) {
        SchedulePictureOfRun(form);
    }
}

// Shows the notice page's address in the strip; with no address (or one that is not a web
// address) the strip stays blank.
void OpenNoticeStrip(TForm1& form)
{
    if (!form.noticeStrip || form.noticeLink || !IsWebAddress(form.noticeUrl)) return;
    form.noticeLink = MakeChild(form.noticeStrip, 0, L"STATIC", form.noticeUrl,
                                SS_LEFT | SS_NOPREFIX | SS_NOTIFY | SS_ENDELLIPSIS, 0, 0, 0, 0, 1,
                                form.linkFont);
    PlaceNoticeLink(form);
}

void PlaceNoticeLink(TForm1& form)
{
    if (!form.noticeStrip || !form.noticeLink) return;
    SetFont(form.noticeLink, form.linkFont);
    RECT client{};
    GetClientRect(form.noticeStrip, &client);
    const TextSize size = MeasureText(form.noticeStrip, form.linkFont, form.noticeUrl);
    // In the bottom right-hand corner, so that the picture of the run keeps the strip.
    const int width = std::min<int>(size.width, client.right / 2);
    Place(form.noticeLink, RECT{client.right - width - Scaled(4, form.dpi),
                                client.bottom - size.height - Scaled(2, form.dpi),
                                client.right - Scaled(4, form.dpi),
                                client.bottom - Scaled(2, form.dpi)});
}

}  // namespace Unit1
