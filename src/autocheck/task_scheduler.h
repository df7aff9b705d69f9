// The daily check's task in the Windows Task Scheduler (Task Scheduler 2.0
// through its COM interfaces), one task per program folder, in the root
// folder of the user's tasks.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "settings/options_model.h"

namespace tw::win {

// The registered task as the Task Scheduler reports it.
struct FoundTask {
  std::wstring command;
  std::wstring arguments;
  std::wstring workingDirectory;
};

// Registers (or replaces) the task of `exe`'s folder: daily at `time`
// ("HH:MM"), running `exe` /check. An empty result means success, else the
// reason (cp1251, for the message box).
std::string RegisterCheckTask(const std::filesystem::path& exe, const std::string& time);
// Deletes the task of `folder`; a task that is not there is no failure.
std::string DeleteCheckTask(const std::filesystem::path& folder);
// The task of `folder`: nullopt when there is none; `error` (cp1251) set
// when the Task Scheduler could not be asked.
std::optional<FoundTask> FindCheckTask(const std::filesystem::path& folder, std::string* error = nullptr);
// At start-up with the option on: registers the task again when it is
// missing or its action names another exe (the folder was moved). "" when
// all is well.
// A new registration is followed by DeleteOrphanedCheckTasks.
std::string EnsureCheckTask(const std::filesystem::path& exe, const std::string& time);
// Deletes the check tasks whose program is no longer there (the copy of a
// folder that was moved or deleted).
void DeleteOrphanedCheckTasks();

// The options window's way to the Task Scheduler, for the exe running now.
class SchedulerCheckTask : public DailyCheckTask {
 public:
  std::string Register(const std::string& time) override;
  std::string Remove() override;
};

}  // namespace tw::win
