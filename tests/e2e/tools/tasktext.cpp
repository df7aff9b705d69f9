// tasktext: prints the daily check's task of a program folder, for the demo.
//
//   tasktext.exe "<folder>" <HH:MM>
//
// The name, what the Task Scheduler reports of the registered task, and the
// definition the program registers for that folder (UTF-8).
#include <cstdio>
#include <ctime>
#include <string>

#include "autocheck/task_definition.h"
#include "autocheck/task_scheduler.h"
#include "win32/windows_headers.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  const std::filesystem::path folder = argv[1];
  const std::wstring wideTime = argv[2];
  const std::string time(wideTime.begin(), wideTime.end());
  std::printf("name: %s\n", tw::TaskName(folder).c_str());
  std::string error;
  const auto found = tw::win::FindCheckTask(folder, &error);
  std::printf("registered: %s\n", found ? "yes" : "no");
  if (found && found->command.empty()) {
    std::printf("registered action: none reported (Wine keeps no actions of a task)\n");
  } else if (found) {
    std::printf("registered action: \"%ls\" %ls (in \"%ls\")\n", found->command.c_str(),
                found->arguments.c_str(), found->workingDirectory.c_str());
  }
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_s(&local, &now);
  std::fputs(
      tw::TaskXml(tw::CheckAction(folder / L"tallywick.exe"), tw::NextStartBoundary(local, time)).c_str(),
      stdout);
  return found ? 0 : 1;
}
