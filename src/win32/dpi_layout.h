// The children of a window at 100 % and their fonts, carried out for the
// window's DPI. A window creates its children at their 100 % places, calls
// Capture once, then ChangeDpi at once and again on WM_DPICHANGED:
//
//   CreateControls();                 // 100 % coordinates, as designed
//   layout_.Capture(Handle());
//   layout_.SetFont(heading, win::DpiLayout::FontKind::Bold);
//   win::ChangeDpi(layout_, {width100, height100}, win::DpiOf(Handle()), nullptr, steps);
//
// Apply sends every child kSetDpiMessage (the own controls size their
// insides by it), moves it to its 100 % rectangle scaled, and gives it the
// GUI font of its kind made for the DPI.
#pragma once

#include <functional>
#include <vector>

#include "win32/dpi.h"
#include "win32/handle.h"
#include "win32/windows_headers.h"

namespace tw::win {

// Sent to a child with the new DPI in wParam before it is moved.
inline constexpr UINT kSetDpiMessage = WM_APP + 0x1D0;

// The fonts, pictures and icons a DPI change replaces. They are freed only
// when the change is over: a child that repaints half-way through must never
// draw with a deleted object.
class RetiredGdi {
 public:
  void Keep(Font& font) { Keep(fonts_, font); }
  void Keep(Bitmap& bitmap) { Keep(bitmaps_, bitmap); }
  void Keep(Icon& icon) { Keep(icons_, icon); }

 private:
  template <typename H>
  static void Keep(std::vector<H>& bin, H& handle) {
    if (handle) bin.push_back(std::move(handle));
  }
  std::vector<Font> fonts_;
  std::vector<Bitmap> bitmaps_;
  std::vector<Icon> icons_;
};

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
  // An owned pop-up (a tooltip) that takes the GUI font of the layout.
  void AddPopup(HWND popup);
  // Makes the fonts for `dpi`; the old ones go to `retired`.
  void MakeFonts(UINT dpi, RetiredGdi& retired);
  // Gives the window the program's icon in the sizes of `dpi` (the caption's
  // small one, the Alt+Tab large one); the old ones go to `retired`.
  void MakeIcons(UINT dpi, RetiredGdi& retired);
  // Tells every child the DPI of the fonts made last, gives it its font
  // and places it.
  void Apply();

  HWND Parent() const noexcept { return parent_; }
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
  std::vector<HWND> popups_;
  HWND parent_ = nullptr;
  UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
  bool applied_ = false;
  win::Font gui_;
  win::Font bold_;
  win::Font link_;
  win::Icon smallIcon_;
  win::Icon bigIcon_;
};

// What a window adds to a DPI change.
struct DpiSteps {
  // Makes the window's own fonts and pictures for the DPI and hands them to
  // its children; what they replace goes to `retired`.
  std::function<void(UINT dpi, RetiredGdi& retired)> make;
  // What depends on the children's new places (columns, tab stops).
  std::function<void(UINT dpi)> laidOut;
};

// The one DPI change of every window, in a fixed order: the new fonts and
// pictures are made, the children told and placed, the window given its
// client area `client100` scaled (at `suggested`, WM_DPICHANGED's rectangle,
// when given), and only then the old objects freed. Also the first layout
// of a new window.
void ChangeDpi(DpiLayout& layout, SIZE client100, UINT dpi, const RECT* suggested, const DpiSteps& steps);

// On WM_SIZE: a window restored from the taskbar after a DPI change while
// minimized may come back at its old size (the X11 driver of Wine keeps the
// old one); it gets the client area of its DPI again, its corner kept.
void KeepClientSize(const DpiLayout& layout, SIZE client100, WPARAM sizeKind) noexcept;

// The answer to WM_GETDPISCALEDSIZE: the outer size of `window` with its
// client area `client100` at the DPI in wParam, into the SIZE at lParam.
LRESULT DpiScaledSize(HWND window, SIZE client100, WPARAM wParam, LPARAM lParam) noexcept;

}  // namespace tw::win
