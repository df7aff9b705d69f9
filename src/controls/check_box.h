// Check: the program's own picture check box as a 13 × 13 child window with
// no caption (the window that holds it puts a label beside it). The rules
// live in check_box_model.h; this window draws the stored pictures.
#pragma once

#include <functional>
#include <string>

#include "controls/check_box_model.h"
#include "program/dpi_scale.h"
#include "win32/handle.h"
#include "win32/timer.h"
#include "win32/window.h"
#include "win32/windows_headers.h"

namespace tw {

struct CheckBoxEvents {
  // Also raised when the program sets Value while input is enabled.
  std::function<void()> Click;
  std::function<void()> DblClick;
  std::function<void(int& button, int& shift, float& x, float& y)> MouseDown;
};

class CheckBox : public win::Window, private CheckBoxHost {
 public:
  CheckBox();
  ~CheckBox() override;

  // A new check box starts unchecked and enabled, sized to its picture.
  bool Create(HWND parent, int id, int x, int y, bool visible = true);

  CheckBoxEvents events;

  // Paints the area behind the picture's white mask (e.g. the host's
  // background picture); `origin` is the control's corner in the parent.
  // Without one the mask shows the button-face colour.
  using BackgroundPainter = std::function<void(HDC dc, POINT origin, int width, int height)>;
  void SetBackgroundPainter(BackgroundPainter painter);

  bool Value() const { return model_.Value(); }
  void SetValue(bool value) { model_.SetValue(value); }
  bool Enabled() const { return model_.Enabled(); }
  // What a screen reader says for the box (cp1251): the text of its label.
  void SetAccessibleName(std::string name);
  void SetEnabled(bool enabled) { model_.SetEnabled(enabled); }

  // 13 x 13 at 100 %, scaled for the DPI of the window that holds it.
  int Width() const { return ScaleToDpi(kCheckPictureSide, static_cast<int>(dpi_)); }
  int Height() const { return Width(); }
  CheckPicture ShownPicture() const { return model_.Shown(); }
  bool HoverTimerEnabled() const { return timer_.Enabled(); }
  // Draws the shown picture into `dc` at (0, 0); the white mask shows the
  // parent's background brush colour.
  void Render(HDC dc);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  // CheckBoxHost
  void ShowPicture(CheckPicture picture) override;
  void SetHoverTimer(bool enabled) override;
  bool PointerOverPicture() override;
  void RaiseClick() override;
  void RaiseDblClick() override;
  void RaiseMouseDown(int& button, int& shift, float& x, float& y) override;

  void OnPaint();
  void LoadPictures();
  void OnButtonDown(int button, WPARAM wParam, LPARAM lParam);
  LRESULT OnAccessibleFacts(LPARAM lParam);

  CheckBoxModel model_;
  win::WindowTimer timer_;
  win::Bitmap pictures_[kCheckPictureCount];
  BackgroundPainter background_;
  bool releasing_ = false;
  std::string accessibleName_;
  UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
};

}  // namespace tw
