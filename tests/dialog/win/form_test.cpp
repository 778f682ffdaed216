// The Win32 dialog in-process: its windows against the controls table, keyboard navigation,
// the text kinds listed from a drawing, texts across the UTF-16 boundary, the window position,
// and what OK, Cancel and closing leave in the files.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <imm.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "dialog/controls.hpp"
#include "dialog/dialog_state.hpp"
#include "dialog/settings_file.hpp"
#include "dialog/tool_run.hpp"
#include "dimension/command.hpp"
#include "dimension/host_request.hpp"
#include "dialog/run_picture.hpp"
#include "dialog/win/app.hpp"
#include "dialog/win/display_scale.hpp"
#include "dialog/win/form.hpp"
#include "dialog/win/form_window.hpp"
#include "dialog/win/picture_painter.hpp"
#include "dialog/win/picture_view.hpp"
#include "dialog/win/win_text.hpp"
#include "support/test_files.hpp"

namespace {

using Unit1::ControlKind;
using Unit1::Cp932ToWide;

// The message boxes a form showed instead of showing them.
struct ShownMessage {
    std::wstring text;
    std::wstring title;
    UINT style = 0;
};
std::vector<ShownMessage>& ShownMessages()
{
    static std::vector<ShownMessage> messages;
    return messages;
}
int WINAPI RecordMessage(HWND, LPCWSTR text, LPCWSTR title, UINT style)
{
    ShownMessages().push_back({text, title, style});
    return IDOK;
}

std::wstring TextOf(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// The window's rectangle in its parent's client coordinates.
RECT PlaceOf(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::vector<HWND> ChildrenOf(HWND parent)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

std::wstring ComboItem(HWND combo, int index)
{
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return L"<none>";
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

bool HasStyle(HWND window, LONG_PTR style)
{
    return (GetWindowLongPtrW(window, GWL_STYLE) & style) == style;
}

bool ImeDisabled(HWND window)
{
    HIMC context = ImmGetContext(window);
    if (context) ImmReleaseContext(window, context);
    return context == nullptr;
}

std::string SettingsLines(std::int32_t left, std::int32_t top)
{
    return std::to_string(left) + "\r\n" + std::to_string(top) + "\r\n";
}

// An exchange file with the text kind table of the host and its current text kind.
std::string TextKindDrawing(int currentKind)
{
    return "hk 0\r\nhs 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1\r\n"
           "hcw 2 2.5 2.5 4 5 6 7 8 9 10\r\nhch 2 2.5 2.5 4 5 6 7 8 9 10\r\n"
           "hcd 0 0 0 0.5 0.5 0.5 1 1 1 1\r\nlg0\r\nly0\r\nlc1\r\nlt1\r\nlw0\r\ncn" +
           std::to_string(currentKind) + "\r\n";
}

// Indicated points 2.. are the measuring points (argument "1"); point 1 is the height point.
constexpr char kOnePointDrawing[] =
    "hk 0\r\nhs 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1\r\nlg0\r\nly0\r\nlc1\r\nlt1\r\nlw0\r\ncn1\r\n"
    "hp1 0 100\r\nhp2 0 0\r\n";

// A range selection: two segments on layer group 0 and a point on layer group 2, whose scale
// is 0.
constexpr char kZeroScalePointDrawing[] =
    "hk 0\r\nhs 1 1 0 1 1 1 1 1 1 1 1 1 1 1 1 1\r\nlg0\r\nly0\r\nlc1\r\nlt1\r\nlw0\r\ncn1\r\n"
    "hp1 0 100\r\n#\r\n0 0 0 50\r\n100 0 100 50\r\nlg2\r\npt 50 0\r\n";

// A form on a private tool folder, destroyed with the object.
class OpenForm {
public:
    explicit OpenForm(const TestFiles::TempFolder& folder, std::string firstArgument = "1",
                      std::wstring noticeUrl = L"")
        : OpenForm(folder, Dimension::ReadHostArguments({std::move(firstArgument)}),
                   std::move(noticeUrl))
    {
    }
    OpenForm(const TestFiles::TempFolder& folder, Dimension::HostRequest request,
             std::wstring noticeUrl)
        : form_(std::make_unique<Unit1::TForm1>())
    {
        created_ = Unit1::CreateForm1(*form_, GetModuleHandleW(nullptr), nullptr,
                                      {folder.path(), folder / "Korvane.dat"},
                                      request, std::move(noticeUrl));
        form_->quitOnClose = false;
        form_->messageBox = RecordMessage;
        ShownMessages().clear();
    }
    ~OpenForm() { Unit1::DestroyForm1(*form_); }
    OpenForm(const OpenForm&) = delete;
    OpenForm& operator=(const OpenForm&) = delete;

    bool created() const { return created_; }
    Unit1::TForm1& form() { return *form_; }
    HWND operator[](std::string_view name) const { return Unit1::ControlWindow(*form_, name); }

    // FormShow, then the window shown and active, as the program does it.
    void Show()
    {
        Unit1::FormShow(*form_);
        Unit1::ShowForm1(*form_);
        Pump();
    }

    // OK as the user presses it: its thread started, then the dialog's one message loop until
    // OK's outcome has been taken.
    void PressOk()
    {
        Unit1::Button1Click(*form_);
        Unit1::RunMessageLoop(*form_, [this] { return !form_->ok; });
    }

    static void Pump()
    {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

private:
    std::unique_ptr<Unit1::TForm1> form_;
    bool created_ = false;
};

const wchar_t* ClassFor(ControlKind kind)
{
    switch (kind) {
    case ControlKind::DropDownList: return L"ComboBox";
    case ControlKind::Edit:
    case ControlKind::Memo: return L"Edit";
    case ControlKind::RadioGroup:
    case ControlKind::GroupBox:
    case ControlKind::CheckBox:
    case ControlKind::Button: return L"Button";
    case ControlKind::NoticePanel: return L"TScrollBox";
    }
    return L"";
}

// A check box at 96 DPI: the box the system draws and a pixel above and below it, centred on the
// row the table gives it, never taller than that row.
void ExpectCheckBoxRow(const RECT& place, const Unit1::ControlSpec& spec)
{
    const int height = place.bottom - place.top;
    EXPECT_GE(height, GetSystemMetrics(SM_CYMENUCHECK) + 2);
    EXPECT_LE(height, spec.height);
    EXPECT_LE(std::abs((place.top + place.bottom) - (2 * spec.top + spec.height)), 1);
}

TEST(Form1, WindowHasTheFixedFrameCaptionAndClientSize)
{
    TestFiles::TempFolder folder;
    OpenForm open(folder);
    ASSERT_TRUE(open.created());
    HWND window = open.form().handle;
    EXPECT_EQ(ClassOf(window), L"TForm1");
    EXPECT_EQ(TextOf(window), L"Korvane");
    // A vertical run says so in the title.
    OpenForm vertical(folder,
                      {Dimension::PointSource::IndicatedPoints, Dimension::RequestedRuns::Vertical},
                      L"");
    EXPECT_EQ(TextOf(vertical.form().handle), L"Korvane\xFF08\x5782\x76F4\xFF09");
    // So does a request for both runs.
    OpenForm both(folder, {Dimension::PointSource::RangeSelection, Dimension::RequestedRuns::Both},
                  L"");
    EXPECT_EQ(TextOf(both.form().handle), L"Korvane\xFF08\x7E26\x6A2A\xFF09");
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 492);
    EXPECT_EQ(client.bottom, 544);
    EXPECT_TRUE(HasStyle(window, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX));
    EXPECT_FALSE(HasStyle(window, WS_MAXIMIZEBOX));
    EXPECT_FALSE(HasStyle(window, WS_THICKFRAME));
    EXPECT_EQ(GetClassLongPtrW(window, GCLP_HBRBACKGROUND),
              reinterpret_cast<LONG_PTR>(GetStockObject(WHITE_BRUSH)));

    // The colours the form hands its static controls: the notice text, the status strip, and
    // white behind everything else.
    const struct {
        const char* control;
        COLORREF colour;
    } colours[] = {{"Memo1", RGB(187, 235, 244)}, {"LabelA1", RGB(231, 231, 231)},
                   {"Label6", RGB(255, 255, 255)}, {"CheckBox5", RGB(255, 255, 255)}};
    HDC dc = CreateCompatibleDC(nullptr);
    for (const auto& c : colours) {
        SCOPED_TRACE(c.control);
        const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
            window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
            reinterpret_cast<LPARAM>(open[c.control])));
        LOGBRUSH paint{};
        ASSERT_NE(GetObjectW(brush, sizeof(paint), &paint), 0);
        EXPECT_EQ(paint.lbColor, c.colour);
        EXPECT_EQ(GetBkColor(dc), c.colour);
    }
    DeleteDC(dc);
}

// Every window of the dialog, in creation (= tab) order, against the controls table.
TEST(Form1, ControlsMatchTheTableInOrderPlaceTextAndBehaviour)
{
    TestFiles::TempFolder folder;
    OpenForm open(folder);
    ASSERT_TRUE(open.created());
    HWND window = open.form().handle;

    std::vector<const Unit1::ControlSpec*> topLevel;
    for (const Unit1::ControlSpec& spec : Unit1::DialogControls()) {
        if (spec.parent.empty()) topLevel.push_back(&spec);
    }
    const std::vector<HWND> children = ChildrenOf(window);
    ASSERT_EQ(children.size(), topLevel.size() + Unit1::DialogLabels().size() + 1);

    std::size_t at = 0;
    for (const Unit1::ControlSpec* spec : topLevel) {
        const std::string name(spec->name);
        SCOPED_TRACE(name);
        HWND control = children[at++];
        ASSERT_EQ(control, open[spec->name]);
        EXPECT_EQ(ClassOf(control), ClassFor(spec->kind));
        const RECT place = PlaceOf(control);
        EXPECT_EQ(place.left, spec->left);
        EXPECT_EQ(place.right - place.left, spec->width);
        if (spec->kind == ControlKind::CheckBox) {
            // As tall as the box the system draws, in the middle of its place in the table.
            ExpectCheckBoxRow(place, *spec);
        } else {
            EXPECT_EQ(place.top, spec->top);
            if (spec->height > 0) {
                EXPECT_EQ(place.bottom - place.top, spec->height);
            }
        }
        EXPECT_EQ(ImeDisabled(control), spec->imeOff);

        switch (spec->kind) {
        case ControlKind::DropDownList: {
            EXPECT_TRUE(HasStyle(control, CBS_DROPDOWNLIST));
            EXPECT_TRUE(HasStyle(control, WS_TABSTOP));
            const LRESULT count = SendMessageW(control, CB_GETCOUNT, 0, 0);
            ASSERT_EQ(count, static_cast<LRESULT>(spec->items.size()));
            for (std::size_t i = 0; i < spec->items.size(); ++i) {
                EXPECT_EQ(ComboItem(control, static_cast<int>(i)), Cp932ToWide(spec->items[i]));
            }
            EXPECT_EQ(SendMessageW(control, CB_GETCURSEL, 0, 0), spec->defaultIndex);
            // Opened, the list shows every item (all twelve end markers) without scrolling.
            RECT dropped{};
            SendMessageW(control, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
            const LRESULT item = SendMessageW(control, CB_GETITEMHEIGHT, 0, 0);
            EXPECT_GE(dropped.bottom - dropped.top - (place.bottom - place.top),
                      static_cast<LONG>(count * item));
            break;
        }
        case ControlKind::Edit:
            EXPECT_TRUE(HasStyle(control, WS_TABSTOP));
            EXPECT_FALSE(HasStyle(control, ES_MULTILINE));
            EXPECT_EQ(TextOf(control), Cp932ToWide(spec->defaultText));
            EXPECT_EQ(SendMessageW(control, EM_GETLIMITTEXT, 0, 0), spec->maxLength);
            break;
        case ControlKind::RadioGroup:
        case ControlKind::GroupBox: {
            EXPECT_EQ(TextOf(control), Cp932ToWide(spec->caption));
            EXPECT_TRUE(GetWindowLongPtrW(control, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
            if (spec->kind == ControlKind::GroupBox) break;
            const std::vector<HWND> items = ChildrenOf(control);
            ASSERT_EQ(items.size(), spec->items.size());
            RECT inside{};
            GetClientRect(control, &inside);
            for (std::size_t i = 0; i < items.size(); ++i) {
                SCOPED_TRACE(i);
                EXPECT_EQ(TextOf(items[i]), Cp932ToWide(spec->items[i]));
                EXPECT_TRUE(HasStyle(items[i], BS_AUTORADIOBUTTON));
                const bool checked = static_cast<std::int32_t>(i) == spec->defaultIndex;
                EXPECT_EQ(SendMessageW(items[i], BM_GETCHECK, 0, 0) == BST_CHECKED, checked);
                // Only the choice is a tab stop: Tab lands on it, arrows move within the group.
                EXPECT_EQ(HasStyle(items[i], WS_TABSTOP), checked);
                const RECT item = PlaceOf(items[i]);
                EXPECT_GE(item.left, inside.left);
                EXPECT_GE(item.top, 13);  // below the caption
                EXPECT_LE(item.right, inside.right);
                EXPECT_LE(item.bottom, inside.bottom);
            }
            // Columns: two items side by side in a two-column group, stacked in a one-column one.
            if (items.size() == 2) {
                const RECT first = PlaceOf(items[0]);
                const RECT second = PlaceOf(items[1]);
                if (spec->columns == 2) {
                    EXPECT_EQ(first.top, second.top);
                    EXPECT_GE(second.left, first.right);
                } else {
                    EXPECT_EQ(first.left, second.left);
                    EXPECT_GE(second.top, first.bottom);
                }
            }
            break;
        }
        case ControlKind::CheckBox:
            EXPECT_TRUE(HasStyle(control, BS_AUTOCHECKBOX));
            EXPECT_TRUE(HasStyle(control, WS_TABSTOP));
            EXPECT_EQ(TextOf(control), Cp932ToWide(spec->caption));
            EXPECT_EQ(SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED,
                      spec->defaultChecked);
            break;
        case ControlKind::Button:
            EXPECT_EQ(TextOf(control), Cp932ToWide(spec->caption));
            EXPECT_TRUE(HasStyle(control, WS_TABSTOP));
            EXPECT_EQ(HasStyle(control, BS_DEFPUSHBUTTON), spec->isDefaultButton);
            // Enter and Esc arrive as these two ids through the dialog manager.
            if (spec->isDefaultButton) {
                EXPECT_EQ(GetDlgCtrlID(control), IDOK);
            }
            if (spec->isCancelButton) {
                EXPECT_EQ(GetDlgCtrlID(control), IDCANCEL);
            }
            break;
        case ControlKind::Memo: {
            EXPECT_TRUE(HasStyle(control, ES_MULTILINE | ES_READONLY | WS_VSCROLL));
            EXPECT_TRUE(HasStyle(control, ES_AUTOHSCROLL));  // no word wrap
            EXPECT_FALSE(HasStyle(control, WS_TABSTOP));
            std::wstring expected;
            for (std::string_view line : Unit1::NoticeLines()) {
                if (!expected.empty()) expected += L"\r\n";
                expected += Cp932ToWide(line);
            }
            EXPECT_EQ(TextOf(control), expected);
            EXPECT_EQ(SendMessageW(control, EM_GETLINECOUNT, 0, 0), 22);
            // Enter and Esc still reach the dialog from inside the notice text.
            const LRESULT code = SendMessageW(control, WM_GETDLGCODE, 0, 0);
            EXPECT_EQ(code & DLGC_WANTALLKEYS, 0);
            break;
        }
        case ControlKind::NoticePanel:
            EXPECT_TRUE(GetWindowLongPtrW(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
            EXPECT_FALSE(HasStyle(control, WS_TABSTOP));
            EXPECT_TRUE(ChildrenOf(control).empty());
            break;
        }
    }

    for (const Unit1::LabelSpec& label : Unit1::DialogLabels()) {
        SCOPED_TRACE(std::string(label.name));
        HWND control = children[at++];
        ASSERT_EQ(control, open[label.name]);
        EXPECT_EQ(ClassOf(control), L"Static");
        EXPECT_EQ(TextOf(control), Cp932ToWide(label.caption));
        const RECT place = PlaceOf(control);
        EXPECT_EQ(place.left, label.left);
        EXPECT_EQ(place.top, label.top);
        EXPECT_GT(place.right - place.left, 0);
        EXPECT_FALSE(HasStyle(control, WS_TABSTOP));
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font),
                   &font);
        EXPECT_EQ(font.lfHeight, label.fontHeight);
        EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET);
        EXPECT_EQ(std::wstring(font.lfFaceName), Cp932ToWide(Unit1::kFontName));
    }

    HWND status = children[at++];
    EXPECT_EQ(status, open["LabelA1"]);
    EXPECT_EQ(TextOf(status), Cp932ToWide(Unit1::kStatusIdle));
    const RECT strip = PlaceOf(status);
    EXPECT_EQ(strip.left, 0);
    EXPECT_EQ(strip.top, 392);
    EXPECT_EQ(strip.right, 492);
    EXPECT_EQ(strip.bottom, 416);
    EXPECT_TRUE(HasStyle(status, SS_CENTER | SS_CENTERIMAGE));
}

// Nothing of the notice text is cut off: the memo has no horizontal scroll bar. The lines are
// measured with the memo's own font, whichever font the machine gives for it, so the check holds
// the memo against itself: a font that made a line overflow would cut it for users too.
TEST(Form1, EveryNoticeLineFitsTheMemo)
{
    TestFiles::TempFolder folder;
    OpenForm open(folder);
    ASSERT_TRUE(open.created());
    HWND memo = open["Memo1"];
    RECT format{};
    SendMessageW(memo, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    HDC dc = GetDC(memo);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(memo, WM_GETFONT, 0, 0)));
    for (std::string_view line : Unit1::NoticeLines()) {
        const std::wstring text = Cp932ToWide(line);
        SCOPED_TRACE(std::string(line));
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        EXPECT_LE(extent.cx, format.right - format.left);
    }
    SelectObject(dc, old);
    ReleaseDC(memo, dc);
}

TEST(Form1, GroupBoxHoldsTheFivePointKindsAtTheirPlaces)
{
    TestFiles::TempFolder folder;
    OpenForm open(folder);
    ASSERT_TRUE(open.created());
    HWND group = open["GroupBox1"];
    ASSERT_NE(group, nullptr);
    const std::vector<HWND> items = ChildrenOf(group);
    const struct {
        const char* name;
        int left, top, width;
    } expected[] = {{"CheckBox5", 8, 16, 169}, {"CheckBox6", 8, 32, 191},
                    {"CheckBox7", 8, 48, 193}, {"CheckBox8", 200, 16, 119},
                    {"CheckBox9", 200, 32, 119}};
    ASSERT_EQ(items.size(), std::size(expected));
    for (std::size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(items[i], open[expected[i].name]);
        const RECT place = PlaceOf(items[i]);
        EXPECT_EQ(place.left, expected[i].left);
        EXPECT_EQ(place.right - place.left, expected[i].width);
        ExpectCheckBoxRow(place, *Unit1::FindControl(expected[i].name));
        EXPECT_TRUE(HasStyle(items[i], WS_TABSTOP | BS_AUTOCHECKBOX));
    }
}

// The layout at a DPI, against what a user would see broken: a control outside its group box or
// the window, two controls on top of each other, a caption cut off. Captions are measured with
// the control's own font: check boxes and radio items need the box the system draws at this
// DPI beside their text, buttons and group boxes their text within their frame. LabelA1 is not
// a control of the table: it lies under the groups' lower frames by the design's own numbers.
void ExpectReadableLayout(Unit1::TForm1& form, int dpi)
{
    HWND window = form.handle;
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, Unit1::Scaled(492, dpi));
    EXPECT_EQ(client.bottom, Unit1::Scaled(544, dpi));
    // The strip fills the client area below the controls.
    const RECT strip = PlaceOf(Unit1::ControlWindow(form, "ScrollBox1"));
    EXPECT_EQ(strip.top, Unit1::Scaled(416, dpi));
    EXPECT_EQ(strip.bottom, client.bottom);

    struct Placed {
        std::string name;
        HWND handle;
        HWND parent;
        RECT place;
    };
    std::vector<Placed> placed;
    for (const Unit1::FormControl& control : form.controls) {
        placed.push_back({std::string(control.spec->name), control.handle,
                          GetParent(control.handle), PlaceOf(control.handle)});
        for (std::size_t i = 0; i < control.radioButtons.size(); ++i) {
            HWND item = control.radioButtons[i];
            placed.push_back({std::string(control.spec->name) + " item " + std::to_string(i),
                              item, control.handle, PlaceOf(item)});
        }
    }
    const auto labels = Unit1::DialogLabels();
    for (std::size_t i = 0; i < labels.size(); ++i) {
        placed.push_back({std::string(labels[i].name), form.labels[i], window,
                          PlaceOf(form.labels[i])});
    }

    const int box = Unit1::SystemMetricAt(SM_CXMENUCHECK, dpi);
    for (const Placed& p : placed) {
        SCOPED_TRACE(p.name + " at " + std::to_string(dpi) + " DPI");
        RECT inside{};
        GetClientRect(p.parent, &inside);
        if (p.parent != window) {
            // Below the group's caption line and above its lower frame.
            inside.top += 1;
            inside.left += 1;
            inside.right -= 1;
            inside.bottom -= 2;
        }
        EXPECT_GE(p.place.left, inside.left);
        EXPECT_GE(p.place.top, inside.top);
        EXPECT_LE(p.place.right, inside.right);
        EXPECT_LE(p.place.bottom, inside.bottom);
        EXPECT_GT(p.place.right, p.place.left);
        EXPECT_GT(p.place.bottom, p.place.top);

        const std::wstring text = TextOf(p.handle);
        const LONG_PTR style = GetWindowLongPtrW(p.handle, GWL_STYLE) & BS_TYPEMASK;
        if (ClassOf(p.handle) != L"Button" || text.empty()) continue;
        HDC dc = GetDC(p.handle);
        HGDIOBJ old = SelectObject(
            dc, reinterpret_cast<HFONT>(SendMessageW(p.handle, WM_GETFONT, 0, 0)));
        SIZE extent{};
        // "&Y": the ampersand is not drawn.
        std::wstring shown = text;
        if (const auto amp = shown.find(L'&'); amp != std::wstring::npos) shown.erase(amp, 1);
        GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &extent);
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(p.handle, dc);
        const LONG width = p.place.right - p.place.left;
        const LONG height = p.place.bottom - p.place.top;
        if (style == BS_AUTOCHECKBOX || style == BS_AUTORADIOBUTTON) {
            EXPECT_LE(box + extent.cx + 4, width) << "caption cut off";
            EXPECT_GE(height, box) << "the box is cut off";
            EXPECT_GE(height, metrics.tmHeight) << "caption cut off";
        } else if (style == BS_GROUPBOX) {
            EXPECT_LE(extent.cx + 8, width) << "caption cut off";
        } else {
            EXPECT_LE(extent.cx + 4, width) << "caption cut off";
            EXPECT_LE(metrics.tmHeight + 4, height) << "caption cut off";
        }
    }

    // Siblings never share a pixel.
    for (std::size_t a = 0; a < placed.size(); ++a) {
        for (std::size_t b = a + 1; b < placed.size(); ++b) {
            if (placed[a].parent != placed[b].parent) continue;
            RECT common{};
            EXPECT_FALSE(IntersectRect(&common, &placed[a].place, &placed[b].place))
                << placed[a].name << " and " << placed[b].name << " overlap at " << dpi << " DPI";
        }
    }
}

// The layout at the screen's DPI. The GUI driver runs this at 96, 120, 144 and 192 DPI, each in
// a wine session started with that DPI, and says which one it set.
TEST(Form1, LayoutAtTheScreensDpiKeepsControlsInsideApartAndReadable)
{
    TestFiles::TempFolder folder;
    OpenForm open(folder);
    ASSERT_TRUE(open.created());
    open.Show();
    const int dpi = open.form().dpi;
    EXPECT_EQ(dpi, Unit1::WindowDpi(open.form().handle));
    if (const char* expected = std::getenv("KORVANE_EXPECT_DPI")) {
        EXPECT_EQ(dpi, std::atoi(expected));
    }
    ExpectReadableLayout(open.form(), dpi);
    // The fonts follow the DPI.
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(open["Edit7"], WM_GETFONT, 0, 0)),
               sizeof(font), &font);
    EXPECT_EQ(font.lfHeight, Unit1::Scaled(13, dpi));
}

// Windows says the monitor's DPI changed (the window moved, or the user changed the scale):
// everything is laid out again for it, in the rectangle Windows suggests. Wine never sends the
// message, so the test does, to 144 DPI and back.
TEST(Form1, DpiChangeLaysEverythingOutAgainInTheSuggestedRectangle)
{
    TestFiles::TempFolder folder;
    OpenForm open(folder);
    ASSERT_TRUE(open.created());
    open.Show();
    Unit1::TForm1& form = open.form();
    const int start = form.dpi;
    RECT before{};
    GetWindowRect(form.handle, &before);
    const RECT edit7 = PlaceOf(open["Edit7"]);

    // A DPI that makes the window taller than the test screen is left to the GUI driver, which
    // runs this test on a larger one too (the system keeps a window within the screen's size).
    for (const int dpi : {192, 144, 120, start}) {
        SCOPED_TRACE(dpi);
        if (Unit1::Scaled(544 + 40, dpi) > GetSystemMetrics(SM_CYSCREEN)) continue;
        // As Windows suggests it: the client area scaled, inside the frame the window has (the
        // frame does not change here, where the system's own DPI stays).
        RECT outer{};
        RECT inner{};
        GetWindowRect(form.handle, &outer);
        GetClientRect(form.handle, &inner);
        const RECT suggested{
            outer.left + 10, outer.top + 5,
            outer.left + 10 + (outer.right - outer.left) - inner.right + Unit1::Scaled(492, dpi),
            outer.top + 5 + (outer.bottom - outer.top) - inner.bottom + Unit1::Scaled(544, dpi)};
        SendMessageW(form.handle, 0x02E0, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        OpenForm::Pump();
        EXPECT_EQ(form.dpi, dpi);
        RECT now{};
        GetWindowRect(form.handle, &now);
        EXPECT_TRUE(EqualRect(&now, &suggested));
        // Edit7 stands at (48, 64) in the design, 33 by 21.
        const RECT place = PlaceOf(open["Edit7"]);
        EXPECT_EQ(place.left, Unit1::Scaled(48, dpi));
        EXPECT_EQ(place.top, Unit1::Scaled(64, dpi));
        EXPECT_EQ(place.right, Unit1::Scaled(81, dpi));
        EXPECT_EQ(place.bottom, Unit1::Scaled(85, dpi));
        ExpectReadableLayout(form, dpi);
    }
    // Back at the start the layout is the one the window opened with, pixel for pixel.
    const RECT again = PlaceOf(open["Edit7"]);
    EXPECT_TRUE(EqualRect(&again, &edit7));
    RECT after{};
    GetWindowRect(form.handle, &after);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
}

void WriteSettings(const TestFiles::TempFolder& folder,
                   const std::function<void(Unit1::DialogState&)>& change);

// What the dialog manager makes of Tab: the order of the controls table, into the radio
// groups and the group box and round again (a range selection: in the indicated-points mode the
// group box is disabled, and Tab passes it by).
TEST(Form1, TabVisitsTheControlsInTheirOrder)
{
    TestFiles::TempFolder folder;
    OpenForm open(folder, "2");
    ASSERT_TRUE(open.created());
    open.Show();
    auto choice = [&](std::string_view group) {
        const std::vector<HWND> items = ChildrenOf(open[group]);
        for (HWND item : items) {
            if (SendMessageW(item, BM_GETCHECK, 0, 0) == BST_CHECKED) return item;
        }
        return items.empty() ? HWND{} : items.front();
    };
    const std::vector<std::pair<std::string, HWND>> order = {
        {"ComboBox1", open["ComboBox1"]}, {"ComboBox2", open["ComboBox2"]},
        {"Edit7", open["Edit7"]},         {"Edit8", open["Edit8"]},
        {"Edit1", open["Edit1"]},         {"ComboBox3", open["ComboBox3"]},
        {"Edit2", open["Edit2"]},         {"Edit3", open["Edit3"]},
        {"ComboBox4", open["ComboBox4"]}, {"ComboBox5", open["ComboBox5"]},
        {"RadioGroup1", choice("RadioGroup1")}, {"RadioGroup2", choice("RadioGroup2")},
        // Reading order: the arrangement's list stands level with the unit's group.
        {"ComboBox6", open["ComboBox6"]},
        {"CheckBox1", open["CheckBox1"]}, {"CheckBox2", open["CheckBox2"]},
        {"CheckBox3", open["CheckBox3"]}, {"CheckBox4", open["CheckBox4"]},
        {"Edit4", open["Edit4"]},         {"Edit5", open["Edit5"]},
        {"Edit6", open["Edit6"]},         {"RadioGroup3", choice("RadioGroup3")},
        {"CheckBox5", open["CheckBox5"]}, {"CheckBox6", open["CheckBox6"]},
        {"CheckBox7", open["CheckBox7"]}, {"CheckBox8", open["CheckBox8"]},
        {"CheckBox9", open["CheckBox9"]}, {"Button1", open["Button1"]},
        {"Button2", open["Button2"]},     {"ComboBox1 again", open["ComboBox1"]},
    };
    HWND window = open.form().handle;
    HWND at = GetNextDlgTabItem(window, nullptr, FALSE);
    for (const auto& [name, expected] : order) {
        SCOPED_TRACE(name);
        ASSERT_NE(expected, nullptr);
        EXPECT_EQ(at, expected);
        at = GetNextDlgTabItem(window, at, FALSE);
    }
    // The window opens with the focus on the first control.
    EXPECT_EQ(GetFocus(), open["ComboBox1"]);

    // Indicated points ("1"): the group box and its five boxes are shown disabled and keep their
    // values; Tab goes from RadioGroup3 to OK.
    TestFiles::TempFolder pointsFolder;
    WriteSettings(pointsFolder, [](Unit1::DialogState& s) { s.CheckBox7 = true; });
    OpenForm points(pointsFolder, "1");
    ASSERT_TRUE(points.created());
    points.Show();
    for (const char* name :
         {"GroupBox1", "CheckBox5", "CheckBox6", "CheckBox7", "CheckBox8", "CheckBox9"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(IsWindowEnabled(points[name]));
        EXPECT_TRUE(IsWindowVisible(points[name]));
    }
    EXPECT_EQ(SendMessageW(points["CheckBox7"], BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(Unit1::ReadDialogState(points.form()).CheckBox7);
    const std::vector<HWND> items = ChildrenOf(points["RadioGroup3"]);
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(GetNextDlgTabItem(points.form().handle, items.front(), FALSE), points["Button1"]);
}

TEST(Form1, TextKindListFollowsTheDrawing)
{
    const struct {
        int currentKind;
        const char* first;  // item 0
    } cases[] = {
        {0, "\x8C\xBB\x8D\xDD\x82\xCC\x95\xB6\x8E\x9A\x8E\xED(Free)"},  // 現在の文字種(Free)
        {7, "\x8C\xBB\x8D\xDD\x82\xCC\x95\xB6\x8E\x9A\x8E\xED(No7)"},   // 現在の文字種(No7)
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.currentKind);
        TestFiles::TempFolder folder;
        TestFiles::WriteBytes(folder / "JWC_TEMP.TXT", TextKindDrawing(c.currentKind));
        OpenForm open(folder);
        ASSERT_TRUE(open.created());
        Unit1::FormShow(open.form());
        HWND combo = open["ComboBox3"];
        ASSERT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 11);
        EXPECT_EQ(ComboItem(combo, 0), Cp932ToWide(c.first));
        EXPECT_EQ(ComboItem(combo, 1), L"No1: W2 H2 D0");
        EXPECT_EQ(ComboItem(combo, 3), L"No3: W2.5 H2.5 D0");
        EXPECT_EQ(ComboItem(combo, 10), L"No10: W10 H10 D1");
        // No settings file: nothing chosen, so OK will stop here.
        EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    }
}

// A field the user did not touch gives back its loaded bytes, also where the bytes do not
// survive the trip through UTF-16; a typed text is converted without best-fit guesses.
TEST(Form1, FieldTextsCrossTheUtf16Boundary)
{
    const struct {
        const char* what;
        std::string loaded;
        const wchar_t* typed;  // nullptr: left alone
        std::string expected;
    } cases[] = {
        {"Japanese prefix", "\x90\xA1", nullptr, "\x90\xA1"},                          // 寸
        {"NEC-selected IBM extension", "\xED\x40", nullptr, "\xED\x40"},              // 纊
        {"NEC-selected not sign", "\xEE\xF9", nullptr, "\xEE\xF9"},                   // ￢
        {"lone lead byte at the end", std::string("A\x81", 2), nullptr, "A\x81"},
        {"longer than the typing limit", "123456789012345678901234567890123456", nullptr,
         "123456789012345678901234567890123456"},
        {"typed full-width tilde", "", L"\xFF5E", "\x81\x60"},                        // ～
        {"typed letter outside the code page", "", L"A\x00E9" L"B", "A?B"},
        {"typed wave dash has no best fit", "", L"x\x301Cy", "x?y"},
        {"typed over a loaded text", "\xED\x40", L"\x7E8A\x7E8A", "\xFA\x5C\xFA\x5C"},  // 纊纊
        {"emptied", "abc", L"", ""},
    };
    TestFiles::TempFolder folder;
    OpenForm open(folder);
    ASSERT_TRUE(open.created());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Unit1::DialogState state = Unit1::ReadDialogState(open.form());
        state.Edit2 = c.loaded;
        Unit1::ApplyDialogState(open.form(), state);
        if (c.typed) SetWindowTextW(open["Edit2"], c.typed);
        EXPECT_EQ(Unit1::ReadDialogState(open.form()).Edit2, c.expected);
        EXPECT_EQ(open.form().state.Edit2, c.expected);  // what OK and the picture read
    }
}

// The work area of the primary monitor, the test screen's.
RECT PrimaryWorkArea()
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    return monitor.rcWork;
}

// Where the saved position would leave part of the window off the screen, or on no screen at
// all, it opens wholly inside the nearest work area, as near the saved place as that allows; a
// window that fits where it was saved stays there. What the state keeps is still the saved
// position.
TEST(Form1, WindowOpensInsideTheWorkAreaAsNearTheSavedPlaceAsItAllows)
{
    const RECT work = PrimaryWorkArea();
    enum Edge { Saved, Near, Far };  // the saved coordinate, the work area's left/top, right/bottom
    const struct {
        std::int32_t left, top;
        Edge x, y;
    } cases[] = {
        {250, 80, Saved, Saved},
        {-200, 50, Near, Saved},  // partly off the screen
        {950, 700, Far, Far},
        {5000, 5000, Far, Far},   // a monitor that is gone
        {-5000, 50, Near, Saved},
        {INT_MAX, 0, Far, Near},  // its right edge would not even be a coordinate
        {INT_MIN, INT_MIN, Near, Near},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.left) + ", " + std::to_string(c.top));
        TestFiles::TempFolder folder;
        TestFiles::WriteBytes(folder / "Korvane.dat", SettingsLines(c.left, c.top));
        OpenForm open(folder);
        ASSERT_TRUE(open.created());
        Unit1::FormShow(open.form());
        RECT outer{};
        GetWindowRect(open.form().handle, &outer);
        const LONG width = outer.right - outer.left;
        const LONG height = outer.bottom - outer.top;
        ASSERT_LE(height, work.bottom - work.top) << "the test screen is too small for the dialog";
        const auto expected = [](Edge edge, std::int32_t saved, LONG low, LONG high) {
            return edge == Saved ? saved : edge == Near ? low : high;
        };
        EXPECT_EQ(outer.left, expected(c.x, c.left, work.left, work.right - width));
        EXPECT_EQ(outer.top, expected(c.y, c.top, work.top, work.bottom - height));
        EXPECT_EQ(open.form().state.SavedLeft, c.left);
        EXPECT_EQ(open.form().state.SavedTop, c.top);
    }
    TestFiles::TempFolder folder;
    OpenForm open(folder);
    ASSERT_TRUE(open.created());
    Unit1::FormShow(open.form());
    RECT outer{};
    GetWindowRect(open.form().handle, &outer);
    EXPECT_EQ(outer.left, 100);
    EXPECT_EQ(outer.top, 100);
}

// A move that ends with part of the window off the screen (WM_EXITSIZEMOVE) brings it back
// inside the work area, by the shortest way; OK saves where it then is.
TEST(Form1, AMoveEndsWithTheWindowInsideTheWorkArea)
{
    TestFiles::TempFolder folder;
    TestFiles::WriteBytes(folder / "JWC_TEMP.TXT", kOnePointDrawing);
    WriteSettings(folder, nullptr);
    OpenForm open(folder);
    ASSERT_TRUE(open.created());
    open.Show();
    HWND window = open.form().handle;
    const RECT work = PrimaryWorkArea();
    RECT before{};
    GetWindowRect(window, &before);
    SetWindowPos(window, nullptr, work.right - 100, work.top + 30, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(window, WM_EXITSIZEMOVE, 0, 0);
    RECT after{};
    GetWindowRect(window, &after);
    EXPECT_EQ(after.right, work.right);
    EXPECT_EQ(after.top, work.top + 30);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
    // A window already inside stays where the user put it.
    SetWindowPos(window, nullptr, work.left + 7, work.top + 9, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(window, WM_EXITSIZEMOVE, 0, 0);
    GetWindowRect(window, &after);
    EXPECT_EQ(after.left, work.left + 7);
    EXPECT_EQ(after.top, work.top + 9);
    open.PressOk();  // too few points: the dialog stays, the position is saved
    ASSERT_EQ(ShownMessages().size(), 1u);
    Unit1::DialogState saved = Unit1::DefaultDialogState();
    Unit1::LoadSettings(saved, folder / "Korvane.dat");
    EXPECT_EQ(saved.SavedLeft, work.left + 7);
    EXPECT_EQ(saved.SavedTop, work.top + 9);
}

// Settings with a text kind chosen, saved through the product's own writer.
void WriteSettings(const TestFiles::TempFolder& folder,
                   const std::function<void(Unit1::DialogState&)>& change)
{
    Unit1::DialogState state = Unit1::DefaultDialogState();
    state.ComboBox3 = 0;
    if (change) change(state);
    ASSERT_TRUE(Unit1::SaveSettings(state, folder / "Korvane.dat"));
}

// The dialog shown on the drawing, over settings with a text kind chosen and then changed by
// `change`.
struct ShownForm {
    TestFiles::TempFolder folder;
    OpenForm open{folder};

    ShownForm(const std::string& drawing,
              const std::function<void(Unit1::DialogState&)>& change)
    {
        TestFiles::WriteBytes(folder / "JWC_TEMP.TXT", drawing);
        WriteSettings(folder, change);
        if (open.created()) open.Show();
    }
};

TEST(Form1, TooFewPointsAsksAndStaysOpenThenCancelWritesNothingDone)
{
    ShownForm shown(kOnePointDrawing, nullptr);
    ASSERT_TRUE(shown.open.created());
    auto& [folder, open] = shown;
    std::filesystem::remove(folder / "Korvane.dat");

    open.PressOk();
    ASSERT_EQ(ShownMessages().size(), 1u);
    // 確認 / 寸法線を作図するには計測点が２つ以上必要です。
    EXPECT_EQ(ShownMessages()[0].title, Cp932ToWide("\x8A\x6D\x94\x46"));
    EXPECT_EQ(ShownMessages()[0].text, Cp932ToWide(Unit1::kTooFewPointsMessage));
    EXPECT_EQ(ShownMessages()[0].style, static_cast<UINT>(MB_ICONQUESTION | MB_OK));
    EXPECT_NE(open.form().handle, nullptr);
    EXPECT_FALSE(open.form().run->closed);
    // The settings were accepted before the points were counted.
    EXPECT_TRUE(std::filesystem::exists(folder / "Korvane.dat"));
    EXPECT_EQ(TextOf(open["LabelA1"]), Cp932ToWide(Dimension::kStatusCounting));

    // A refused OK after it: LabelA1 is blank again, the focus on the refused value.
    SetWindowTextW(open["Edit7"], L"0");
    open.PressOk();
    EXPECT_EQ(TextOf(open["LabelA1"]), Cp932ToWide(Unit1::kStatusIdle));
    EXPECT_EQ(GetFocus(), open["Edit7"]);
    EXPECT_EQ(ShownMessages().size(), 1u);

    Unit1::Button2Click(open.form());
    EXPECT_EQ(open.form().handle, nullptr);
    EXPECT_EQ(TestFiles::ReadBytes(folder / "JWC_TEMP.TXT"), "hq\r\n");
}

TEST(Form1, RefusedValueFocusesItsControlAndTouchesNoFile)
{
    ShownForm shown(kOnePointDrawing, [](Unit1::DialogState& s) { s.Edit7.assign(1, '0'); });
    ASSERT_TRUE(shown.open.created());
    auto& [folder, open] = shown;
    const std::string settings = TestFiles::ReadBytes(folder / "Korvane.dat");

    open.PressOk();
    EXPECT_TRUE(ShownMessages().empty());
    EXPECT_EQ(GetFocus(), open["Edit7"]);
    EXPECT_FALSE(open.form().run->closed);
    EXPECT_EQ(TestFiles::ReadBytes(folder / "Korvane.dat"), settings);
    EXPECT_EQ(TestFiles::ReadBytes(folder / "JWC_TEMP.TXT"), kOnePointDrawing);
}

// A cumulative run greys out the two controls it does not use, and choosing another
// arrangement brings them back; an arrangement past the list refuses OK on ComboBox6.
TEST(Form1, TheArrangementDecidesWhichControlsAreInUse)
{
    ShownForm shown(kOnePointDrawing, [](Unit1::DialogState& s) { s.ComboBox6 = 3; });
    ASSERT_TRUE(shown.open.created());
    OpenForm& open = shown.open;
    EXPECT_FALSE(IsWindowEnabled(open["ComboBox1"]));
    EXPECT_FALSE(IsWindowEnabled(open["CheckBox4"]));
    EXPECT_TRUE(IsWindowEnabled(open["ComboBox2"]));
    HWND arrangement = open["ComboBox6"];
    SendMessageW(arrangement, CB_SETCURSEL, 2, 0);
    SendMessageW(open.form().handle, WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(arrangement), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(arrangement));
    EXPECT_TRUE(IsWindowEnabled(open["ComboBox1"]));
    EXPECT_TRUE(IsWindowEnabled(open["CheckBox4"]));

    SendMessageW(arrangement, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SendMessageW(open.form().handle, WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(arrangement), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(arrangement));
    open.PressOk();
    EXPECT_EQ(GetFocus(), arrangement);
    EXPECT_FALSE(open.form().run->closed);
}

// Runs OK on a range selection once with the given point kinds and returns the command file.
std::string CommandFileOfOneRun(void (*change)(Unit1::DialogState&))
{
    TestFiles::TempFolder folder;
    TestFiles::WriteBytes(folder / "JWC_TEMP.TXT", kZeroScalePointDrawing);
    WriteSettings(folder, change);
    OpenForm open(folder, "");
    if (!open.created()) return "<no window>";
    open.Show();
    open.PressOk();
    return open.form().run->closed ? TestFiles::ReadBytes(folder / "JWC_TEMP.TXT") : "<still open>";
}

TEST(Form1, CannotDimensionWarnsAndALaterOkWritesWhatAFirstOneWould)
{
    TestFiles::TempFolder folder;
    TestFiles::WriteBytes(folder / "JWC_TEMP.TXT", kZeroScalePointDrawing);
    WriteSettings(folder, [](Unit1::DialogState& s) { s.CheckBox5 = s.CheckBox7 = true; });
    OpenForm open(folder, "");
    ASSERT_TRUE(open.created());
    open.Show();

    open.PressOk();
    ASSERT_EQ(ShownMessages().size(), 1u);
    EXPECT_EQ(ShownMessages()[0].title, Cp932ToWide("\x8A\x6D\x94\x46"));  // 確認
    EXPECT_EQ(ShownMessages()[0].text, Cp932ToWide(Unit1::kCannotDimensionMessage));
    EXPECT_EQ(ShownMessages()[0].style, static_cast<UINT>(MB_ICONWARNING | MB_OK));
    ASSERT_FALSE(open.form().run->closed);

    // The user leaves out the points (the one on the zero-scale layer group) and tries again.
    SendMessageW(open["CheckBox7"], BM_CLICK, 0, 0);  // as the user clears it
    open.PressOk();
    ASSERT_TRUE(open.form().run->closed);
    const std::string written = TestFiles::ReadBytes(folder / "JWC_TEMP.TXT");
    EXPECT_NE(written, "hq\r\n");
    EXPECT_EQ(written, CommandFileOfOneRun([](Unit1::DialogState& s) { s.CheckBox5 = true; }));
}

TEST(Form1, CloseWritesTheCommandFileOnce)
{
    TestFiles::TempFolder folder;
    TestFiles::WriteBytes(folder / "JWC_TEMP.TXT", kOnePointDrawing);
    OpenForm open(folder);
    ASSERT_TRUE(open.created());
    open.Show();
    SendMessageW(open.form().handle, WM_CLOSE, 0, 0);
    EXPECT_TRUE(open.form().run->closed);
    EXPECT_EQ(TestFiles::ReadBytes(folder / "JWC_TEMP.TXT"), "hq\r\n");
    // Whatever else tries to close it later finds nothing left to write.
    TestFiles::WriteBytes(folder / "JWC_TEMP.TXT", "kept");
    Unit1::FormClose(open.form());
    EXPECT_EQ(TestFiles::ReadBytes(folder / "JWC_TEMP.TXT"), "kept");
}

// Two indicated points 1500 apart below the height point: OK draws a run of one interval.
std::string DrawableDrawing()
{
    std::string drawing = TextKindDrawing(2);
    drawing.append("hp1 750 1000\r\nhp2 0 0\r\nhp3 1500 0\r\n");
    return drawing;
}

// What OK writes on these files, run as korvane-cli runs it: open, OK, close.
std::string CommandFileOfOk(const std::string& drawing,
                            const std::function<void(Unit1::DialogState&)>& change)
{
    TestFiles::TempFolder folder;
    TestFiles::WriteBytes(folder / "JWC_TEMP.TXT", drawing);
    WriteSettings(folder, change);
    Unit1::ToolRun run;
    run.files = {folder.path(), folder / "Korvane.dat"};
    run.request = {Dimension::PointSource::IndicatedPoints};
    Unit1::DialogState values = Unit1::OpenToolRun(run, Unit1::DefaultDialogState());
    Unit1::PressOk(run, values, {});
    Unit1::CloseToolRun(run);
    return TestFiles::ReadBytes(folder / "JWC_TEMP.TXT");
}

// Holds OK's thread at its start until released, so that a test sees the dialog while OK runs.
class OkGate {
public:
    OkGate() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~OkGate()
    {
        Release();
        CloseHandle(event_);
    }
    OkGate(const OkGate&) = delete;
    OkGate& operator=(const OkGate&) = delete;
    std::function<void()> Hold() const
    {
        HANDLE event = event_;
        return [event] { WaitForSingleObject(event, 20000); };
    }
    void Release() { SetEvent(event_); }

private:
    HANDLE event_;
};

// While OK runs its thread holds the run: the window's thread has none. The dialog keeps
// answering in its one loop: Enter is ignored, F2 opens the larger picture, Esc and the close
// box are heard and said in LabelA1, and the dialog closes after OK's outcome, having written
// what OK drew.
TEST(Form1, WhileOkRunsItsThreadHoldsTheRunAndACloseIsHeardAndSaid)
{
    const std::string drawing = DrawableDrawing();
    const std::string expected = CommandFileOfOk(drawing, nullptr);
    ASSERT_NE(expected, "hq\r\n");
    for (const UINT close : {UINT{WM_CLOSE}, UINT{WM_COMMAND}}) {
        SCOPED_TRACE(close == WM_CLOSE ? "close box" : "Esc");
        ShownForm shown(drawing, nullptr);
        ASSERT_TRUE(shown.open.created());
        auto& [folder, open] = shown;
        Unit1::TForm1& form = open.form();
        OkGate gate;
        form.okThreadBegins = gate.Hold();
        Unit1::Button1Click(form);
        ASSERT_TRUE(form.ok.has_value());
        EXPECT_FALSE(form.run.has_value());
        EXPECT_NE(Unit1::OkThreadHandle(form), nullptr);
        // Only Cancel takes input: it closes after OK's outcome, as Esc does.
        for (const Unit1::FormControl& control : form.controls) {
            SCOPED_TRACE(std::string(control.spec->name));
            EXPECT_EQ(IsWindowEnabled(control.handle) != FALSE, control.spec->isCancelButton);
        }
        // A second OK is ignored; F2 still opens the larger window.
        SendMessageW(form.handle, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_FALSE(form.run.has_value());
        MSG f2{open["Edit7"], WM_KEYDOWN, VK_F2, 0, 0, {}};
        EXPECT_TRUE(Unit1::HandlePictureKey(form, f2));
        EXPECT_NE(form.picture.window, nullptr);
        // The close is heard, said, and waits.
        if (close == WM_CLOSE) {
            SendMessageW(form.handle, WM_CLOSE, 0, 0);
        } else {
            SendMessageW(form.handle, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
        EXPECT_NE(form.handle, nullptr);
        EXPECT_EQ(TextOf(open["LabelA1"]), Cp932ToWide(Unit1::kStatusClosingAfterOk));
        EXPECT_EQ(TestFiles::ReadBytes(folder / "JWC_TEMP.TXT"), drawing);
        gate.Release();
        Unit1::RunMessageLoop(form, [&form] { return !form.ok; });
        EXPECT_EQ(form.handle, nullptr);
        ASSERT_TRUE(form.run.has_value());
        EXPECT_TRUE(form.run->closed);
        EXPECT_EQ(TestFiles::ReadBytes(folder / "JWC_TEMP.TXT"), expected);
    }
}

// A close heard during an OK that then finds too few points: the question first, then the
// dialog closes with "hq"; the settings OK accepted are saved.
TEST(Form1, ACloseHeardDuringOkComesAfterItsMessage)
{
    ShownForm shown(kOnePointDrawing, nullptr);
    ASSERT_TRUE(shown.open.created());
    auto& [folder, open] = shown;
    std::filesystem::remove(folder / "Korvane.dat");
    Unit1::TForm1& form = open.form();
    OkGate gate;
    form.okThreadBegins = gate.Hold();
    Unit1::Button1Click(form);
    SendMessageW(form.handle, WM_CLOSE, 0, 0);
    gate.Release();
    Unit1::RunMessageLoop(form, [&form] { return !form.ok; });
    ASSERT_EQ(ShownMessages().size(), 1u);
    EXPECT_EQ(ShownMessages()[0].text, Cp932ToWide(Unit1::kTooFewPointsMessage));
    EXPECT_EQ(form.handle, nullptr);
    EXPECT_EQ(TestFiles::ReadBytes(folder / "JWC_TEMP.TXT"), "hq\r\n");
    EXPECT_TRUE(std::filesystem::exists(folder / "Korvane.dat"));
}

// The session ends (log-off) while OK runs: the handler waits for OK's thread and writes what it
// drew; with the dialog idle, "hq". The process ends after it without leaving its loop.
TEST(Form1, EndOfSessionWaitsForOkAndWritesTheRun)
{
    const std::string drawing = DrawableDrawing();
    const std::string expected = CommandFileOfOk(drawing, nullptr);
    for (const bool duringOk : {false, true}) {
        SCOPED_TRACE(duringOk ? "during OK" : "idle");
        ShownForm shown(drawing, nullptr);
        ASSERT_TRUE(shown.open.created());
        auto& [folder, open] = shown;
        Unit1::TForm1& form = open.form();
        OkGate gate;
        std::thread release;
        if (duringOk) {
            form.okThreadBegins = gate.Hold();
            Unit1::Button1Click(form);
            ASSERT_TRUE(form.ok.has_value());
            // OK goes on a moment after the session's end arrives.
            release = std::thread([&gate] {
                Sleep(200);
                gate.Release();
            });
        }
        const auto logOff = static_cast<LPARAM>(static_cast<LONG>(ENDSESSION_LOGOFF));
        EXPECT_EQ(SendMessageW(form.handle, WM_QUERYENDSESSION, 0, logOff), TRUE);
        SendMessageW(form.handle, WM_ENDSESSION, TRUE, logOff);
        if (release.joinable()) release.join();
        EXPECT_FALSE(form.ok.has_value());
        ASSERT_TRUE(form.run.has_value());
        EXPECT_TRUE(form.run->closed);
        EXPECT_EQ(TestFiles::ReadBytes(folder / "JWC_TEMP.TXT"), duringOk ? expected : "hq\r\n");
    }
}

// Every way out of the program writes the command file: the loop failing, the owner destroyed
// (which destroys the dialog without closing it), the owner destroyed while OK runs.
TEST(Program, EveryWayOutWritesTheRunOrNothingDone)
{
    static OkGate* gate = nullptr;
    const struct {
        const char* name;
        int (*loop)(Unit1::TForm1&);
        int exitCode;
        bool drawn;  // OK's run, else "hq"
    } cases[] = {
        {"the loop fails", [](Unit1::TForm1&) { return 1; }, 1, false},
        {"the owner goes",
         [](Unit1::TForm1& form) {
             DestroyWindow(form.owner);
             return Unit1::RunMessageLoop(form);
         },
         0, false},
        {"the owner goes while OK runs",
         [](Unit1::TForm1& form) {
             form.okThreadBegins = gate->Hold();
             Unit1::Button1Click(form);
             DestroyWindow(form.owner);
             gate->Release();
             return Unit1::RunMessageLoop(form);
         },
         0, true},
    };
    const std::string drawing = DrawableDrawing();
    const std::string expected = CommandFileOfOk(drawing, nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OkGate caseGate;
        gate = &caseGate;
        TestFiles::TempFolder folder;
        TestFiles::WriteBytes(folder / "JWC_TEMP.TXT", drawing);
        WriteSettings(folder, nullptr);
        const Unit1::ProgramStart start{GetModuleHandleW(nullptr),
                                        {folder.path(), folder / "Korvane.dat"},
                                        {Dimension::PointSource::IndicatedPoints},
                                        L""};
        EXPECT_EQ(Unit1::RunProgram(start, c.loop), c.exitCode);
        EXPECT_EQ(TestFiles::ReadBytes(folder / "JWC_TEMP.TXT"), c.drawn ? expected : "hq\r\n");
        gate = nullptr;
    }
}

// The tool folder's name may hold characters that code page 932 has not (here Hangul): the
// exchange file is still read and written there.
TEST(Form1, ToolFolderOutsideTheCodePageStillWorks)
{
    TestFiles::TempFolder parent;
    const std::filesystem::path folder = parent.path() / std::filesystem::path(L"tool-\xD55C");
    std::filesystem::create_directories(folder);
    TestFiles::WriteBytes(folder / "JWC_TEMP.TXT", TextKindDrawing(7));
    auto form = std::make_unique<Unit1::TForm1>();
    ASSERT_TRUE(Unit1::CreateForm1(*form, GetModuleHandleW(nullptr), nullptr,
                                   {folder, folder / "Korvane.dat"},
                                   {Dimension::PointSource::IndicatedPoints}, L""));
    form->quitOnClose = false;
    Unit1::FormShow(*form);
    EXPECT_EQ(ComboItem(Unit1::ControlWindow(*form, "ComboBox3"), 0),
              Cp932ToWide("\x8C\xBB\x8D\xDD\x82\xCC\x95\xB6\x8E\x9A\x8E\xED(No7)"));
    Unit1::Button2Click(*form);
    EXPECT_EQ(TestFiles::ReadBytes(folder / "JWC_TEMP.TXT"), "hq\r\n");
    Unit1::DestroyForm1(*form);
}

TEST(Form1, NoticeStripLinksOnlyAWebAddress)
{
    const struct {
        const wchar_t* address;
        bool linked;
    } cases[] = {
        {L"", false},
        {L"https://example.invalid/notice.html", true},
        {L"HTTP://example.invalid/", true},
        {L"http://", false},
        {L"file:///C:/windows/system32/calc.exe", false},
        {L"javascript:alert(1)", false},
        {L"C:\\tool.exe", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.address, c.address + wcslen(c.address)));
        EXPECT_EQ(Unit1::IsWebAddress(c.address), c.linked);
        TestFiles::TempFolder folder;
        OpenForm open(folder, "1", c.address);
        ASSERT_TRUE(open.created());
        Unit1::FormShow(open.form());
        const std::vector<HWND> inside = ChildrenOf(open["ScrollBox1"]);
        ASSERT_EQ(inside.size(), c.linked ? 1u : 0u);
        if (c.linked) {
            EXPECT_EQ(TextOf(inside[0]), c.address);
            EXPECT_TRUE(HasStyle(inside[0], SS_NOTIFY));
            EXPECT_FALSE(HasStyle(inside[0], WS_TABSTOP));
        }
    }
}

}  // namespace

namespace {

// Pumps the dialog's messages until the strip's picture satisfies `done`, for ten seconds at most.
template <typename Done>
bool WaitForPicture(Unit1::TForm1& form, Done done)
{
    for (int waited = 0; waited < 500; ++waited) {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (!Unit1::PictureBeingMade(form.picture) && form.picture.shown &&
            done(*form.picture.shown)) {
            return true;
        }
        Sleep(20);
    }
    return false;
}

}  // namespace

TEST(Form1, PictureOfTheRunFollowsTheValuesAndNeverSavesWritesOrShowsProgress)
{
    TestFiles::TempFolder folder;
    // Appended, not added: g++ 12 takes "+" with a literal here for overlapping copies.
    std::string drawing = TextKindDrawing(2);
    drawing.append("hp1 750 1000\r\nhp2 0 0\r\nhp3 1500 0\r\n");
    TestFiles::WriteBytes(folder / "JWC_TEMP.TXT", drawing);
    WriteSettings(folder, nullptr);
    const std::string settings = TestFiles::ReadBytes(folder / "Korvane.dat");
    OpenForm open(folder);
    ASSERT_TRUE(open.created());
    open.Show();
    Unit1::TForm1& form = open.form();
    ASSERT_TRUE(WaitForPicture(form, [](const Unit1::RunPicture& p) { return p.drawn; }));
    EXPECT_EQ(TextOf(form.noticeStrip), L"");

    // A value that fails its check: its message in the strip, the focus where the user types.
    SetFocus(open["Edit7"]);
    SetWindowTextW(open["Edit7"], L"0");
    const std::string invalid = Unit1::RefusedValueMessage(Dimension::SettingControl::Edit7);
    ASSERT_TRUE(
        WaitForPicture(form, [&](const Unit1::RunPicture& p) { return p.message == invalid; }));
    EXPECT_EQ(TextOf(form.noticeStrip), Unit1::Cp932ToWide(invalid));
    EXPECT_EQ(GetFocus(), open["Edit7"]);
    EXPECT_TRUE(ShownMessages().empty());

    // The larger window opens on a click on the strip; Esc in it closes it alone.
    SendMessageW(form.noticeStrip, WM_LBUTTONUP, 0, MAKELPARAM(100, 20));
    ASSERT_NE(form.picture.window, nullptr);
    EXPECT_EQ(TextOf(form.picture.window), Unit1::Cp932ToWide(Unit1::kPictureWindowCaption));
    SetWindowTextW(open["Edit7"], L"3");
    ASSERT_TRUE(WaitForPicture(form, [](const Unit1::RunPicture& p) { return p.drawn; }));
    SendMessageW(form.picture.window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(form.picture.window, nullptr);
    EXPECT_FALSE(form.run->closed);

    // It opened inside the work area, never over OK or Cancel, at least 1.5 times the strip each
    // way (the test screen's 1024 pixels leave no such room beside the dialog: it goes over the
    // dialog's controls).
    {
        MSG f2{open["Edit7"], WM_KEYDOWN, VK_F2, 0, 0, {}};
        ASSERT_TRUE(Unit1::HandlePictureKey(form, f2));
        ASSERT_NE(form.picture.window, nullptr);
        RECT dialog{};
        RECT picture{};
        RECT common{};
        GetWindowRect(form.handle, &dialog);
        GetWindowRect(form.picture.window, &picture);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        GetMonitorInfoW(MonitorFromWindow(form.handle, MONITOR_DEFAULTTONEAREST), &monitor);
        for (const char* button : {"Button1", "Button2"}) {
            RECT place{};
            GetWindowRect(open[button], &place);
            EXPECT_FALSE(IntersectRect(&common, &place, &picture)) << button;
        }
        EXPECT_TRUE(IntersectRect(&common, &picture, &monitor.rcWork) &&
                    EqualRect(&common, &picture));
        const RECT& work = monitor.rcWork;
        EXPECT_GE(picture.right - picture.left,
                  std::min<LONG>(Unit1::Scaled(738, form.dpi), work.right - work.left));
        EXPECT_GE(picture.bottom - picture.top,
                  std::min<LONG>(Unit1::Scaled(192, form.dpi), work.bottom - work.top));
        SendMessageW(form.picture.window, WM_KEYDOWN, VK_ESCAPE, 0);
    }

    // F2 opens it from any control, and the strip's tooltip says both ways.
    MSG f2{open["Edit7"], WM_KEYDOWN, VK_F2, 0, 0, {}};
    EXPECT_TRUE(Unit1::HandlePictureKey(form, f2));
    ASSERT_NE(form.picture.window, nullptr);
    f2.wParam = VK_F3;
    EXPECT_FALSE(Unit1::HandlePictureKey(form, f2));
    SendMessageW(form.picture.window, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_NE(form.stripTip, nullptr);
    wchar_t tip[80] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = form.handle;
    tool.uId = reinterpret_cast<UINT_PTR>(form.noticeStrip);
    tool.lpszText = tip;
    SendMessageW(form.stripTip, TTM_GETTEXTW, std::size(tip), reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(std::wstring(tip), L"\x30AF\x30EA\x30C3\x30AF\x3067\x62E1\x5927\x8868\x793A"
                                 L"\xFF08\xFF26\xFF12\xFF09");  // クリックで拡大表示（Ｆ２）
    EXPECT_FALSE(HasStyle(form.noticeStrip, WS_TABSTOP));

    // Pictures never save, write or show progress.
    EXPECT_EQ(TestFiles::ReadBytes(folder / "Korvane.dat"), settings);
    EXPECT_EQ(TestFiles::ReadBytes(folder / "JWC_TEMP.TXT"), drawing);
    EXPECT_EQ(TextOf(open["LabelA1"]), Unit1::Cp932ToWide(Unit1::kStatusIdle));
    EXPECT_EQ(RidEdaza::LineCount(form.run->writer.buffer), 0u);
}

// A window's client area as it is painted.
std::vector<std::uint32_t> ClientPixels(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    std::vector<std::uint32_t> pixels;
    HDC screen = GetDC(window);
    HDC dc = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP image = Unit1::MakeImage(dc, SIZE{client.right, client.bottom}, &bits);
    if (image && client.right > 0 && client.bottom > 0) {
        const HGDIOBJ old = SelectObject(dc, image);
        BitBlt(dc, 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
        GdiFlush();
        const auto* first = static_cast<const std::uint32_t*>(bits);
        pixels.assign(first, first + static_cast<std::size_t>(client.right) *
                                         static_cast<std::size_t>(client.bottom));
        for (std::uint32_t& p : pixels) p &= 0xFFFFFF;
        SelectObject(dc, old);
    }
    if (image) DeleteObject(image);
    DeleteDC(dc);
    ReleaseDC(window, screen);
    return pixels;
}

// The larger window painted again with the view's busy state set as given.
std::vector<std::uint32_t> RepaintedWithBusy(Unit1::PictureView& view, bool busy)
{
    const bool was = view.busy;
    view.busy = busy;
    InvalidateRect(view.window, nullptr, FALSE);
    UpdateWindow(view.window);
    view.busy = was;
    return ClientPixels(view.window);
}

// A picture that takes long: "作成中…" in the strip and the larger window after 300 ms, over the
// last picture; the picture's thread holds the model it reads, so closing the run (which lets go
// of the model) in the middle of it is safe, and the close waits only for the step being made.
TEST(Form1, LatePictureSaysSoAndClosingMidwayWaitsOnlyForAStep)
{
    TestFiles::TempFolder folder;
    std::string drawing = TextKindDrawing(2);
    drawing.append("hp1 0 -1000\r\n#\r\n");
    for (int i = 0; i < 60000; ++i) {
        drawing.append(std::to_string(i * 7) + " 0 " + std::to_string(i * 7) + " " +
                       std::to_string(10 + i % 13) + "\r\n");
    }
    TestFiles::WriteBytes(folder / "JWC_TEMP.TXT", drawing);
    WriteSettings(folder, [](Unit1::DialogState& s) { s.CheckBox5 = true; });
    OpenForm open(folder, "2");
    ASSERT_TRUE(open.created());
    open.Show();
    Unit1::TForm1& form = open.form();
    ASSERT_TRUE(WaitForPicture(form, [](const Unit1::RunPicture& p) { return p.drawn; }));
    EXPECT_EQ(TextOf(form.noticeStrip), L"");
    Unit1::OpenPictureWindow(form.picture);
    ASSERT_NE(form.picture.window, nullptr);
    ASSERT_TRUE(WaitForPicture(form, [&](const Unit1::RunPicture&) {
        return form.picture.windowImage != nullptr;
    }));
    // Whatever the opening asked for has been made: no picture for half a second, longer than
    // the pause after which a picture asked for starts. This is the one a change replaces.
    for (int quiet = 0; quiet < 25; Sleep(20)) {
        OpenForm::Pump();
        quiet = Unit1::PictureBeingMade(form.picture) ? 0 : quiet + 1;
    }
    const auto first = form.picture.shown;
    ASSERT_TRUE(first && first->drawn);

    // A new value: the old picture stays, and once the new one is late the strip and the larger
    // window say so (the window painted anew when the picture became late).
    SetWindowTextW(open["Edit4"], L"1");
    bool late = false;
    for (int waited = 0; waited < 200 && !late; ++waited) {
        OpenForm::Pump();
        late = TextOf(form.noticeStrip) == Cp932ToWide(Unit1::kPictureBusyText);
        Sleep(10);
    }
    if (Unit1::PictureBeingMade(form.picture) || late) {
        EXPECT_TRUE(late);
        EXPECT_EQ(form.picture.shown, first);
    }
    if (late && form.picture.busy) {
        UpdateWindow(form.picture.window);
        const std::vector<std::uint32_t> shown = ClientPixels(form.picture.window);
        EXPECT_EQ(shown, RepaintedWithBusy(form.picture, true));
        EXPECT_NE(shown, RepaintedWithBusy(form.picture, false));
    }
    ASSERT_TRUE(WaitForPicture(form, [&](const Unit1::RunPicture&) {
        return form.picture.shown != first;
    }));
    EXPECT_EQ(TextOf(form.noticeStrip), L"");
    EXPECT_FALSE(form.picture.busy);

    // Closing while a picture is being made.
    SetWindowTextW(open["Edit4"], L"2");
    Unit1::StartPictureOfRun(form);
    ASSERT_TRUE(Unit1::PictureBeingMade(form.picture));
    const DWORD before = GetTickCount();
    SendMessageW(form.handle, WM_CLOSE, 0, 0);
    EXPECT_LT(GetTickCount() - before, 1000u);
    EXPECT_TRUE(form.run->closed);
    EXPECT_FALSE(form.run->model);
    EXPECT_EQ(TestFiles::ReadBytes(folder / "JWC_TEMP.TXT"), "hq\r\n");
}

namespace {

// A list's notification, as the list sends it to the dialog.
void Notify(HWND list, int code)
{
    SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), code),
                 reinterpret_cast<LPARAM>(list));
}

// A list shows one thing and the dialog acts on it: only a choice changes the value. A list
// closed without one (Esc, a click elsewhere) shows the value it had before it opened, whatever
// the list control selected meanwhile (wine's list, opened from the keyboard, selects the item
// under a resting pointer and keeps it on Esc), and the greying and the picture stay with it; a
// choice brings them along, whichever order the close's notifications come in.
TEST(Form1, ListsShowWhatTheDialogActsOn)
{
    struct Step {
        int select;                 // what the list control selects on its own (CB_SETCURSEL)
        std::vector<int> codes;     // then the notifications it sends, in this order
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        int expected;  // the arrangement afterwards: shown, in the state, greyed by, saved by OK
    };
    const int kOpen = CBN_DROPDOWN;
    const Case cases[] = {
        {"Esc after the highlight moved",
         {{3, {kOpen, CBN_SELCHANGE, CBN_SELENDCANCEL, CBN_CLOSEUP}}},
         1},
        {"Esc, as wine sends it", {{3, {kOpen, CBN_SELENDCANCEL, CBN_CLOSEUP, CBN_SELCHANGE}}}, 1},
        {"closed without an end", {{3, {kOpen, CBN_CLOSEUP}}}, 1},
        {"a choice", {{3, {kOpen, CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP}}}, 3},
        {"a choice, closed first", {{2, {kOpen, CBN_CLOSEUP, CBN_SELENDOK, CBN_SELCHANGE}}}, 2},
        {"arrows on the closed list", {{2, {CBN_SELCHANGE}}, {3, {CBN_SELCHANGE}}}, 3},
        {"a choice, then Esc on the next opening",
         {{0, {kOpen, CBN_SELENDOK, CBN_CLOSEUP}}, {3, {kOpen, CBN_SELENDCANCEL, CBN_CLOSEUP}}}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestFiles::TempFolder folder;
        TestFiles::WriteBytes(folder / "JWC_TEMP.TXT", DrawableDrawing());
        WriteSettings(folder, [](Unit1::DialogState& s) { s.ComboBox6 = 1; });
        OpenForm open(folder);
        ASSERT_TRUE(open.created());
        open.Show();
        Unit1::TForm1& form = open.form();
        HWND list = open["ComboBox6"];
        for (const Step& step : c.steps) {
            SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(step.select), 0);
            for (const int code : step.codes) Notify(list, code);
            OpenForm::Pump();
        }
        EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), c.expected);
        EXPECT_EQ(form.state.ComboBox6, c.expected);
        // 累進 greys out the start marker and the dimension figures.
        EXPECT_EQ(IsWindowEnabled(open["ComboBox1"]) != FALSE, c.expected != 3);
        EXPECT_EQ(IsWindowEnabled(open["CheckBox4"]) != FALSE, c.expected != 3);
        ASSERT_TRUE(WaitForPicture(form, [](const Unit1::RunPicture& p) { return p.drawn; }));
        open.PressOk();
        ASSERT_TRUE(form.run->closed);
        Unit1::DialogState saved = Unit1::DefaultDialogState();
        saved.ComboBox3Items = Unit1::TextKindItems(RidEdaza::DrawingState{});
        Unit1::LoadSettings(saved, folder / "Korvane.dat");
        EXPECT_EQ(saved.ComboBox6, c.expected);
        const int expected = c.expected;
        EXPECT_EQ(TestFiles::ReadBytes(folder / "JWC_TEMP.TXT"),
                  CommandFileOfOk(DrawableDrawing(),
                                  [expected](Unit1::DialogState& s) { s.ComboBox6 = expected; }));
    }
}

// Under 累進 OK accepts the start marker without a selection (it draws none); it saves the list
// as its first item, so that the file loads as it was saved, and the dialog shows that item.
TEST(Form1, OkUnderCumulativeGivesAnEmptyStartMarkerItsFirstItemAndShowsIt)
{
    ShownForm shown(kOnePointDrawing, [](Unit1::DialogState& s) {
        s.ComboBox1 = 12;  // past the list: no selection
        s.ComboBox6 = 3;
    });
    ASSERT_TRUE(shown.open.created());
    auto& [folder, open] = shown;
    HWND marker = open["ComboBox1"];
    EXPECT_EQ(SendMessageW(marker, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_FALSE(IsWindowEnabled(marker));
    open.PressOk();
    ASSERT_EQ(ShownMessages().size(), 1u);  // too few points, after the save
    EXPECT_EQ(SendMessageW(marker, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(open.form().state.ComboBox1, 0);
    Unit1::DialogState saved = Unit1::DefaultDialogState();
    saved.ComboBox3Items = Unit1::TextKindItems(RidEdaza::DrawingState{});
    Unit1::LoadSettings(saved, folder / "Korvane.dat");
    EXPECT_EQ(saved.ComboBox1, 0);
    EXPECT_EQ(saved.ComboBox6, 3);
}

}  // namespace
