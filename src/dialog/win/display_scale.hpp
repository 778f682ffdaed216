// Display scaling: the dialog is designed in pixels at 96 DPI and laid out at the DPI of the
// monitor its window stands on.
//
// The functions that know a window's own DPI exist only on newer Windows (GetDpiForWindow and
// GetSystemMetricsForDpi from Windows 10 1607, AdjustWindowRectExForDpi likewise); they are looked
// up at run time, and on older Windows the screen's LOGPIXELSY stands in, which is the one DPI a
// process there is laid out for.
#pragma once

#include <windows.h>

#include <cstdint>

namespace Unit1 {

inline constexpr int kDesignDpi = 96;

// The DPI of the window's monitor, as the window is scaled for; 96 when nothing says otherwise.
int WindowDpi(HWND window);

// A length of the 96-DPI design at this DPI, rounded to the nearest pixel (halves away from 0).
int Scaled(std::int32_t designPixels, int dpi);

// A rectangle of the 96-DPI design at this DPI: its edges are scaled, so that neighbours that
// touch in the design still touch.
RECT ScaledRect(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                int dpi);

// GetSystemMetrics as it is at this DPI (the check box's size SM_CXMENUCHECK, the borders).
int SystemMetricAt(int index, int dpi);

// The outer size of a window whose client area is `client`, at this DPI.
RECT OuterRectAt(RECT client, DWORD style, DWORD exStyle, int dpi);

}  // namespace Unit1
