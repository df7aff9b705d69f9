// The about window: version, author, the maker's site and support
// community as links, the blinking marker S1 and the close button XpB1.
#pragma once

#include "controls/xp_button.h"
#include "win32/dpi_layout.h"
#include "win32/handle.h"
#include "win32/timer.h"
#include "win32/window.h"

namespace tw {

inline constexpr int kAboutClientWidth = 300;
inline constexpr int kAboutClientHeight = 150;
// Control ids (tests find the labels by them).
inline constexpr int kAboutLabel1 = 201;
inline constexpr int kAboutLabel2 = 202;
inline constexpr int kAboutLabel3 = 203;
inline constexpr int kAboutLabel4 = 204;
inline constexpr int kAboutLabel5 = 205;
inline constexpr int kAboutLabel6 = 206;
inline constexpr int kAboutXpB1 = 210;
inline constexpr RECT kAboutS1Rect{16, 118, 24, 126};

class AboutWindow : public win::Window {
 public:
  AboutWindow();
  ~AboutWindow() override;
  // Creates the window (hidden) over `owner`; ShowModal shows it and
  // returns when it is closed.
  bool Create(HWND owner);
  void ShowModal(HWND owner);

  bool S1Visible() const { return s1Visible_; }
  XpButton& XpB1() { return close_; }
  HBITMAP Picture1() const { return pictures_.Normal(); }
  HBITMAP Picture2() const { return pictures_.Hover(); }
  UINT Dpi() const { return layout_.Dpi(); }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void CreateControls();
  HWND AddLabel(int id, const std::string& text, int x, int y, int width, bool link);
  void OnPaint();
  void ApplyDpi(UINT dpi, const RECT* suggested = nullptr);

  XpButton close_;
  win::WindowTimer timer1_;
  XpHoverPictures pictures_;  // Picture1, Picture2
  win::DpiLayout layout_;
  bool s1Visible_ = true;
};

}  // namespace tw
