// tallywick.exe /check and /notify: the check the Task Scheduler starts
// (no window, no stored list changed, a result file), and the process that
// then waits with the notification-area icon until the user acts.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "autocheck/background_run.h"

namespace tw {

// One background check of the watched profile in `programFolder`; returns
// the exit code (0 worked, 1 download or parse failed).
int RunBackgroundCheck(const std::filesystem::path& programFolder);

// The waiting process: the icon, its balloon and menu; a click starts
// tallywick.exe /report. `arguments` follow "/notify".
int RunNotifier(const std::filesystem::path& programFolder, const std::vector<std::string>& arguments);

}  // namespace tw
