#include "dialog/win/picture_view.hpp"

#include <shellapi.h>

#include <algorithm>
#include <exception>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <system_error>
#include <utility>

#include "common/fpu.hpp"
#include "dialog/controls.hpp"
#include "dialog/run_picture.hpp"
#include "dialog/window_place.hpp"
#include "dialog/win/display_scale.hpp"
#include "dialog/win/form_window.hpp"
#include "dialog/win/picture_painter.hpp"
#include "dialog/win/win_text.hpp"

namespace Unit1 {
namespace {

constexpr wchar_t kPictureWindowClass[] = L"TPictureWindow";
constexpr int kPictureWindowWidth = 760;
constexpr int kPictureWindowHeight = 360;
// Never smaller than 1.5 times the strip (492 x 128) each way, where the work area has the room:
// a larger window no larger than the strip would show nothing more.
constexpr int kPictureWindowLeastWidth = kClientWidth * 3 / 2;
constexpr int kPictureWindowLeastHeight = kStripFullHeight * 3 / 2;

// The view a window of the picture belongs to, from its GWLP_USERDATA.
PictureView* ViewOf(HWND window)
{
    return reinterpret_cast<PictureView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// The picture painted into a bitmap of the given size (white behind it); nullptr when Windows
// has no room for one. Any thread may paint one.
HBITMAP PaintedImage(const RunPicture& picture, SIZE size, PictureFit fit, int dpi,
                     const std::function<bool()>& stop = {})
{
    if (size.cx <= 0 || size.cy <= 0) return nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return nullptr;
    void* bits = nullptr;
    HBITMAP image = MakeImage(dc, size, &bits);
    if (image) {
        const HGDIOBJ old = SelectObject(dc, image);
        const RECT all{0, 0, size.cx, size.cy};
        FillRect(dc, &all, reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        PaintRunPicture(dc, all, picture, fit, dpi, stop);
        GdiFlush();
        SelectObject(dc, old);
    }
    DeleteDC(dc);
    return image;
}

void Forget(HBITMAP& image)
{
    if (image) DeleteObject(image);
    image = nullptr;
}

SIZE ClientSize(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

// Paints a window with its picture's image (white where there is none yet, or where the window
// has grown past the image until the image for the new size arrives).
void PaintImage(HWND window, HBITMAP image)
{
    PAINTSTRUCT paint{};
    HDC screen = BeginPaint(window, &paint);
    BITMAP bitmap{};
    HDC dc = image && GetObjectW(image, sizeof(bitmap), &bitmap) ? CreateCompatibleDC(screen)
                                                                 : nullptr;
    if (dc) {
        const HGDIOBJ old = SelectObject(dc, image);
        BitBlt(screen, 0, 0, bitmap.bmWidth, bitmap.bmHeight, dc, 0, 0, SRCCOPY);
        SelectObject(dc, old);
        DeleteDC(dc);
        ExcludeClipRect(screen, 0, 0, bitmap.bmWidth, bitmap.bmHeight);
    }
    FillRect(screen, &paint.rcPaint, reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EndPaint(window, &paint);
}

void PaintBusy(HWND window, HBITMAP image, HFONT font);

// What the strip says in words: its window text holds the message where there is no run (or
// "作成中…" while a picture is late), so that a screen reader (and a test) can read it.
void UpdateStripText(const PictureView& view)
{
    if (!view.host.strip) return;
    std::string words;
    if (view.busy) {
        words = kPictureBusyText;
    } else if (view.shown) {
        words = view.shown->drawn ? view.shown->note : view.shown->message;
    }
    SetWindowTextW(view.host.strip, Cp932ToWide(words).c_str());
    InvalidateRect(view.host.strip, nullptr, FALSE);
    // The larger window says "作成中…" as the strip does.
    if (view.window) InvalidateRect(view.window, nullptr, FALSE);
}

// Everything a picture's thread works from: its own copies, and the model it shares with the
// run. With `existing` set it only paints that picture again, for a new window size.
struct PictureJob {
    PictureInput input;
    std::shared_ptr<const RunPicture> existing;
    SIZE stripSize{};
    SIZE windowSize{};  // zero: no larger window open
    int dpi = kDesignDpi;
    HWND target = nullptr;
    PictureResult* result = nullptr;  // the view's, until the thread is joined
};

// The strip's image (unless only the larger window's is asked for) and the larger window's.
void PaintImages(const PictureJob& job, const RunPicture& picture, HBITMAP& strip,
                 HBITMAP& window, const std::function<bool()>& stopped)
{
    if (!stopped() && !job.existing) {
        strip = PaintedImage(picture, job.stripSize, PictureFit::Strip, job.dpi, stopped);
    }
    if (!stopped()) {
        window = PaintedImage(picture, job.windowSize, PictureFit::Window, job.dpi, stopped);
    }
}

// A picture of nothing: neither a run nor a message. Null when not even that can be had.
std::shared_ptr<const RunPicture> NoPicture() noexcept
{
    try {
        return std::make_shared<RunPicture>();
    } catch (const std::exception&) {
        return nullptr;
    }
}

// The picture that says it lacks the memory, with its images; null when not even that fits.
std::shared_ptr<const RunPicture> OutOfMemoryPicture(const PictureJob& job, HBITMAP& strip,
                                                     HBITMAP& window,
                                                     const std::function<bool()>& stopped)
{
    try {
        auto picture = std::make_shared<RunPicture>();
        picture->message = kPictureOutOfMemoryMessage;
        PaintImages(job, *picture, strip, window, stopped);
        return picture;
    } catch (const std::exception&) {
        Forget(strip);
        Forget(window);
        return nullptr;
    }
}

void MakePicture(const std::stop_token& stop, const PictureJob& job)
{
    // A thread of its own has the processor's default precision.
    MyFunc::UseExtendedPrecision();
    const std::function<bool()> stopped = [&stop] { return stop.stop_requested(); };
    std::shared_ptr<const RunPicture> picture = job.existing;
    HBITMAP strip = nullptr;
    HBITMAP window = nullptr;
    try {
        if (!picture) {
            auto made = std::make_shared<RunPicture>(
                PictureOfRun(*job.input.model, job.input.writer, job.input.request,
                             job.input.values, stopped));
            if (!made->stopped) picture = std::move(made);
        }
        if (picture) PaintImages(job, *picture, strip, window, stopped);
    } catch (const std::bad_alloc&) {
        // The shapes were made but not their painting: the picture says it lacks the memory,
        // in the few bytes that takes. What OK would draw is not known from this.
        Forget(strip);
        Forget(window);
        picture = job.existing;  // painting it again for a new size: it stays what it was
        if (!job.existing) picture = OutOfMemoryPicture(job, strip, window, stopped);
    } catch (const std::exception&) {
        // Nothing may leave the thread. A picture that could not be made is an empty one, so
        // that the strip and the larger window stop saying 作成中… over a picture of older values;
        // painting again for a new size keeps the picture it paints.
        Forget(strip);
        Forget(window);
        picture = job.existing ? job.existing : NoPicture();
    }
    if (stopped()) picture = nullptr;
    if (!picture) {
        Forget(strip);
        Forget(window);
    }
    // Read by the dialog's thread only once this thread is joined.
    job.result->picture = std::move(picture);
    job.result->stripImage = strip;
    job.result->windowImage = window;
    job.result->windowSize = job.windowSize;
    // Should the dialog be gone, closing it joins the thread all the same.
    PostMessageW(job.target, kPictureReadyMessage, 0, 0);
}

// Starts a thread on the job; false when no thread could be had.
bool StartJob(PictureView& view, PictureJob job)
{
    job.target = view.host.dialog;
    view.making = std::make_unique<PictureResult>();
    job.result = view.making.get();
    try {
        view.worker = std::jthread(
            [](std::stop_token stop, PictureJob own) { MakePicture(stop, own); },
            std::move(job));
        return true;
    } catch (const std::system_error&) {
        view.making.reset();
        return false;
    }
}

SIZE WindowImageSize(const PictureView& view)
{
    return view.window ? ClientSize(view.window) : SIZE{};
}

LRESULT CALLBACK PictureWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    PictureView* view = ViewOf(window);
    switch (message) {
    case WM_NCCREATE: {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        break;
    }
    case WM_PAINT:
        if (view && view->busy) {
            PaintBusy(window, view->windowImage, view->host.font);
            return 0;
        }
        if (view) {
            // The picture's thread painted the image; here it is only copied.
            PaintImage(window, view->windowImage);
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        return 1;  // the painting covers it all
    case WM_SIZE:
        if (view && view->host.dialog) {
            SetTimer(view->host.dialog, kWindowImageTimer, kWindowImagePauseMs, nullptr);
        }
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_KEYDOWN:
        // Esc closes this window while it is the active one; in the dialog Esc stays Cancel.
        if (wParam == VK_ESCAPE) {
            DestroyWindow(window);
            return 0;
        }
        break;
    case WM_NCDESTROY:
        if (view) {
            view->window = nullptr;
            Forget(view->windowImage);
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

PictureResult::~PictureResult()
{
    Forget(stripImage);
    Forget(windowImage);
}

PictureView::~PictureView()
{
    worker = std::jthread();  // stops and joins the thread, which may still paint
    Forget(stripImage);
    Forget(windowImage);
}

bool PictureBeingMade(const PictureView& view) { return view.worker.joinable(); }

void SchedulePicture(PictureView& view)
{
    if (view.host.dialog) SetTimer(view.host.dialog, kPictureTimer, kPicturePauseMs, nullptr);
}

void StartPicture(PictureView& view, PictureInput input)
{
    KillTimer(view.host.dialog, kPictureTimer);
    if (PictureBeingMade(view)) {
        // One at a time: the picture being made stops, and this one follows it.
        view.worker.request_stop();
        view.pending = true;
        return;
    }
    view.pending = false;
    PictureJob job;
    job.input = std::move(input);
    job.stripSize = view.host.strip ? ClientSize(view.host.strip) : SIZE{};
    job.windowSize = WindowImageSize(view);
    job.dpi = view.host.dpi;
    // No thread to be had: the strip keeps its picture.
    if (StartJob(view, std::move(job))) {
        SetTimer(view.host.dialog, kPictureBusyTimer, kPictureBusyMs, nullptr);
    }
}

void ShowPictureBusy(PictureView& view)
{
    KillTimer(view.host.dialog, kPictureBusyTimer);
    if (!PictureBeingMade(view) || view.busy) return;
    view.busy = true;
    UpdateStripText(view);
}

void RepaintPictureWindow(PictureView& view)
{
    KillTimer(view.host.dialog, kWindowImageTimer);
    const SIZE size = WindowImageSize(view);
    if (!view.shown || !view.window) return;
    if (size.cx == view.windowImageSize.cx && size.cy == view.windowImageSize.cy) return;
    // A picture being made paints for the size it started with; TakePicture looks again.
    if (PictureBeingMade(view)) return;
    // Only the picture already made is painted again: this needs nothing of the run.
    PictureJob job;
    job.existing = view.shown;
    job.windowSize = size;
    job.dpi = view.host.dpi;
    StartJob(view, std::move(job));
}

bool TakePicture(PictureView& view)
{
    if (!PictureBeingMade(view)) return false;
    view.worker.join();
    view.worker = std::jthread();
    const std::unique_ptr<PictureResult> result = std::move(view.making);
    std::shared_ptr<const RunPicture> picture = std::move(result->picture);
    HBITMAP strip = std::exchange(result->stripImage, nullptr);
    HBITMAP window = std::exchange(result->windowImage, nullptr);
    const bool repaintOnly = picture && picture == view.shown;
    if (view.pending || !picture) {
        Forget(strip);
        Forget(window);
        // Newer values wait: this picture is already out of date.
        return view.pending;
    }
    if (!repaintOnly) {
        view.shown = std::move(picture);
        Forget(view.stripImage);
        view.stripImage = strip;
        KillTimer(view.host.dialog, kPictureBusyTimer);
        view.busy = false;
        UpdateStripText(view);
    }
    Forget(view.windowImage);
    view.windowImage = window;
    view.windowImageSize = result->windowSize;
    if (view.window) {
        InvalidateRect(view.window, nullptr, FALSE);
        RepaintPictureWindow(view);  // the window changed size meanwhile
    }
    return false;
}

void StopPictureForOk(PictureView& view)
{
    if (!PictureBeingMade(view)) return;
    view.worker.request_stop();
    view.pending = true;
}

void EndPictures(PictureView& view)
{
    if (view.host.dialog) {
        for (UINT_PTR timer : {kPictureTimer, kPictureBusyTimer, kWindowImageTimer}) {
            KillTimer(view.host.dialog, timer);
        }
    }
    view.worker = std::jthread();  // asks it to stop and waits for its current step
    view.making.reset();
    view.pending = false;
    view.busy = false;
    if (view.window) DestroyWindow(view.window);
    Forget(view.stripImage);
    Forget(view.windowImage);
}

namespace {

// A note over the picture, in its top left-hand corner on white, so that it stays legible.
void PaintNote(HWND strip, const PictureHost& host, const std::string& note)
{
    HDC dc = GetDC(strip);
    if (!dc) return;
    const std::wstring text = Cp932ToWide(note);
    const HGDIOBJ oldFont = SelectObject(dc, host.font);
    const int margin = Scaled(2, host.dpi);
    RECT area{margin, margin, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(255, 255, 255));
    SetTextColor(dc, RGB(160, 0, 0));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
              DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    ReleaseDC(strip, dc);
}

// While a picture is late: the last one (the strip's or the larger window's image) dimmed, under
// "作成中…"; white where there is none yet.
void PaintBusy(HWND window, HBITMAP image, HFONT font)
{
    PAINTSTRUCT paint{};
    HDC screen = BeginPaint(window, &paint);
    const SIZE size = ClientSize(window);
    const RECT all{0, 0, size.cx, size.cy};
    FillRect(screen, &all, reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    BITMAP bitmap{};
    HDC dc = image && GetObjectW(image, sizeof(bitmap), &bitmap) ? CreateCompatibleDC(screen)
                                                                 : nullptr;
    if (dc) {
        const HGDIOBJ old = SelectObject(dc, image);
        // Two parts white to one of the picture: the picture is still there, but plainly not
        // the answer. (The image may be smaller than a window that has grown.)
        const int width = std::min<int>(bitmap.bmWidth, size.cx);
        const int height = std::min<int>(bitmap.bmHeight, size.cy);
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 85, 0};
        if (width > 0 && height > 0) {
            GdiAlphaBlend(screen, 0, 0, width, height, dc, 0, 0, width, height, blend);
        }
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    const std::wstring text = Cp932ToWide(kPictureBusyText);
    const HGDIOBJ oldFont = SelectObject(screen, font);
    SetBkMode(screen, TRANSPARENT);
    SetTextColor(screen, RGB(0, 0, 0));
    RECT area = all;
    DrawTextW(screen, text.c_str(), static_cast<int>(text.size()), &area,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(screen, oldFont);
    EndPaint(window, &paint);
}

// The strip: its picture (with its note, if any), or while a picture is late the last one
// dimmed under "作成中…".
void PaintStrip(HWND strip, const PictureView& view)
{
    if (view.busy) {
        PaintBusy(strip, view.stripImage, view.host.font);
        return;
    }
    PaintImage(strip, view.stripImage);
    if (view.shown && view.shown->drawn && !view.shown->note.empty()) {
        PaintNote(strip, view.host, view.shown->note);
    }
}

}  // namespace

LRESULT CALLBACK PictureStripProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        if (const PictureView* view = ViewOf(window)) {
            PaintStrip(window, *view);
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_CTLCOLORSTATIC: {
        // The notice page's link, in its corner of the picture.
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, RGB(0, 0, 204));
        SetBkColor(dc, RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    }
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    case WM_LBUTTONUP:
        // Only the user's click opens the larger window; a click on the link opens the page.
        if (PictureView* view = ViewOf(window)) OpenPictureWindow(*view);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == STN_CLICKED && lParam != 0) {
            HWND link = reinterpret_cast<HWND>(lParam);
            const auto length = static_cast<std::size_t>(GetWindowTextLengthW(link));
            std::wstring address(length + 1, L'\0');
            address.resize(static_cast<std::size_t>(
                GetWindowTextW(link, address.data(), static_cast<int>(address.size()))));
            if (IsWebAddress(address)) {
                ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr,
                              SW_SHOWNORMAL);
            }
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

namespace {

ScreenRect ToScreenRect(const RECT& r) { return ScreenRect{r.left, r.top, r.right, r.bottom}; }

}  // namespace

void OpenPictureWindow(PictureView& view)
{
    if (!view.host.dialog) return;
    if (view.window) {
        ShowWindow(view.window, SW_SHOWNORMAL);
        SetForegroundWindow(view.window);
        return;
    }
    const PictureHost& host = view.host;
    RECT dialog{};
    GetWindowRect(host.dialog, &dialog);
    RECT buttons{};
    for (HWND control : host.keepClear) {
        RECT button{};
        if (control && GetWindowRect(control, &button)) UnionRect(&buttons, &buttons, &button);
    }
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(host.dialog, MONITOR_DEFAULTTONEAREST), &monitor);
    const ScreenRect place = PlacePictureWindow(
        ToScreenRect(dialog), ToScreenRect(buttons), ToScreenRect(monitor.rcWork),
        ScreenSize{Scaled(kPictureWindowWidth, host.dpi), Scaled(kPictureWindowHeight, host.dpi)},
        ScreenSize{Scaled(kPictureWindowLeastWidth, host.dpi),
                   Scaled(kPictureWindowLeastHeight, host.dpi)});
    const std::wstring title = Cp932ToWide(kPictureWindowCaption);
    // Owned by the dialog: it stays above it and goes with it.
    view.window = CreateWindowExW(
        0, kPictureWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, place.left,
        place.top, place.right - place.left, place.bottom - place.top, host.dialog, nullptr,
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(host.dialog, GWLP_HINSTANCE)), &view);
    if (!view.window) return;
    ShowWindow(view.window, SW_SHOWNORMAL);
    RepaintPictureWindow(view);
}

void HidePictureWindowWithDialog(PictureView& view)
{
    if (!view.window || !IsWindowVisible(view.window)) return;
    ShowWindow(view.window, SW_HIDE);
    view.hiddenWithDialog = true;
}

void ShowPictureWindowWithDialog(PictureView& view)
{
    if (!view.window || !view.hiddenWithDialog) return;
    ShowWindow(view.window, SW_SHOWNOACTIVATE);
    view.hiddenWithDialog = false;
}

bool RegisterPictureClasses(HINSTANCE instance)
{
    return RegisterWindowClass(instance, kPictureWindowClass, PictureWindowProc);
}

}  // namespace Unit1
