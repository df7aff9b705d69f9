#include "autocheck/background_check.h"

#include <ctime>
#include <memory>
#include <optional>

#include "autocheck/notify_icon.h"
#include "autocheck/task_definition.h"
#include "download/profile_check.h"
#include "download/winsock_socket.h"
#include "files/atomic_file.h"
#include "program/program.h"
#include "readers/change_report.h"
#include "readers/profile_parser.h"
#include "settings/settings.h"
#include "text/cp1251.h"
#include "win32/single_instance.h"
#include "win32/windows_headers.h"

namespace tw {

namespace {

// The download window's check with nothing on the screen: its messages
// become the run's error, its way out ends the run. "LastUpdate" reads as
// today, so the version post is never fetched and never written.
class HeadlessCheck : public LoadingView, public LastUpdateStore, public DateSource {
 public:
  bool done = false;
  bool listed = false;
  std::string error;

  // LoadingView
  void SetCaption(std::string_view) override {}
  void SetStatus(std::string_view) override {}
  void SetStatusLink(std::string_view text) override {
    error = std::string(text);  // a socket error: the window would wait for cancel
    done = true;
  }
  void ShowMessage(std::string_view text) override { error = std::string(text); }
  void CloseWindow() override {}
  void ShowMain() override { done = true; }
  void ShowReport() override {
    listed = true;
    done = true;
  }
  void StartTimer(LoadingTimer, unsigned) override {}
  void StopTimer(LoadingTimer) override {}
  void SetDotVisible(int, bool) override {}
  void SetImageVisible(bool) override {}
  bool Ask(std::string_view) override { return false; }
  void OpenUrl(std::string_view) override {}
  // LastUpdateStore, DateSource
  std::string ReadLastUpdate() override { return {}; }
  void WriteLastUpdate(std::string_view) override {}
  std::string TodayText() override { return {}; }
};

std::string NowText() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_s(&local, &now);
  return FormatDateTime(local);
}

std::wstring LockName(const std::filesystem::path& folder, const wchar_t* what) {
  const std::string id = FolderId(folder);
  return std::wstring(L"Local\\Tallywick.") + what + L"." + std::wstring(id.begin(), id.end());
}

}  // namespace

int RunBackgroundCheck(const std::filesystem::path& programFolder) {
  // One background check per folder; the user's own start is never refused
  // because of it.
  win::SingleInstance lock(LockName(programFolder, L"Check").c_str());
  if (lock.AnotherIsRunning()) return 0;

  Settings settings;
  LoadSettings(programFolder, settings);
  std::string ownerNick;
  std::string listText;
  std::optional<std::size_t> announced;
  HeadlessCheck headless;
  ParseStep parse = [&](std::string& responseText) {
    ParseInput input{settings.ID, settings.Guest, programFolder};
    std::string message = ParseProfileText(responseText, ownerNick, input, &announced);
    if (message.empty()) listText = responseText;
    return message;
  };
  win::WinsockSocket socket;
  ProfileCheck check({settings, socket, headless, headless, headless, std::move(parse), kProgramVersion});
  const UINT_PTR limit = SetTimer(nullptr, 0, kBackgroundCheckSeconds * 1000, nullptr);
  check.Start();
  MSG msg;
  while (!headless.done && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == nullptr && msg.wParam == limit) {
      headless.error =
          cp1251("Сервер не ответил за ") + std::to_string(kBackgroundCheckSeconds / 60) + cp1251(" минуты.");
      check.CancelCheck();
      break;
    }
    DispatchMessageW(&msg);
  }
  KillTimer(nullptr, limit);

  BackgroundFinding finding;
  if (headless.listed) {
    finding = FindChanges(programFolder, settings.ID, listText, announced);
  } else {
    finding.error = headless.error.empty() ? cp1251("Проверка прервана.").str() : headless.error;
  }
  const BackgroundOutcome outcome = DecideBackgroundRun(settings.ID, finding);
  WriteFileAtomic(programFolder / kCheckResultFile, CheckResultFileText(NowText(), outcome.resultText));
  if (outcome.notice) win::StartNotifier(programFolder, *outcome.notice);
  return outcome.exitCode;
}

int RunNotifier(const std::filesystem::path& programFolder, const std::vector<std::string>& arguments) {
  const std::optional<CheckNotice> notice = ParseNoticeArguments(arguments);
  if (!notice) return 1;
  return win::RunNotifyIcon(programFolder, *notice);
}

}  // namespace tw
