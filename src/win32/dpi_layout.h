// The children of a window at 100 % and their fonts, carried out for the
// window's DPI. A window creates its children at their 100 % places, calls
// Capture once, then Apply(dpi) at once and again on WM_DPICHANGED:
//
//   CreateControls();                 // 100 % coordinates, as designed
//   layout_.Capture(Handle());
//   layout_.SetFont(heading, win::DpiLayout::FontKind::Bold);
//   layout_.Apply(win::DpiOf(Handle()));
//
// Apply sends every child kSetDpiMessage (the own controls size their
// insides by it), moves it to its 100 % rectangle scaled, and gives it the
// GUI font of its kind made for the DPI.
#pragma once

#include <vector>

#include "win32/dpi.h"
#include "win32/handle.h"
#include "win32/windows_headers.h"

namespace tw::win {

// Sent to a child with the new DPI in wParam before it is moved.
inline constexpr UINT kSetDpiMessage = WM_APP + 0x1D0;

class DpiLayout {
 public:
  enum class FontKind { None, Gui, Bold, Link };

  // Records every direct child of `parent` as it stands now (100 %), each
  // with the GUI font.
  void Capture(HWND parent);
  // Records one more child (created later) at its 100 % rectangle.
  void Add(HWND child, const RECT& rect100, FontKind font = FontKind::Gui);
  // A child's font kind; given to it at once when the layout is applied.
  void SetFont(HWND child, FontKind font);
  // A new 100 % rectangle for a recorded child, placed at once.
  void Move(HWND child, const RECT& rect100);
  // Places every child for `dpi` and makes the fonts for it.
  void Apply(UINT dpi);

  UINT Dpi() const noexcept { return dpi_; }
  int Scale(int value100) const noexcept { return win::Scale(value100, dpi_); }
  RECT Scale(const RECT& rect100) const noexcept { return win::Scale(rect100, dpi_); }
  HFONT Font(FontKind font) const noexcept;

 private:
  struct Child {
    HWND hwnd;
    RECT rect100;
    FontKind font;
  };
  Child* Find(HWND child) noexcept;
  void Place(const Child& child) const noexcept;

  std::vector<Child> children_;
  UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
  bool applied_ = false;
  win::Font gui_;
  win::Font bold_;
  win::Font link_;
};

}  // namespace tw::win
