// CInfoTip: a small borderless top-most information window near the mouse
// pointer with an optional bold title, a separator line, a border and a
// soft drop shadow. The arithmetic lives in info_tip_model.h.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "controls/info_tip_model.h"
#include "win32/gdi.h"
#include "win32/window.h"
#include "win32/windows_headers.h"

namespace tw {

class InfoTip : private win::Window {
 public:
  InfoTip();
  // Releasing the tip hides it (and raises Closed).
  ~InfoTip() override;

  InfoTipProperties& Properties() { return props_; }
  const InfoTipProperties& Properties() const { return props_; }
  void SetText(std::string text) { props_.Text = std::move(text); }
  void SetTitle(std::string title) { props_.Title = std::move(title); }
  void SetShowTitle(bool show) { props_.ShowTitle = show; }
  void SetDropShadow(bool shadow) { props_.DropShadow = shadow; }
  void SetUseTimeOut(bool use) { props_.UseTimeOut = use; }
  void SetTimeOut(int ms) { props_.TimeOut = ms; }
  // Owner of the popup window.
  void SetParenthWnd(HWND owner) { owner_ = owner; }
  // The DPI the tip is drawn for: its owner's unless set here.
  void SetDpi(UINT dpi) { dpi_ = dpi; }
  // The popup window while shown, otherwise null.
  HWND hWnd() const { return Handle(); }
  static std::string Version() { return kInfoTipVersion; }

  // cp1251 texts; an empty message means Text, an empty title means Title.
  // Shows the tip near the pointer without taking the focus.
  void Show(const std::string& message = {}, const std::string& title = {});
  // Destroys the popup window if there is one and raises Closed, always.
  void Hide();
  // The system about box owned by ParenthWnd.
  void About();

  std::function<void()> Closed;

  // A text as the last Show drew it: where, in which font, with which
  // DrawText flags (tests measure whether it fits).
  struct DrawnText {
    std::wstring text;
    RECT rect{};
    LOGFONTW font{};
    UINT format = 0;
  };
  const std::vector<DrawnText>& Drawn() const { return drawn_; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  win::Font MakeFont(UINT dpi, bool title) const;
  UINT Dpi() const;
  void Paint(HDC dc, Size body, const std::wstring& message, const std::wstring& title, int titleHeight,
             UINT dpi);
  void DrawShadow(HDC dc, Size window, UINT dpi);

  InfoTipProperties props_;
  HWND owner_ = nullptr;
  UINT dpi_ = 0;
  // The finished picture of the tip (body and shadow), painted on WM_PAINT.
  std::unique_ptr<win::OffscreenSurface> surface_;
  // The screen behind the tip as it was before the tip covered it.
  std::unique_ptr<win::OffscreenSurface> behind_;
  RECT behindRect_{};
  std::vector<DrawnText> drawn_;
};

using CInfoTip = InfoTip;

}  // namespace tw
