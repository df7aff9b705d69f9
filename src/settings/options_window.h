// The options window Options: the sign-in group (profile ID with the help
// picture Picture5, anonymous access, login, password, keeping them), the
// network group (proxy address, port, its sign-in) and the picture buttons
// XpB1 (accept) and XpB2 (cancel).
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "autocheck/task_scheduler.h"
#include "controls/check_box.h"
#include "controls/info_tip.h"
#include "controls/xp_button.h"
#include "settings/options_model.h"
#include "win32/dpi_layout.h"
#include "win32/handle.h"
#include "win32/timer.h"
#include "win32/window.h"

namespace tw {

inline constexpr int kOptionsClientWidth = 360;
inline constexpr int kOptionsClientHeight = 500;
inline constexpr wchar_t kOptionsClassName[] = L"TallywickOptions";

// Control ids: 500 + the number of the label, 540 + the number of the text
// field, 560 + the number of the check box (tests find the controls by them).
inline constexpr int kOptionsLabel(int n) { return 500 + n; }
inline constexpr int kOptionsText(int n) { return 540 + n; }
inline constexpr int kOptionsCheck(int n) { return 560 + n; }
inline constexpr int kOptionsCombo1 = 580;
inline constexpr int kOptionsPicture5 = 581;
inline constexpr int kOptionsHistory = 582;  // the link "История изменений"
inline constexpr int kOptionsCombo2 = 583;   // the hour of the daily check
// The daily check's row: Check5 with its label, Combo2, and the last result.
inline constexpr int kOptionsAutoCheckLabel = kOptionsLabel(15);
inline constexpr int kOptionsLastCheckLabel = kOptionsLabel(16);
inline constexpr int kOptionsXpB1 = 591;
inline constexpr int kOptionsXpB2 = 592;

class OptionsWindow : public win::Window, private OptionsView {
 public:
  // `task` is the Task Scheduler's daily task; by default the real one.
  explicit OptionsWindow(MainProgramValues& values, DailyCheckTask* task = nullptr);
  ~OptionsWindow() override;

  // Creates and shows the window and runs its load handler.
  bool Load(int show = SW_SHOW);

  // Called once the window has been closed by either button or its close
  // box; the main window comes back from there.
  std::function<void()> onClosed;
  // The link "История изменений" of the accepted profile.
  std::function<void()> onShowHistory;
  // Message boxes go through these when set (tests answer them).
  std::function<bool(const std::string&)> askHook;
  std::function<void(const std::string&)> messageHook;

  OptionsModel& Model() { return model_; }
  HWND Control(int id) const { return GetDlgItem(Handle(), id); }
  CheckBox& Check(int n) { return checks_[n - 1]; }
  XpButton& XpB(int n) { return n == 1 ? accept_ : cancel_; }
  HWND Picture5() const { return picture5_.Handle(); }
  HWND IDTipWindow() const { return idTip_ ? idTip_->hWnd() : nullptr; }
  const InfoTip* IDTip() const { return idTip_.get(); }
  std::wstring Picture5Tooltip() const { return picture5Tip_; }
  HBITMAP PictureBitmap(OptionsPicture picture) const { return pictures_[static_cast<int>(picture)].Get(); }
  UINT Dpi() const { return layout_.Dpi(); }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  // The small help picture beside the ID field; presses go to the model.
  class HelpPicture : public win::Window {
   public:
    std::function<void(int button)> onPress;
    HBITMAP bitmap = nullptr;

   protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  };

  // OptionsView
  void ShowFields(const OptionsFields& fields) override;
  OptionsFields ReadFields() override;
  void SetLoginFieldsVisible(bool visible) override;
  void SetProfileList(const std::vector<std::string>& entries) override;
  void SetComboText(const std::string& text) override;
  void SetTimer(OptionsTimer timer, bool enabled) override;
  void SetButtonPicture(int xpb, OptionsPicture picture) override;
  void FocusAccept() override;
  bool Ask(const std::string& question) override;
  void ShowMessage(const std::string& text) override;
  void ShowIDHelp(const std::string& title, const std::string& text) override;
  void CloseIDHelp() override;
  bool PointerOverPicture5() override;
  void SetPicture5Tooltip(const std::string& text) override;
  void Close() override;
  void SetCheckTimes(const std::vector<std::string>& times) override;
  void SetLastCheckText(const std::string& text) override;

  void CreateControls();
  HWND AddLabel(int n, const std::string& text, int x, int y, int width, int height = 16);
  HWND AddText(int n, int x, int y, int width, bool password);
  void AddCheck(int n, int x, int y);
  std::string TextOf(HWND control) const;
  void SetTextOf(HWND control, const std::string& text);
  void OnCommand(int id, int code);
  void OnPaint();
  void ApplyDpi(UINT dpi, const RECT* suggested = nullptr);

  win::SchedulerCheckTask schedulerTask_;
  OptionsModel model_;
  std::array<win::Bitmap, 6> pictures_;  // index = OptionsPicture; 5: the help picture
  std::array<CheckBox, 5> checks_;
  XpButton accept_;
  XpButton cancel_;
  HelpPicture picture5_;
  HWND tooltip_ = nullptr;
  std::wstring picture5Tip_;
  std::unique_ptr<InfoTip> idTip_;
  win::WindowTimer timer1_;
  win::WindowTimer timer2_;
  win::DpiLayout layout_;
  bool closed_ = false;
};

}  // namespace tw
