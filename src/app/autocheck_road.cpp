#include "app/application.h"
#include "app/roads.h"
#include "autocheck/task_scheduler.h"
#include "text/cp1251.h"
#include "win32/message_box.h"
#include "win32/shell.h"
#include "win32/windows_headers.h"

namespace tw {

namespace {

void BringToFront(HWND window) {
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  SetForegroundWindow(GetLastActivePopup(window));
}

// The program's window the user sees now: the front-most visible one of
// this thread (a box, the report, the download or the options window).
HWND VisibleWindow() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM out) -> BOOL {
        if (!IsWindowVisible(window)) return TRUE;
        *reinterpret_cast<HWND*>(out) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

void OnReportRequest(Application& app) {
  MainWindow* main = app.Main();
  const HWND mainWindow = main != nullptr ? main->Handle() : nullptr;
  // The main window waiting for a command starts the check as command 1
  // would; anything else open (a check, a report, the options, a box) is
  // only brought to the front and left as it is.
  if (mainWindow != nullptr && IsWindowVisible(mainWindow) && IsWindowEnabled(mainWindow)) {
    BringToFront(mainWindow);
    main->Model().OnButtonClick(1);
    return;
  }
  if (HWND shown = VisibleWindow(); shown != nullptr) BringToFront(shown);
}

}  // namespace

bool HandOverReport(Application& app) {
  if (!app.AnotherInstanceRunning()) return false;
  const UINT request = RegisterWindowMessageW(kReportRequestMessage);
  for (HWND other = FindWindowExW(HWND_MESSAGE, nullptr, kMessengerClassName, nullptr); other != nullptr;
       other = FindWindowExW(HWND_MESSAGE, other, kMessengerClassName, nullptr)) {
    DWORD process = 0;
    GetWindowThreadProcessId(other, &process);
    if (process == GetCurrentProcessId()) continue;
    // The running copy may bring its window to the front.
    AllowSetForegroundWindow(process);
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(other, request, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
    break;
  }
  return true;
}

void WireAutoCheck(Application& app) {
  app.onReportRequest = [&app] { OnReportRequest(app); };
  // With the option on, the task must still name this exe: a moved folder
  // would leave it starting a program that is no longer there.
  app.Later([&app] {
    const Settings& settings = app.Values().settings;
    if (!settings.AutoCheck) return;
    const std::string reason = win::EnsureCheckTask(win::ProgramExe(), settings.AutoCheckTime);
    if (reason.empty()) return;
    win::ShowInformation(
        app.Main() != nullptr ? app.Main()->Handle() : nullptr,
        cp1251("Не удалось обновить задание ежедневной проверки в Планировщике заданий Windows.").str() +
            "\r\n\r\n" + reason);
  });
}

}  // namespace tw
