// The download window Loading: the Win32 view of ProfileCheck. It creates
// the status label Info, the cancel button XpB1, the running dots S1(0..2)
// and the blinking image I1, and forwards WS events, Timer1..Timer3 ticks
// and clicks to the check, which decides everything.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "controls/xp_button.h"
#include "download/profile_check.h"
#include "settings/ini_file.h"
#include "settings/settings.h"
#include "win32/dpi_layout.h"
#include "win32/handle.h"
#include "win32/timer.h"
#include "win32/window.h"

namespace tw {

inline constexpr int kLoadingClientWidth = 424;  // wide enough for the caption with a ten-digit ID
inline constexpr int kLoadingClientHeight = 96;
inline constexpr int kLoadingInfoId = 301;
inline constexpr int kLoadingXpB1Id = 302;
// Two lines: a status through a proxy names the host, the proxy and its port.
inline constexpr RECT kLoadingInfoRect{16, 12, 320, 44};
inline constexpr RECT kLoadingI1Rect{16, 48, 48, 80};
inline constexpr int kLoadingDotSize = 8;
inline constexpr wchar_t kLoadingClassName[] = L"TallywickLoading";
// The colour of the status in its link form (0x00BBGGRR: blue 192).
inline constexpr COLORREF kLoadingLinkColor = RGB(0, 0, 192);

// S1(index) in client coordinates at 100 %.
RECT LoadingDotRect(int index);

// Where the window hands over when the check ends.
struct LoadingHost {
  std::function<void()> ShowMain;
  std::function<void()> ShowReport;
};

// "LastUpdate" of section "Main" in programFolder/options.ini.
class IniLastUpdate : public LastUpdateStore {
 public:
  explicit IniLastUpdate(const std::filesystem::path& programFolder);
  std::string ReadLastUpdate() override;
  void WriteLastUpdate(std::string_view text) override;

 private:
  Ini ini_;
};

// Today's local date as "dd.mm.yyyy".
class LocalDate : public DateSource {
 public:
  std::string TodayText() override;
};

class LoadingWindow : public win::Window, private LoadingView {
 public:
  struct Parts {
    const Settings& settings;
    std::filesystem::path programFolder;
    std::unique_ptr<Socket> ws;  // WS
    ParseStep parse;
    LoadingHost host;
    std::unique_ptr<DateSource> clock;  // the local date when null
  };
  explicit LoadingWindow(Parts parts);
  ~LoadingWindow() override;

  // Creates and shows the window and starts the check (Form_Load).
  bool Open();

  ProfileCheck& Check() { return *check_; }
  XpButton& XpB1() { return xpB1_; }
  HWND Info() const { return info_; }
  const std::wstring& InfoText() const { return infoText_; }
  bool InfoIsLink() const { return infoIsLink_; }
  HFONT InfoFont() const;
  HWND Tooltip() const { return tooltip_; }
  bool DotVisible(int index) const { return dots_[index]; }
  bool ImageVisible() const { return imageVisible_; }
  HBITMAP Picture1() const { return pictures_.Normal(); }
  HBITMAP Picture2() const { return pictures_.Hover(); }
  UINT Dpi() const { return layout_.Dpi(); }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  // LoadingView
  void SetCaption(std::string_view text) override;
  void SetStatus(std::string_view text) override;
  void SetStatusLink(std::string_view text) override;
  void ShowMessage(std::string_view text) override;
  void CloseWindow() override;
  void ShowMain() override;
  void ShowReport() override;
  void StartTimer(LoadingTimer timer, unsigned milliseconds) override;
  void StopTimer(LoadingTimer timer) override;
  void SetDotVisible(int index, bool visible) override;
  void SetImageVisible(bool visible) override;
  bool Ask(std::string_view text) override;
  void OpenUrl(std::string_view url) override;

  void CreateControls();
  void SetInfo(std::string_view text);
  void OnPaint();
  void ApplyDpi(UINT dpi, const RECT* suggested = nullptr);
  win::WindowTimer& TimerOf(LoadingTimer timer);

  const Settings& settings_;
  std::unique_ptr<Socket> ws_;
  std::unique_ptr<DateSource> clock_;
  IniLastUpdate lastUpdate_;
  LoadingHost host_;
  std::unique_ptr<ProfileCheck> check_;
  XpButton xpB1_;
  std::array<win::WindowTimer, 3> timers_;
  XpHoverPictures pictures_;  // Picture1, Picture2
  win::Bitmap image_;
  win::DpiLayout layout_;
  HWND info_ = nullptr;
  HWND tooltip_ = nullptr;
  std::wstring infoText_;
  std::array<bool, 3> dots_{};
  bool imageVisible_ = false;
  bool infoIsLink_ = false;
  bool closing_ = false;
};

}  // namespace tw
