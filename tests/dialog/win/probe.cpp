// korvane-probe: looks at the running dialog from inside Windows, for what X cannot see (the
// focused control, the message box, the window's position), and prepares the test prefix.
//
//   korvane-probe setup                  font replacement and virtual desktop in the registry
//   korvane-probe wait-window SECONDS    waits for the dialog; prints its outer rectangle
//   korvane-probe wait-gone SECONDS      waits until the dialog has closed
//   korvane-probe rect                   outer left top right bottom, client width height
//   korvane-probe client-origin          the client area's top-left in screen coordinates
//   korvane-probe work-area              the work area of the dialog's monitor (the primary one
//                                        without a dialog): left top right bottom
//   korvane-probe close-box              the centre of the caption's close button
//   korvane-probe focus                  class and client position of the focused control
//   korvane-probe message-box SECONDS KIND
//                                        waits for a message box and checks its title, text
//                                        and icon: KIND too-few-points, cannot-dimension or
//                                        out-of-memory
//   korvane-probe no-message-box         fails when a message box is open
//   korvane-probe title                  the dialog's title
//   korvane-probe answers SECONDS        the longest the dialog keeps a message waiting, over
//                                        SECONDS or until the dialog closes; how many probes
//                                        took longer than 100 ms
//   korvane-probe status-text            the text of LabelA1, the status strip
//   korvane-probe strip-text             the text of the strip below the controls (the
//                                        picture's message, empty while it shows a run)
//   korvane-probe strip-pixels           a hash of the strip's pixels and how many are not white
//   korvane-probe strip-settled SECONDS  waits for the strip's picture to stop changing, with no
//                                        words in it; then as strip-pixels
//   korvane-probe strip-divider          where the strip's picture of both directions splits:
//                                        "column X", "row Y" or "none"
//   korvane-probe picture-window SECONDS waits for the larger picture window; prints its title
//   korvane-probe picture-pixels         the same as strip-pixels for the larger window
//   korvane-probe dialog-hidden          the dialog's window exists but is not shown
//   korvane-probe application            checks the task-bar window's title and that it owns
//                                        the dialog
//   korvane-probe control NAME...        a control of the table (found by its id): its selected
//                                        item (lists; -1 none), whether it is enabled, whether
//                                        its list is open, its screen rectangle and item height
//   korvane-probe list-item INDEX        the screen centre of an item of the open drop-down list
//   korvane-probe choose NAME INDEX      selects a list's item as the arrow keys on the closed
//                                        list do: CB_SETCURSEL, then CBN_SELCHANGE to the dialog
//   korvane-probe minimise               what the dialog's minimise box sends
//   korvane-probe restore                what a click on the minimised task-bar button sends
//
// Output is one line of UTF-8; the exit code is 0 when the thing looked for was found.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "dialog/controls.hpp"
#include "dialog/win/display_scale.hpp"
#include "dialog/win/win_text.hpp"

namespace {

std::string Utf8(const std::wstring& text)
{
    if (text.empty()) return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                        length, nullptr, nullptr);
    return bytes;
}

void Print(const std::string& line)
{
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::wstring TextOf(HWND window)
{
    wchar_t buffer[1024] = {};
    GetWindowTextW(window, buffer, 1024);
    return buffer;
}

std::wstring ClassOf(HWND window)
{
    wchar_t buffer[256] = {};
    GetClassNameW(window, buffer, 256);
    return buffer;
}

// The dialog, whatever its title says (a vertical run's title differs).
HWND FindDialog()
{
    HWND form = FindWindowW(L"TForm1", nullptr);
    return form && IsWindowVisible(form) ? form : nullptr;
}

bool WaitFor(double seconds, HWND (*find)())
{
    for (int waited = 0; waited <= static_cast<int>(seconds * 10); ++waited) {
        if (find()) return true;
        Sleep(100);
    }
    return false;
}

bool SetRegistryText(HKEY root, const wchar_t* key, const std::wstring& name,
                     const std::wstring& value)
{
    HKEY handle = nullptr;
    if (RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    const LONG result = RegSetValueExW(handle, name.c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}

int Setup()
{
    // The dialog asks for ＭＳ ゴシック; IPAGothic has nearly the same metrics.
    const bool font = SetRegistryText(HKEY_CURRENT_USER, L"Software\\Wine\\Fonts\\Replacements",
                                      Unit1::Cp932ToWide(Unit1::kFontName), L"IPAGothic");
    // A virtual desktop draws the window frame, so the close box exists to be clicked.
    const bool desktop =
        SetRegistryText(HKEY_CURRENT_USER, L"Software\\Wine\\Explorer", L"Desktop", L"Default") &&
        SetRegistryText(HKEY_CURRENT_USER, L"Software\\Wine\\Explorer\\Desktops", L"Default",
                        L"1024x768");
    // Wine's message boxes use Tahoma, which has no Japanese: link IPAGothic behind it, as
    // Windows links its Japanese font behind its UI fonts, so that screenshots are legible.
    const std::wstring link = std::wstring(L"ipag.ttf,IPAGothic") + L'\0';
    HKEY handle = nullptr;
    const wchar_t* key = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink";
    bool linked = RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                  &handle, nullptr) == ERROR_SUCCESS;
    if (linked) {
        linked = RegSetValueExW(handle, L"Tahoma", 0, REG_MULTI_SZ,
                                reinterpret_cast<const BYTE*>(link.c_str()),
                                static_cast<DWORD>((link.size() + 1) * sizeof(wchar_t))) ==
                 ERROR_SUCCESS;
        RegCloseKey(handle);
    }
    const bool done = font && desktop && linked;
    Print(done ? "setup done" : "setup failed");
    return done ? 0 : 1;
}

struct MessageBoxSearch {
    HWND form;
    HWND found;
};

// EnumWindows' callback: a named function, because the callback is stdcall on 32-bit Windows.
BOOL CALLBACK FindOwnedMessageBox(HWND window, LPARAM data)
{
    auto* s = reinterpret_cast<MessageBoxSearch*>(data);
    if (GetWindow(window, GW_OWNER) == s->form && IsWindowVisible(window) &&
        ClassOf(window) == L"#32770") {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

// The message box the dialog shows, found by ownership rather than by title.
HWND FindMessageBox()
{
    HWND form = FindWindowW(L"TForm1", nullptr);
    if (!form) return nullptr;
    HWND popup = GetWindow(form, GW_ENABLEDPOPUP);
    if (popup && ClassOf(popup) == L"#32770" && IsWindowVisible(popup)) return popup;
    MessageBoxSearch search{form, nullptr};
    EnumWindows(FindOwnedMessageBox, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    // A box shown before the dialog (the drawing could not be read) stands on its own.
    HWND alone = FindWindowW(L"#32770", Unit1::Cp932ToWide(Unit1::kMessageTitle).c_str());
    return alone && IsWindowVisible(alone) ? alone : nullptr;
}

// A copy of a part of the screen in a 32-bit bitmap, which can be drawn on as well.
class ScreenCopy {
public:
    ScreenCopy(int left, int top, int width, int height) : width_(width), height_(height)
    {
        screen_ = GetDC(nullptr);
        memory_ = CreateCompatibleDC(screen_);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(screen_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<const std::uint32_t*>(bits);
        old_ = SelectObject(memory_, bitmap_);
        BitBlt(memory_, 0, 0, width, height, screen_, left, top, SRCCOPY);
        GdiFlush();
    }
    ~ScreenCopy()
    {
        SelectObject(memory_, old_);
        DeleteObject(bitmap_);
        DeleteDC(memory_);
        ReleaseDC(nullptr, screen_);
    }
    ScreenCopy(const ScreenCopy&) = delete;
    ScreenCopy& operator=(const ScreenCopy&) = delete;

    HDC dc() const { return memory_; }
    // The pixels as 0xRRGGBB, row by row.
    std::vector<std::uint32_t> Pixels() const
    {
        GdiFlush();
        std::vector<std::uint32_t> pixels(
            bits_, bits_ + static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));
        for (std::uint32_t& p : pixels) p &= 0xFFFFFF;
        return pixels;
    }

private:
    int width_;
    int height_;
    HDC screen_ = nullptr;
    HDC memory_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    const std::uint32_t* bits_ = nullptr;
};

// The screen's pixels of a window's client area, as 0xRRGGBB.
std::vector<std::uint32_t> ClientPixels(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    if (client.right <= 0 || client.bottom <= 0) return {};
    return ScreenCopy(origin.x, origin.y, client.right, client.bottom).Pixels();
}

// A picture's pixels in one line: a hash that changes when the picture does, and how many of
// them are not white (a blank picture has none).
std::string PixelSummary(HWND window)
{
    std::uint64_t hash = 14695981039346656037ull;
    std::size_t ink = 0;
    for (std::uint32_t p : ClientPixels(window)) {
        hash = (hash ^ p) * 1099511628211ull;
        if (p != 0xFFFFFF) ++ink;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%016llx ink %zu", static_cast<unsigned long long>(hash), ink);
    return text;
}

int PicturePixels(HWND window)
{
    if (!window) {
        Print("no window");
        return 1;
    }
    Print(PixelSummary(window));
    return 0;
}

// Waits until the window shows a picture that no longer changes (the same pixels twice, 300 ms
// apart, and no words: no message, no 作成中…); prints its pixels as PicturePixels does.
int SettledPicture(HWND window, double seconds)
{
    std::string last;
    for (double waited = 0.0; waited <= seconds; waited += 0.3) {
        if (!window || !IsWindow(window)) {
            Print("no window");
            return 1;
        }
        const std::string now = PixelSummary(window);
        if (TextOf(window).empty() && now == last) {
            Print(now);
            return 0;
        }
        last = TextOf(window).empty() ? now : std::string();
        Sleep(300);
    }
    Print("not settled");
    return 1;
}

// Where a picture of both directions splits into its two parts: the column or row that is the
// light line between them over most of its length (the notice link may cover a corner), or none.
int PictureDivider(HWND window)
{
    if (!window) {
        Print("no window");
        return 1;
    }
    RECT client{};
    GetClientRect(window, &client);
    const std::vector<std::uint32_t> pixels = ClientPixels(window);
    const auto width = static_cast<std::size_t>(client.right);
    const auto height = static_cast<std::size_t>(client.bottom);
    if (width < 3 || height < 3 || pixels.size() < width * height) {
        Print("none");
        return 0;
    }
    // The first of `lines` (not at the edge) that is the light line over 3/4 of its `length`.
    const auto find = [&](std::size_t lines, std::size_t length, auto pixel) -> std::size_t {
        for (std::size_t i = 1; i + 1 < lines; ++i) {
            std::size_t on = 0;
            for (std::size_t j = 0; j < length; ++j) on += pixel(i, j) == 0xD0D0D0u;
            if (on * 4 >= length * 3) return i;
        }
        return 0;
    };
    const auto at = [&](std::size_t x, std::size_t y) { return pixels[y * width + x]; };
    if (const std::size_t x = find(width, height, at)) {
        Print("column " + std::to_string(x));
        return 0;
    }
    const auto across = [&](std::size_t y, std::size_t x) { return at(x, y); };
    if (const std::size_t y = find(height, width, across)) {
        Print("row " + std::to_string(y));
        return 0;
    }
    Print("none");
    return 0;
}

HWND FindStrip()
{
    HWND form = FindDialog();
    return form ? FindWindowExW(form, nullptr, L"TScrollBox", nullptr) : nullptr;
}

HWND FindPictureWindow()
{
    HWND window = FindWindowW(L"TPictureWindow", nullptr);
    return window && IsWindowVisible(window) ? window : nullptr;
}

// Which standard icon the message box shows: its pixels on the screen against each standard
// icon drawn on the same background. The other process's icon handle cannot be read from here.
std::string IconName(HWND box)
{
    HWND iconControl = nullptr;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == L"Static" &&
            (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            iconControl = child;
        }
    }
    if (!iconControl) return "none";
    RECT r{};
    GetWindowRect(iconControl, &r);
    const int w = GetSystemMetrics(SM_CXICON);
    const int h = GetSystemMetrics(SM_CYICON);
    ScreenCopy copy(r.left, r.top, w, h);
    const std::vector<std::uint32_t> captured = copy.Pixels();
    const std::uint32_t background = captured[0];

    struct Candidate {
        const wchar_t* id;
        const char* name;
    };
    const Candidate candidates[] = {{IDI_QUESTION, "question"}, {IDI_WARNING, "warning"},
                                    {IDI_ERROR, "error"}, {IDI_INFORMATION, "information"}};
    std::string best = "unknown";
    long bestDifference = -1;
    for (const Candidate& candidate : candidates) {
        HBRUSH fill = CreateSolidBrush(RGB((background >> 16) & 0xFF, (background >> 8) & 0xFF,
                                           background & 0xFF));
        RECT all{0, 0, w, h};
        FillRect(copy.dc(), &all, fill);
        DeleteObject(fill);
        DrawIconEx(copy.dc(), 0, 0, LoadIconW(nullptr, candidate.id), w, h, 0, nullptr, DI_NORMAL);
        const std::vector<std::uint32_t> drawn = copy.Pixels();
        long difference = 0;
        for (std::size_t i = 0; i < drawn.size(); ++i) {
            if (drawn[i] != captured[i]) ++difference;
        }
        if (bestDifference < 0 || difference < bestDifference) {
            bestDifference = difference;
            best = candidate.name;
        }
    }
    return best + " (" + std::to_string(bestDifference) + " pixels differ)";
}

int MessageBoxReport(double seconds, const std::wstring& kind)
{
    std::string_view expectedText;
    std::string expectedIcon;
    if (kind == L"too-few-points") {
        expectedText = Unit1::kTooFewPointsMessage;
        expectedIcon = "question";
    } else if (kind == L"cannot-dimension") {
        expectedText = Unit1::kCannotDimensionMessage;
        expectedIcon = "warning";
    } else if (kind == L"out-of-memory") {
        expectedText = Unit1::kOutOfMemoryMessage;
        expectedIcon = "warning";
    } else {
        return 64;
    }
    if (!WaitFor(seconds, FindMessageBox)) {
        Print("no message box");
        return 1;
    }
    Sleep(500);  // let it paint before its icon is read off the screen
    HWND box = FindMessageBox();
    std::wstring text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == L"Static" && GetDlgCtrlID(child) == 0xFFFF) text = TextOf(child);
    }
    const std::string icon = IconName(box);
    const bool matches = TextOf(box) == Unit1::Cp932ToWide(Unit1::kMessageTitle) &&
                         text == Unit1::Cp932ToWide(expectedText) &&
                         icon.rfind(expectedIcon + " ", 0) == 0;
    Print(std::string(matches ? "ok" : "mismatch") + ": title=" + Utf8(TextOf(box)) +
          " text=" + Utf8(text) + " icon=" + icon);
    return matches ? 0 : 1;
}

int Focus()
{
    HWND form = FindDialog();
    if (!form) {
        Print("no dialog");
        return 1;
    }
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &info) || !info.hwndFocus) {
        Print("no focus");
        return 1;
    }
    RECT r{};
    GetWindowRect(info.hwndFocus, &r);
    POINT topLeft{r.left, r.top};
    ScreenToClient(form, &topLeft);
    Print(Utf8(ClassOf(info.hwndFocus)) + " " + std::to_string(topLeft.x) + " " +
          std::to_string(topLeft.y));
    return 0;
}

// A message to the dialog that gives up when the dialog does not answer, so that a hung dialog
// fails the test instead of hanging the probe.
bool Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &answer)) {
        Print("the dialog does not answer");
        return false;
    }
    result = static_cast<LRESULT>(answer);
    return true;
}

int CloseBox()
{
    HWND form = FindDialog();
    if (!form) return 1;
    RECT r{};
    GetWindowRect(form, &r);
    for (int y = r.top; y < r.top + 40; ++y) {
        for (int x = r.right - 1; x > r.right - 80; --x) {
            LRESULT hit = 0;
            if (!Ask(form, WM_NCHITTEST, 0,
                     MAKELPARAM(static_cast<short>(x), static_cast<short>(y)), hit)) {
                return 1;
            }
            if (hit == HTCLOSE) {
                Print(std::to_string(x - 6) + " " + std::to_string(y + 6));
                return 0;
            }
        }
    }
    Print("no close box");
    return 1;
}

int Application(const std::wstring& command)
{
    HWND application = FindWindowW(L"TApplication", nullptr);
    HWND form = FindWindowW(L"TForm1", nullptr);
    if (!application || !form) {
        Print("no application window or no dialog");
        return 1;
    }
    if (command == L"minimise") {
        LRESULT ignored = 0;
        if (!Ask(form, WM_SYSCOMMAND, SC_MINIMIZE, 0, ignored)) return 1;
        const bool done = IsIconic(application) && !IsWindowVisible(form);
        Print(done ? "minimised" : "not minimised");
        return done ? 0 : 1;
    }
    if (command == L"restore") {
        LRESULT ignored = 0;
        if (!Ask(application, WM_SYSCOMMAND, SC_RESTORE, 0, ignored)) return 1;
        const bool done = !IsIconic(application) && IsWindowVisible(form);
        Print(done ? "restored" : "not restored");
        return done ? 0 : 1;
    }
    const bool right = TextOf(application) == Unit1::Cp932ToWide(Unit1::kApplicationTitle) &&
                       GetWindow(form, GW_OWNER) == application;
    Print(Utf8(TextOf(application)) + (right ? "" : " (wrong title or not the owner)"));
    return right ? 0 : 1;
}

// A control of the table in the dialog, found by its place: the window among the dialog's
// children that starts at the table's left and whose middle lies in the table's rows (at the
// dialog's DPI; a check box is centred on its row). Ids would change with the table's order,
// places do not.
HWND FindControl(const std::wstring& name)
{
    HWND form = FindDialog();
    if (!form) return nullptr;
    const int dpi = Unit1::WindowDpi(form);
    for (const Unit1::ControlSpec& spec : Unit1::DialogControls()) {
        if (Unit1::Cp932ToWide(spec.name) != name || !spec.parent.empty()) continue;
        const RECT place = Unit1::ScaledRect(spec.left, spec.top, spec.width, spec.height, dpi);
        for (HWND child = GetWindow(form, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            RECT r{};
            GetWindowRect(child, &r);
            MapWindowPoints(HWND_DESKTOP, form, reinterpret_cast<POINT*>(&r), 2);
            const LONG middle = (r.top + r.bottom) / 2;
            if (r.left == place.left && middle >= place.top && middle <= place.bottom) {
                return child;
            }
        }
    }
    return nullptr;
}

int ControlReport(const std::wstring& name)
{
    HWND control = FindControl(name);
    if (!control) {
        Print("no control");
        return 1;
    }
    LRESULT selected = -1;
    LRESULT dropped = 0;
    LRESULT itemHeight = 0;
    if (ClassOf(control) == L"ComboBox") {
        if (!Ask(control, CB_GETCURSEL, 0, 0, selected) ||
            !Ask(control, CB_GETDROPPEDSTATE, 0, 0, dropped) ||
            !Ask(control, CB_GETITEMHEIGHT, 0, 0, itemHeight)) {
            return 1;
        }
        if (selected == CB_ERR) selected = -1;
    }
    RECT r{};
    GetWindowRect(control, &r);
    Print("selected " + std::to_string(selected) + " enabled " +
          std::to_string(IsWindowEnabled(control) ? 1 : 0) + " dropped " +
          std::to_string(dropped ? 1 : 0) + " rect " + std::to_string(r.left) + " " +
          std::to_string(r.top) + " " + std::to_string(r.right) + " " + std::to_string(r.bottom) +
          " item " + std::to_string(itemHeight));
    return 0;
}

// The open drop-down list: a visible popup of the list class of combo boxes.
HWND FindOpenList()
{
    HWND list = nullptr;
    while ((list = FindWindowExW(nullptr, list, L"ComboLBox", nullptr)) != nullptr) {
        if (IsWindowVisible(list)) return list;
    }
    return nullptr;
}

int ListItem(int index)
{
    HWND list = FindOpenList();
    LRESULT height = 0;
    LRESULT top = 0;
    if (!list || !Ask(list, LB_GETITEMHEIGHT, 0, 0, height) ||
        !Ask(list, LB_GETTOPINDEX, 0, 0, top)) {
        Print("no open list");
        return 1;
    }
    RECT client{};
    GetClientRect(list, &client);
    POINT centre{client.right / 2,
                 static_cast<LONG>((index - top) * height + height / 2)};
    ClientToScreen(list, &centre);
    Print(std::to_string(centre.x) + " " + std::to_string(centre.y));
    return 0;
}

int Choose(const std::wstring& name, int index)
{
    HWND control = FindControl(name);
    const int id = control ? GetDlgCtrlID(control) : 0;
    LRESULT ignored = 0;
    if (!control || !Ask(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0, ignored) ||
        !Ask(GetParent(control), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
             reinterpret_cast<LPARAM>(control), ignored)) {
        return 1;
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) return 64;
    const std::wstring command = argv[1];
    const double seconds = argc > 2 ? _wtof(argv[2]) : 0.0;
    if (command == L"setup") return Setup();
    if (command == L"wait-window" || command == L"rect") {
        if (command == L"wait-window" && !WaitFor(seconds, FindDialog)) {
            Print("no dialog");
            return 1;
        }
        HWND form = FindDialog();
        if (!form) {
            Print("no dialog");
            return 1;
        }
        RECT outer{};
        RECT client{};
        GetWindowRect(form, &outer);
        GetClientRect(form, &client);
        Print(std::to_string(outer.left) + " " + std::to_string(outer.top) + " " +
              std::to_string(outer.right) + " " + std::to_string(outer.bottom) + " " +
              std::to_string(client.right) + " " + std::to_string(client.bottom));
        return 0;
    }
    if (command == L"wait-gone") {
        for (int waited = 0; waited <= static_cast<int>(seconds * 10); ++waited) {
            if (!FindWindowW(L"TForm1", nullptr)) return 0;
            Sleep(100);
        }
        Print("dialog still open");
        return 1;
    }
    if (command == L"client-origin") {
        HWND form = FindDialog();
        if (!form) return 1;
        POINT origin{0, 0};
        ClientToScreen(form, &origin);
        Print(std::to_string(origin.x) + " " + std::to_string(origin.y));
        return 0;
    }
    if (command == L"work-area") {
        HWND form = FindDialog();
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        HMONITOR at = form ? MonitorFromWindow(form, MONITOR_DEFAULTTONEAREST)
                           : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
        if (!GetMonitorInfoW(at, &monitor)) return 1;
        const RECT& r = monitor.rcWork;
        Print(std::to_string(r.left) + " " + std::to_string(r.top) + " " +
              std::to_string(r.right) + " " + std::to_string(r.bottom));
        return 0;
    }
    if (command == L"title") {
        HWND form = FindDialog();
        if (!form) return 1;
        Print(Utf8(TextOf(form)));
        return 0;
    }
    if (command == L"answers") {
        // How long the dialog keeps a message waiting, at the most, over SECONDS: a dialog
        // busy on its own thread answers late.
        HWND form = FindDialog();
        if (!form) return 1;
        const DWORD end = GetTickCount() + static_cast<DWORD>(seconds * 1000);
        LARGE_INTEGER frequency{};
        QueryPerformanceFrequency(&frequency);
        double longest = 0.0;
        int probes = 0;
        int late = 0;
        while (GetTickCount() < end) {
            LARGE_INTEGER before{};
            LARGE_INTEGER after{};
            QueryPerformanceCounter(&before);
            DWORD_PTR ignored = 0;
            const LRESULT answered =
                SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &ignored);
            QueryPerformanceCounter(&after);
            if (!IsWindow(form)) break;  // OK has closed it
            if (!answered) {
                Print("no answer");
                return 1;
            }
            const double ms = static_cast<double>(after.QuadPart - before.QuadPart) * 1000.0 /
                              static_cast<double>(frequency.QuadPart);
            longest = std::max(longest, ms);
            ++probes;
            if (ms > 100.0) ++late;
            Sleep(20);
        }
        Print("longest " + std::to_string(static_cast<int>(longest + 0.999)) + " ms, " +
              std::to_string(probes) + " probes, " + std::to_string(late) + " over 100 ms");
        return 0;
    }
    if (command == L"strip-text") {
        HWND strip = FindStrip();
        if (!strip) return 1;
        Print(Utf8(TextOf(strip)));
        return 0;
    }
    if (command == L"strip-pixels") return PicturePixels(FindStrip());
    if (command == L"strip-divider") return PictureDivider(FindStrip());
    if (command == L"status-text") {
        HWND form = FindDialog();
        HWND status = form ? GetDlgItem(form, 90) : nullptr;
        if (!status) return 1;
        Print(Utf8(TextOf(status)));
        return 0;
    }
    if (command == L"picture-window") {
        if (!WaitFor(seconds, FindPictureWindow)) {
            Print("no picture window");
            return 1;
        }
        Print(Utf8(TextOf(FindPictureWindow())));
        return 0;
    }
    if (command == L"picture-pixels") return PicturePixels(FindPictureWindow());
    if (command == L"picture-window-rect") {
        HWND window = FindPictureWindow();
        if (!window) return 1;
        RECT r{};
        GetWindowRect(window, &r);
        Print(std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) +
              " " + std::to_string(r.bottom));
        return 0;
    }
    if (command == L"dialog-hidden") {
        return FindWindowW(L"TForm1", nullptr) && !FindDialog() ? 0 : 1;
    }
    if (command == L"close-box") return CloseBox();
    if (command == L"control" && argc > 2) {
        for (int i = 2; i < argc; ++i) {
            if (const int status = ControlReport(argv[i]); status != 0) return status;
        }
        return 0;
    }
    if (command == L"strip-settled") return SettledPicture(FindStrip(), seconds);
    if (command == L"list-item" && argc > 2) return ListItem(_wtoi(argv[2]));
    if (command == L"choose" && argc > 3) return Choose(argv[2], _wtoi(argv[3]));
    if (command == L"focus") return Focus();
    if (command == L"message-box") return MessageBoxReport(seconds, argc > 3 ? argv[3] : L"");
    if (command == L"no-message-box") {
        if (FindMessageBox()) {
            Print("message box open");
            return 1;
        }
        return 0;
    }
    if (command == L"application" || command == L"minimise" || command == L"restore") {
        return Application(command);
    }
    return 64;
}
