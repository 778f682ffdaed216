#include "dialog/win/display_scale.hpp"

namespace Unit1 {
namespace {

// A function of user32 that older Windows lacks, or nullptr.
template <typename Function>
Function User32Function(const char* name)
{
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32) return nullptr;
    // The cast through a generic function pointer keeps -Wcast-function-type quiet: the type is
    // the documented one of the named function.
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(user32, name)));
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

int ScreenDpi()
{
    HDC screen = GetDC(nullptr);
    if (!screen) return kDesignDpi;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDesignDpi;
}

}  // namespace

int WindowDpi(HWND window)
{
    if (window) {
        if (const auto function = User32Function<GetDpiForWindowFunction>("GetDpiForWindow")) {
            const UINT dpi = function(window);
            if (dpi > 0) return static_cast<int>(dpi);
        }
    }
    return ScreenDpi();
}

int Scaled(std::int32_t designPixels, int dpi)
{
    const long long product = static_cast<long long>(designPixels) * dpi;
    const long long half = kDesignDpi / 2;
    const long long rounded =
        product >= 0 ? (product + half) / kDesignDpi : -((-product + half) / kDesignDpi);
    return static_cast<int>(rounded);
}

RECT ScaledRect(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                int dpi)
{
    return RECT{Scaled(left, dpi), Scaled(top, dpi), Scaled(left + width, dpi),
                Scaled(top + height, dpi)};
}

int SystemMetricAt(int index, int dpi)
{
    if (const auto function =
            User32Function<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi")) {
        return function(index, static_cast<UINT>(dpi));
    }
    // Older Windows gives the metrics at the screen's DPI, the only one it lays windows out at.
    const int screen = ScreenDpi();
    const int metric = GetSystemMetrics(index);
    return screen == dpi ? metric : MulDiv(metric, dpi, screen);
}

RECT OuterRectAt(RECT client, DWORD style, DWORD exStyle, int dpi)
{
    if (const auto function =
            User32Function<AdjustWindowRectExForDpiFunction>("AdjustWindowRectExForDpi")) {
        if (function(&client, style, FALSE, exStyle, static_cast<UINT>(dpi))) return client;
    }
    AdjustWindowRectEx(&client, style, FALSE, exStyle);
    return client;
}

}  // namespace Unit1
