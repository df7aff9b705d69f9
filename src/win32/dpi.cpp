#include "win32/dpi.h"

#include <cstddef>

namespace tw::win {

namespace {

// Looked up once: Windows 7 has none of these.
template <typename F>
F UserFunction(const char* name) noexcept {
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 != nullptr ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
                           : nullptr;
}

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
using ParametersForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);

void RescaleFont(LOGFONTW& font, UINT from, UINT to) noexcept {
  font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(to), static_cast<int>(from));
  font.lfWidth = MulDiv(font.lfWidth, static_cast<int>(to), static_cast<int>(from));
}

}  // namespace

UINT SystemDpi() noexcept {
  const HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

UINT DpiOf(HWND window) noexcept {
  static const auto getDpiForWindow = UserFunction<GetDpiForWindowFn>("GetDpiForWindow");
  if (window != nullptr && getDpiForWindow != nullptr) {
    const UINT dpi = getDpiForWindow(window);
    if (dpi != 0) return dpi;
  }
  return SystemDpi();
}

RECT Scale(const RECT& r, UINT dpi) noexcept {
  return {Scale(r.left, dpi), Scale(r.top, dpi), Scale(r.right, dpi), Scale(r.bottom, dpi)};
}

SIZE FrameSizeFor(SIZE client100, DWORD style, DWORD exStyle, UINT dpi) noexcept {
  static const auto adjustForDpi = UserFunction<AdjustForDpiFn>("AdjustWindowRectExForDpi");
  RECT frame{0, 0, Scale(client100.cx, dpi), Scale(client100.cy, dpi)};
  if (adjustForDpi == nullptr || !adjustForDpi(&frame, style, FALSE, exStyle, dpi))
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  return {frame.right - frame.left, frame.bottom - frame.top};
}

void FitClientForDpi(HWND window, SIZE client100, UINT dpi, const RECT* at) noexcept {
  if (window == nullptr) return;
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
  SIZE size = FrameSizeFor(client100, style, exStyle, dpi);
  if (IsIconic(window)) {
    // A minimized window comes back at its restored place: size that one.
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(window, &placement)) return;
    RECT& normal = placement.rcNormalPosition;
    normal.left += (normal.right - normal.left - size.cx) / 2;
    normal.top += (normal.bottom - normal.top - size.cy) / 2;
    normal.right = normal.left + size.cx;
    normal.bottom = normal.top + size.cy;
    placement.showCmd = IsWindowVisible(window) ? SW_SHOWMINNOACTIVE : SW_HIDE;
    SetWindowPlacement(window, &placement);
    return;
  }
  RECT now{};
  GetWindowRect(window, &now);
  POINT corner{now.left + (now.right - now.left - size.cx) / 2,
               now.top + (now.bottom - now.top - size.cy) / 2};
  if (at != nullptr) corner = {at->left, at->top};
  SetWindowPos(window, nullptr, corner.x, corner.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  // The frame metrics the system uses may differ from the computed ones by
  // a pixel (Wine draws its own frames): correct by what the client got.
  RECT client{};
  GetClientRect(window, &client);
  const int dx = Scale(client100.cx, dpi) - client.right;
  const int dy = Scale(client100.cy, dpi) - client.bottom;
  if (dx != 0 || dy != 0) {
    size.cx += dx;
    size.cy += dy;
    SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
  }
}

bool NonClientMetricsFor(UINT dpi, NONCLIENTMETRICSW& metrics) noexcept {
  static const auto forDpi = UserFunction<ParametersForDpiFn>("SystemParametersInfoForDpi");
  metrics = {};
  // The record without the padded border width, as every Windows knows it.
  metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
  if (forDpi != nullptr && forDpi(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0, dpi)) return true;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return false;
  const UINT system = SystemDpi();
  if (system != dpi) {
    for (LOGFONTW* font : {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont, &metrics.lfMenuFont,
                           &metrics.lfStatusFont, &metrics.lfMessageFont}) {
      RescaleFont(*font, system, dpi);
    }
  }
  return true;
}

Font GuiFontFor(UINT dpi, LONG weight, bool underline) noexcept {
  LOGFONTW lf{};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
  // The stock font is made for the system DPI.
  RescaleFont(lf, SystemDpi(), dpi);
  if (weight != 0) lf.lfWeight = weight;
  lf.lfUnderline = underline ? TRUE : FALSE;
  return Font(CreateFontIndirectW(&lf));
}

}  // namespace tw::win
