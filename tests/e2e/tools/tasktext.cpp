// tasktext: the daily check's task of a program folder, for the demo:
// its name, what the Task Scheduler reports, and the definition the program
// registers (UTF-8).   tasktext.exe "<folder>" <HH:MM>
#include <cstdio>
#include <ctime>

#include "autocheck/task_definition.h"
#include "autocheck/task_scheduler.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  const std::filesystem::path folder = argv[1];
  const auto found = tw::win::FindCheckTask(folder);
  std::printf("name: %s\nregistered: %s\n", tw::TaskName(folder).c_str(), found ? "yes" : "no");
  if (found)
    std::printf("registered action: \"%ls\" %ls\n", found->command.c_str(), found->arguments.c_str());
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_s(&local, &now);
  const std::wstring time = argv[2];
  const std::string boundary = tw::NextStartBoundary(local, std::string(time.begin(), time.end()));
  std::fputs(tw::TaskXml(tw::CheckAction(folder / L"tallywick.exe"), boundary).c_str(), stdout);
  return found ? 0 : 1;
}
