// The program around its windows: the program-wide values, the one running
// copy, the main window and what its commands lead to.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "app/main_window.h"
#include "win32/single_instance.h"
#include "win32/window.h"

namespace tw {

// The hidden window every running copy keeps, and the message by which a
// /report start hands over to it.
inline constexpr wchar_t kMessengerClassName[] = L"TallywickMessenger";
inline constexpr wchar_t kReportRequestMessage[] = L"Tallywick.ShowChanges";

class Application : public MainHost {
 public:
  explicit Application(std::filesystem::path programFolder);
  ~Application() override;

  // Loads and shows the main window; false when the program must end.
  bool Start(int show = SW_SHOW);
  int Run();

  MainProgramValues& Values() { return values_; }
  MainWindow* Main() { return main_.get(); }
  // Shows the hidden main window again (the end of a check or a report).
  void ShowMain();
  // Loads the main window anew (it was unloaded for the options window).
  void LoadMain();

  // Set by the download and options windows; until they are, command 1
  // shows the main window again and command 2 loads it anew.
  std::function<void()> onStartCheck;
  std::function<void()> onOpenOptions;

  // Holds a modeless window (download, report, options) until Drop. The
  // object is destroyed after the current message, so a window may drop
  // itself from its own handlers.
  win::Window* Keep(std::unique_ptr<win::Window> window);
  void Drop(win::Window* window);
  // Runs `work` after the current message.
  void Later(std::function<void()> work);
  // The monitor of the program's window the user saw last: the next window
  // opens there.
  HMONITOR Screen() const { return screen_; }

  // Another copy was started with /report while this one runs: it asked this
  // one to show the changes instead (see autocheck_road.cpp).
  std::function<void()> onReportRequest;

  // MainHost
  bool AnotherInstanceRunning() override;
  void LoadSettings() override;
  void ShowDownload() override;
  void ShowOptions() override;
  void EndProgram() override;

 private:
  class Messenger;  // posts work to run after the current message

  MainProgramValues values_;
  std::unique_ptr<win::SingleInstance> instance_;
  std::unique_ptr<MainWindow> main_;
  std::unique_ptr<MainWindow> unloaded_;  // kept until its last message returns
  std::unique_ptr<Messenger> messenger_;
  std::vector<std::unique_ptr<win::Window>> kept_;
  HMONITOR screen_ = nullptr;
};

}  // namespace tw
