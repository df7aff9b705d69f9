// The behaviour of the main window Main: start-up, the intro, the wink, the
// hover pictures and the three commands. The Win32 view only carries it out.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "program/program.h"
#include "settings/program_values.h"
#include "settings/settings.h"
#include "text/cp1251.h"

namespace tw {

// The window's hidden picture holders.
enum class MainPicture {
  Picture1 = 1,  // heart, hovered
  Picture2,      // heart, normal
  Picture3,      // gears, hovered
  Picture4,      // gears, normal
  Picture5,      // power, hovered
  Picture6,      // power, normal
  Picture7,      // background, command 1 hovered
  Picture8,      // background, command 2 hovered
  Picture9,      // background, command 3 hovered
  Picture10,     // intro background
  Picture11,     // normal background
};

enum class MainTimer { Timer1 = 1, Timer2, Timer3, Timer4, Timer5 };
inline constexpr int kMainTimerInterval[] = {0, 300, 400, 500, 15000, 150};

enum class IntroState { Waiting, Revealing, Ready };

struct MainButtonRow {
  int n;
  const char* name;
  MainPicture normal;
  MainPicture hover;
  MainPicture background;
};
inline constexpr MainButtonRow kMainButtons[] = {
    {1, "XpB3", MainPicture::Picture2, MainPicture::Picture1, MainPicture::Picture7},
    {2, "XpB4", MainPicture::Picture4, MainPicture::Picture3, MainPicture::Picture8},
    {3, "XpB5", MainPicture::Picture6, MainPicture::Picture5, MainPicture::Picture9},
};

inline constexpr auto kQuotesTooltip = cp1251("Пасхальное яйцо - случайный цитатник :)");

// What the window shows and does.
class MainView {
 public:
  virtual ~MainView() = default;
  virtual void SetCaption(const std::string& caption) = 0;  // cp1251
  virtual void SetBackground(MainPicture picture) = 0;
  virtual void SetButtonPicture(int n, MainPicture picture) = 0;
  virtual void ShowButton(int n) = 0;
  virtual void SetTimer(MainTimer timer, bool enabled) = 0;
  virtual void SetLabel1(const std::string& text) = 0;
  virtual void ShowSecondInstanceMessage() = 0;
  virtual void Hide() = 0;
  virtual void Unload() = 0;
  virtual void ShowAbout() = 0;
  virtual void OpenUrl(const std::string& url) = 0;
};

// The program around the window: the other windows and the end.
class MainHost {
 public:
  virtual ~MainHost() = default;
  virtual bool AnotherInstanceRunning() = 0;
  virtual void LoadSettings() = 0;
  virtual void ShowDownload() = 0;  // command 1 with a profile set
  virtual void ShowOptions() = 0;   // command 1 without a profile, command 2
  virtual void EndProgram() = 0;
};

class MainWindowModel {
 public:
  MainWindowModel(MainView& view, MainHost& host, MainProgramValues& values)
      : view_(view), host_(host), values_(values) {}

  // Form_Load. False when the program must end (another copy runs).
  bool Load();
  // Pointer movement over the window itself (not over its controls).
  void OnMouseMove();
  // A key press starts the intro as the pointer does, for people without one.
  void OnKeyPress() { OnMouseMove(); }
  void OnTimer(MainTimer timer);
  void HighlightButton(int n);
  void RestoreButton(int n);
  void OnButtonClick(int n);  // 1: XpB3, 2: XpB4, 3: XpB5
  void OnLabel1Click();
  void OnImage1Click();
  // The title-bar close box ends the program as command 3 does.
  void OnClose();

  IntroState State() const;
  bool BackgroundSet() const { return backgroundSet_; }
  int WinkStep() const { return winkStep_; }
  bool TimerEnabled(MainTimer timer) const { return timers_[static_cast<int>(timer)]; }

 private:
  void SetTimer(MainTimer timer, bool enabled);
  void DeleteTmpList();
  MainView& view_;
  MainHost& host_;
  MainProgramValues& values_;
  bool backgroundSet_ = false;
  bool revealStarted_ = false;
  int winkStep_ = 0;
  bool timers_[6] = {};
};

}  // namespace tw
