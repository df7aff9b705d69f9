// Small GDI helpers: a select-object restorer that keeps the DC it restores,
// a window DC that is released on the same window, and colour helpers.
#pragma once

#include <cstdint>

#include "win32/handle.h"
#include "win32/windows_headers.h"

namespace tw::win {

// Selects `object` into `dc` and puts the previous object back on
// destruction, into that same DC.
class SelectObjectRestorer {
 public:
  SelectObjectRestorer(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(SelectObject(dc, object)) {}
  SelectObjectRestorer(const SelectObjectRestorer&) = delete;
  SelectObjectRestorer& operator=(const SelectObjectRestorer&) = delete;
  ~SelectObjectRestorer() {
    if (old_ != nullptr && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }
  HDC Dc() const noexcept { return dc_; }
  HGDIOBJ Previous() const noexcept { return old_; }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// GetDC / ReleaseDC on the same window.
class WindowDc {
 public:
  explicit WindowDc(HWND hwnd) noexcept : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(hwnd_, dc_);
  }
  HDC Get() const noexcept { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// BeginPaint / EndPaint.
class PaintDc {
 public:
  explicit PaintDc(HWND hwnd) noexcept : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  ~PaintDc() { EndPaint(hwnd_, &ps_); }
  HDC Get() const noexcept { return dc_; }
  const PAINTSTRUCT& Info() const noexcept { return ps_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_ = nullptr;
};

// A memory DC with a compatible bitmap selected into it, for flicker-free
// painting and for tests that read pixels back.
class OffscreenSurface {
 public:
  OffscreenSurface(HDC reference, int width, int height) noexcept;
  HDC Dc() const noexcept { return dc_.Get(); }
  HBITMAP BitmapHandle() const noexcept { return bitmap_.Get(); }
  int Width() const noexcept { return width_; }
  int Height() const noexcept { return height_; }

 private:
  MemoryDc dc_;
  Bitmap bitmap_;
  int width_;
  int height_;
  // Declared last: restores the DC's first bitmap before the two above go.
  SelectObjectRestorer selection_;
};

// A colour of the program (0x00BBGGRR, or 0x80000000 + n for system colour n)
// as a COLORREF.
COLORREF ResolveSystemColor(std::uint32_t color) noexcept;

}  // namespace tw::win
