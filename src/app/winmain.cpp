// Entry point of tallywick.exe: the main window's load handler is the
// start-up of the program. The Task Scheduler starts "/check", a click on
// its notification "/report"; "/notify" is the check's waiting icon.

#include <objbase.h>

#include <string>
#include <vector>

#include "app/application.h"
#include "app/roads.h"
#include "autocheck/background_check.h"
#include "win32/shell.h"
#include "win32/wide_text.h"
#include "win32/windows_headers.h"

namespace {

std::vector<std::u16string> Arguments() {
  std::vector<std::u16string> arguments;
  int count = 0;
  LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count);
  if (list == nullptr) return arguments;
  for (int i = 1; i < count; ++i) {
    const std::wstring argument = list[i];
    arguments.emplace_back(argument.begin(), argument.end());
  }
  LocalFree(list);
  return arguments;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
  const std::vector<std::u16string> arguments = Arguments();
  const tw::StartMode mode = tw::ParseStartMode(arguments);
  if (mode == tw::StartMode::Check) return tw::RunBackgroundCheck(tw::win::ProgramFolder());
  if (mode == tw::StartMode::Notify) {
    std::vector<std::string> notice;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
      notice.push_back(tw::win::Narrow(std::wstring(arguments[i].begin(), arguments[i].end())));
    }
    return tw::RunNotifier(tw::win::ProgramFolder(), notice);
  }

  // Screen readers reach the controls' own accessible objects through COM.
  const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  int code = 1;
  {
    tw::Application app(tw::win::ProgramFolder());
    // A click on the notification while the program is open goes to the open
    // copy, without the second-instance box.
    if (mode == tw::StartMode::Report && tw::HandOverReport(app)) {
      code = 0;
    } else {
      tw::WireCheck(app);
      tw::WireOptions(app);
      tw::WireAutoCheck(app);
      if (mode == tw::StartMode::Report) {
        // Straight to the check: the main window comes back when it ends.
        if (app.Start(SW_HIDE)) {
          app.Main()->Model().OnButtonClick(1);
          code = app.Run();
        }
      } else if (app.Start(show)) {
        code = app.Run();
      }
    }
  }
  if (com) CoUninitialize();
  return code;
}
