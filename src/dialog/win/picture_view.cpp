#include "dialog/win/picture_view.hpp"

#include <shellapi.h>

#include <algorithm>
#include <exception>
#include <string>
#include <system_error>
#include <utility>

#include "common/fpu.hpp"
#include "dialog/controls.hpp"
#include "dialog/win/form.hpp"
#include "dialog/win/form_window.hpp"
#include "dialog/win/picture_painter.hpp"
#include "dialog/win/win_text.hpp"

namespace Unit1 {
namespace {

constexpr wchar_t kPictureWindowClass[] = L"TPictureWindow";
constexpr int kPictureWindowWidth = 760;
constexpr int kPictureWindowHeight = 360;

TForm1* FormOfStrip(HWND strip)
{
    HWND form = GetParent(strip);
    return form ? reinterpret_cast<TForm1*>(GetWindowLongPtrW(form, GWLP_USERDATA)) : nullptr;
}

// The picture painted into a bitmap of the given size (white behind it); nullptr when Windows
// has no room for one. Any thread may paint one.
HBITMAP PaintedImage(const RunPicture& picture, SIZE size, PictureFit fit)
{
    if (size.cx <= 0 || size.cy <= 0) return nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP image = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (image) {
        const HGDIOBJ old = SelectObject(dc, image);
        const RECT all{0, 0, size.cx, size.cy};
        FillRect(dc, &all, reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        PaintRunPicture(dc, all, picture, fit);
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

// Paints a window with its picture's image (white where there is none yet).
void PaintImage(HWND window, HBITMAP image)
{
    PAINTSTRUCT paint{};
    HDC screen = BeginPaint(window, &paint);
    const SIZE size = ClientSize(window);
    HDC dc = image ? CreateCompatibleDC(screen) : nullptr;
    if (dc) {
        const HGDIOBJ old = SelectObject(dc, image);
        BitBlt(screen, 0, 0, size.cx, size.cy, dc, 0, 0, SRCCOPY);
        SelectObject(dc, old);
        DeleteDC(dc);
    } else {
        FillRect(screen, &paint.rcPaint, reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    EndPaint(window, &paint);
}

// What the strip says in words: its window text holds the message where there is no run, so
// that a screen reader (and a test) can read it.
void ShowPicture(TForm1& form, RunPicture picture, HBITMAP stripImage)
{
    PictureView& view = form.picture;
    view.shown = std::move(picture);
    Forget(view.stripImage);
    view.stripImage = stripImage;
    Forget(view.windowImage);
    if (form.noticeStrip) {
        const std::string words = view.shown.drawn ? std::string() : view.shown.message;
        SetWindowTextW(form.noticeStrip, Cp932ToWide(words).c_str());
        InvalidateRect(form.noticeStrip, nullptr, FALSE);
    }
    if (view.window) InvalidateRect(view.window, nullptr, FALSE);
}

void JoinWorker(PictureView& view)
{
    if (view.worker.joinable()) view.worker.join();
    view.running = false;
}

LRESULT CALLBACK PictureWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* form = reinterpret_cast<TForm1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_NCCREATE: {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        break;
    }
    case WM_PAINT:
        if (form) {
            // Painted once for each picture and size, then only copied to the screen.
            PictureView& view = form->picture;
            const SIZE size = ClientSize(window);
            if (!view.windowImage || size.cx != view.windowImageSize.cx ||
                size.cy != view.windowImageSize.cy) {
                Forget(view.windowImage);
                view.windowImage = PaintedImage(view.shown, size, PictureFit::Window);
                view.windowImageSize = size;
            }
            PaintImage(window, view.windowImage);
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        return 1;  // the painting covers it all
    case WM_SIZE:
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
        if (form) {
            form->picture.window = nullptr;
            Forget(form->picture.windowImage);
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

PictureView::~PictureView()
{
    stop = true;
    if (worker.joinable()) worker.join();
    Forget(finishedImage);
    Forget(stripImage);
    Forget(windowImage);
}

void SchedulePicture(TForm1& form)
{
    if (!form.handle || !form.run.opened || form.run.closed) return;
    SetTimer(form.handle, kPictureTimer, kPicturePauseMs, nullptr);
}

void StartPicture(TForm1& form)
{
    PictureView& view = form.picture;
    KillTimer(form.handle, kPictureTimer);
    if (!form.run.opened || form.run.closed || form.run.outOfMemory) return;
    if (view.running) {
        // One at a time: the picture being made stops, and this one follows it.
        view.stop = true;
        view.pending = true;
        return;
    }
    view.pending = false;
    view.stop = false;
    view.running = true;
    // Everything the thread reads besides the model is its own copy.
    const HWND target = form.handle;
    const RidEdaza::DrawingModel& model = form.run.model;
    const SIZE stripSize = form.noticeStrip ? ClientSize(form.noticeStrip) : SIZE{};
    try {
        view.worker = std::thread(
            [&view, &model, target, stripSize, writer = form.run.writer,
             arguments = form.run.arguments, values = ReadDialogState(form)]() {
                // A thread of its own has the processor's default precision.
                MyFunc::UseExtendedPrecision();
                RunPicture picture;
                HBITMAP image = nullptr;
                try {
                    picture = PictureOfRun(model, writer, arguments, values,
                                           [&view] { return view.stop.load(); });
                    if (!picture.stopped) {
                        image = PaintedImage(picture, stripSize, PictureFit::Strip);
                    }
                } catch (const std::exception&) {
                    // Nothing may leave the thread; a picture that could not be made is none.
                    picture = RunPicture{};
                    picture.stopped = true;
                }
                {
                    const std::lock_guard<std::mutex> lock(view.mutex);
                    view.finished = std::move(picture);
                    view.finishedImage = image;
                }
                PostMessageW(target, kPictureReadyMessage, 0, 0);
            });
    } catch (const std::system_error&) {
        view.running = false;  // no thread to be had: the strip keeps its picture
    }
}

void TakePicture(TForm1& form)
{
    PictureView& view = form.picture;
    if (!view.running) return;
    JoinWorker(view);
    RunPicture picture;
    HBITMAP image = nullptr;
    {
        const std::lock_guard<std::mutex> lock(view.mutex);
        picture = std::move(view.finished);
        image = view.finishedImage;
        view.finishedImage = nullptr;
    }
    if (view.pending || picture.stopped) {
        Forget(image);
        // Newer values wait: this picture is already out of date.
        if (view.pending) StartPicture(form);
        return;
    }
    ShowPicture(form, std::move(picture), image);
}

void StopPictureForOk(TForm1& form)
{
    PictureView& view = form.picture;
    if (!view.running) return;
    view.stop = true;
    view.pending = true;
}

void EndPictures(TForm1& form)
{
    PictureView& view = form.picture;
    if (form.handle) KillTimer(form.handle, kPictureTimer);
    view.stop = true;
    JoinWorker(view);
    view.pending = false;
    if (view.window) DestroyWindow(view.window);
    Forget(view.finishedImage);
    Forget(view.stripImage);
    Forget(view.windowImage);
}

LRESULT CALLBACK PictureStripProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        if (TForm1* form = FormOfStrip(window)) {
            PaintImage(window, form->picture.stripImage);
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
        if (TForm1* form = FormOfStrip(window)) OpenPictureWindow(*form);
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

void OpenPictureWindow(TForm1& form)
{
    PictureView& view = form.picture;
    if (view.window) {
        ShowWindow(view.window, SW_SHOWNORMAL);
        SetForegroundWindow(view.window);
        return;
    }
    // Over the strip, leaving the controls above it free to change, and on the dialog's monitor.
    RECT strip{};
    GetWindowRect(form.noticeStrip ? form.noticeStrip : form.handle, &strip);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(form.handle, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const LONG left =
        std::max(work.left, std::min(strip.left, work.right - kPictureWindowWidth));
    const LONG top =
        std::max(work.top, std::min(strip.top, work.bottom - kPictureWindowHeight));
    const std::wstring title = Cp932ToWide(kPictureWindowCaption);
    // Owned by the dialog: it stays above it and goes with it.
    view.window = CreateWindowExW(
        0, kPictureWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, left, top,
        kPictureWindowWidth, kPictureWindowHeight, form.handle, nullptr,
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(form.handle, GWLP_HINSTANCE)), &form);
    if (view.window) ShowWindow(view.window, SW_SHOWNORMAL);
}

void HidePictureWindowWithDialog(TForm1& form)
{
    PictureView& view = form.picture;
    if (!view.window || !IsWindowVisible(view.window)) return;
    ShowWindow(view.window, SW_HIDE);
    view.hiddenWithDialog = true;
}

void ShowPictureWindowWithDialog(TForm1& form)
{
    PictureView& view = form.picture;
    if (!view.window || !view.hiddenWithDialog) return;
    ShowWindow(view.window, SW_SHOWNOACTIVATE);
    view.hiddenWithDialog = false;
}

bool RegisterPictureClasses(HINSTANCE instance)
{
    return RegisterWindowClass(instance, kPictureWindowClass, PictureWindowProc);
}

}  // namespace Unit1
