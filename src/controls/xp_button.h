// XpB: the program's own push button as a child window. The rules live in
// xp_button_model.h; this window turns them into GDI calls and messages.
#pragma once

#include <functional>
#include <string>

#include "controls/xp_button_model.h"
#include "win32/dpi_layout.h"
#include "win32/handle.h"
#include "win32/timer.h"
#include "win32/window.h"
#include "win32/windows_headers.h"

namespace tw {

// The picture of a button: a bitmap or an icon, owned by the window that
// hosts the button (windows swap pictures on MouseIn / MouseOut).
struct XpPicture {
  HBITMAP bitmap = nullptr;
  HICON icon = nullptr;
  bool Empty() const { return bitmap == nullptr && icon == nullptr; }
};

struct XpButtonEvents {
  std::function<void()> Click;
  std::function<void(int& key, int& shift)> KeyDown;
  std::function<void(int& key, int& shift)> KeyUp;
  std::function<void(int button, int shift, float x, float y)> MouseDown;
  std::function<void(int button, int shift, float x, float y)> MouseUp;
  std::function<void(int& unused)> MouseIn;
  std::function<void(int& unused)> MouseOut;
  // The keyboard focus came (true) or went (false).
  std::function<void(bool gained)> Focus;
};

// Sent to a button with a cp1251 character in wParam; returns 1 when it
// was the button's access key and Click was raised.
inline constexpr UINT kXpAccessKeyMessage = WM_APP + 0x101;
// Offers an Alt+key character to every XpB under `root`.
bool DispatchAccessKey(HWND root, wchar_t character) noexcept;

class XpButton : public win::Window, private XpButtonHost {
 public:
  XpButton();
  ~XpButton() override;

  bool Create(HWND parent, int id, int x, int y, int width, int height, const XpButtonProperties& props,
              bool visible = true);

  XpButtonEvents events;

  // Paints the area behind the button (e.g. the host's background picture);
  // `origin` is the button's top-left corner in the parent. Without one the
  // button clears to the button-face colour.
  using BackgroundPainter = std::function<void(HDC dc, POINT origin, int width, int height)>;
  void SetBackgroundPainter(BackgroundPainter painter);

  const XpButtonProperties& Properties() const { return props_; }
  void SetCaption(std::string caption);
  void SetButtonStyle(int style);
  void SetPicturePosition(int position);
  void SetShowFocusRect(bool show);
  void SetMaskColor(Color color);
  void SetUseMaskColor(bool use);
  void SetXPColor_Pressed(Color color) { props_.XPColor_Pressed = color; }
  void SetXPColor_Hover(Color color) { props_.XPColor_Hover = color; }
  void SetXPDefaultColors(bool use) { props_.XPDefaultColors = use; }
  // What a screen reader says for the button (cp1251), e.g. its command when
  // it shows only a picture. Without one it says the caption.
  void SetAccessibleName(std::string name);
  Color MaskColor() const { return props_.MaskColor; }
  // Also takes the picture's own size for the layout.
  void SetPicture(XpPicture picture);
  XpPicture Picture() const { return picture_; }

  bool EnabledCtrl() const;
  void SetEnabledCtrl(bool enabled);
  void Refresh() override;
  HWND mhwnd() const { return Handle(); }

  const XpButtonFlags& Flags() const { return states_.Flags(); }
  bool TrackingTimerEnabled() const { return timer_.Enabled(); }
  // Draws the button as it is now into `dc` (0, 0 is the button's corner).
  void Render(HDC dc);
  // The DPI the button sizes its insets, gap and smallest size for (its
  // parent's when created; the parent's layout sends kSetDpiMessage).
  UINT Dpi() const { return dpi_; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  // XpButtonHost
  bool PointerOverControl() override;
  void CaptureMouse() override;
  void ReleaseMouse() override;
  void SetTrackingTimer(bool enabled) override;
  void RaiseClick() override;
  void RaiseMouseIn() override;
  void RaiseMouseOut() override;
  void RaiseMouseDown(int button, int shift, float x, float y) override;
  void RaiseMouseUp(int button, int shift, float x, float y) override;
  void RaiseKeyDown(int& key, int& shift) override;
  void RaiseKeyUp(int& key, int& shift) override;

  void OnSize(int width, int height);
  void OnPaint();
  void OnButtonDown(int button, WPARAM wParam, LPARAM lParam);
  void OnButtonUp(int button, WPARAM wParam, LPARAM lParam);
  void DrawCaption(HDC dc, const Rect& rect);
  void DrawPicture(HDC dc, const Rect& rect);
  LRESULT OnAccessibleFacts(LPARAM lParam);

  XpButtonProperties props_;
  XpPicture picture_;
  XpButtonStateMachine states_;
  win::WindowTimer timer_;
  BackgroundPainter background_;
  HFONT font_ = nullptr;
  win::Font ownFont_;  // the GUI font for dpi_ until the host gives one
  UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
  std::string accessibleName_;
  bool pointerFocus_ = false;  // SetFocus from a click is under way
  int width_ = 0;
  int height_ = 0;
};

// The normal and pointer-over pictures of a picture-only button, made for
// its window's DPI: the button shows the first normally and the second while
// the pointer is over it.
class XpHoverPictures {
 public:
  XpHoverPictures(int normalId, int hoverId) : ids_{normalId, hoverId} {}
  // Swaps the pictures on MouseIn and MouseOut of `button`.
  void Attach(XpButton& button);
  // Makes both pictures for `dpi`; the button keeps showing the same one.
  // The old pictures go to `retired`.
  void Load(UINT dpi, win::RetiredGdi& retired);
  HBITMAP Normal() const { return normal_.Get(); }
  HBITMAP Hover() const { return hover_.Get(); }

 private:
  int ids_[2];
  XpButton* button_ = nullptr;
  win::Bitmap normal_;
  win::Bitmap hover_;
};

}  // namespace tw
