// Display scale of the program's windows. Every window keeps its layout in
// 100 % values (96 DPI) and turns them into pixels with Scale(value, dpi) for
// the DPI of the window (per monitor on Windows 10 and newer, the system's on
// Windows 7 and 8). Functions newer than Windows 7 are looked up at run time.
//
//   const UINT dpi = win::DpiOf(hwnd);
//   MoveWindow(child, win::Scale(16, dpi), win::Scale(14, dpi), ...);
//   win::Font font = win::GuiFontFor(dpi);
//   case WM_DPICHANGED: win::FitClientForDpi(hwnd, {w100, h100}, win::DpiOfMessage(wParam),
//                                             reinterpret_cast<const RECT*>(lParam));
#pragma once

#include "program/dpi_scale.h"
#include "win32/handle.h"
#include "win32/windows_headers.h"

namespace tw::win {

// The system's DPI (the screen's LOGPIXELSY).
UINT SystemDpi() noexcept;
// The DPI a window is shown at: GetDpiForWindow where Windows has it, the
// system DPI otherwise (also for a null window).
UINT DpiOf(HWND window) noexcept;
// The new DPI carried by WM_DPICHANGED.
inline UINT DpiOfMessage(WPARAM wParam) noexcept { return HIWORD(wParam); }

// A 100 % value in pixels at `dpi`: MulDiv(value, dpi, 96).
inline int Scale(int value, UINT dpi) noexcept { return ScaleToDpi(value, static_cast<int>(dpi)); }
RECT Scale(const RECT& rect100, UINT dpi) noexcept;

// The outer size of a window of `style`/`exStyle` (no menu) whose client
// area is `client100` at 100 %, at `dpi` (AdjustWindowRectExForDpi, or
// AdjustWindowRectEx before Windows 10).
SIZE FrameSizeFor(SIZE client100, DWORD style, DWORD exStyle, UINT dpi) noexcept;
// Gives `window` the client area client100 scaled to `dpi`. With `at` the
// window's top-left corner goes there (WM_DPICHANGED's suggested rectangle);
// otherwise it keeps its centre.
void FitClientForDpi(HWND window, SIZE client100, UINT dpi, const RECT* at = nullptr) noexcept;

// The system's non-client metrics with the fonts sized for `dpi`
// (SystemParametersInfoForDpi, or the system's metrics rescaled).
bool NonClientMetricsFor(UINT dpi, NONCLIENTMETRICSW& metrics) noexcept;
// The GUI font of the labels (the stock DEFAULT_GUI_FONT's face and size in
// points) for `dpi`; `weight` 0 keeps the font's own weight.
Font GuiFontFor(UINT dpi, LONG weight = 0, bool underline = false) noexcept;

}  // namespace tw::win
