// The main window Main: a 424 x 290 (at 100 %) picture window with XpB3, XpB4, XpB5,
// the wink label Label1 and the notebook area Image1.
#pragma once

#include <array>
#include <string>

#include "app/main_window_model.h"
#include "controls/xp_button.h"
#include "win32/dpi_layout.h"
#include "win32/handle.h"
#include "win32/timer.h"
#include "win32/window.h"

namespace tw {

inline constexpr int kMainClientWidth = 424;
inline constexpr int kMainClientHeight = 290;
inline constexpr RECT kLabel1Rect{404, 12, 414, 25};
inline constexpr RECT kImage1Rect{276, 168, 410, 279};
inline constexpr int kXpB3Id = 103;
inline constexpr int kXpB4Id = 104;
inline constexpr int kXpB5Id = 105;
inline constexpr wchar_t kMainClassName[] = L"TallywickMain";

class MainWindow : public win::Window, private MainView {
 public:
  MainWindow(MainHost& host, MainProgramValues& values);
  ~MainWindow() override;

  // Creates the window and runs its load handler; false when the program
  // must end (the window is gone then).
  bool Load();
  void Show(int show = SW_SHOW);

  MainWindowModel& Model() { return model_; }
  XpButton& Button(int n) { return buttons_[n - 1]; }
  MainPicture Background() const { return background_; }
  MainPicture ButtonPicture(int n) const { return buttonPictures_[n - 1]; }
  const std::wstring& Label1Text() const { return label1_; }
  HBITMAP PictureBitmap(MainPicture picture) const;
  // The About window while it is open (tests look into it).
  HWND AboutHandle() const { return about_; }
  UINT Dpi() const { return layout_.Dpi(); }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  // MainView
  void SetCaption(const std::string& caption) override;
  void SetBackground(MainPicture picture) override;
  void SetButtonPicture(int n, MainPicture picture) override;
  void ShowButton(int n) override;
  void SetTimer(MainTimer timer, bool enabled) override;
  void SetLabel1(const std::string& text) override;
  void ShowSecondInstanceMessage() override;
  void Hide() override;
  void Unload() override;
  void ShowAbout() override;
  void OpenUrl(const std::string& url) override;

  void CreateControls();
  // Pictures, children, fonts and size for `dpi`; `suggested` is where
  // Windows wants the window after a move to another monitor.
  void ApplyDpi(UINT dpi, const RECT* suggested = nullptr);
  RECT Scaled(const RECT& rect100) const { return layout_.Scale(rect100); }
  RECT Label1PaintRect() const;
  void OnPaint();
  void PaintBackground(HDC dc, POINT origin, int width, int height) const;
  void OnLeftButtonUp(POINT point);
  bool OnSetCursor();
  bool PointerOverClient() const;
  // Keys of the window and of its focused button: the intro, moving among
  // the buttons, F1.
  void OnKey(int key);
  void MoveFocus(bool forward);

  MainWindowModel model_;
  std::array<win::Bitmap, 12> pictures_;  // index = MainPicture
  std::array<XpButton, 3> buttons_;
  std::array<MainPicture, 3> buttonPictures_{};
  std::array<win::WindowTimer, 5> timers_;
  MainPicture background_ = MainPicture::Picture10;
  std::wstring label1_;
  HWND tooltip_ = nullptr;
  HWND about_ = nullptr;
  win::Font labelFont_;
  win::DpiLayout layout_;
};

}  // namespace tw
