// The Task Scheduler task of the daily check, as text: its name, the
// choices of the hour, the next start and the XML definition the Win32
// side registers.
#pragma once

#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// The run limit of the task. A check ends within kBackgroundCheckSeconds;
// the waiting for the user happens in a process of its own, outside it.
inline constexpr char kTaskTimeLimit[] = "PT10M";

// The hours the options window offers: "00:00" .. "23:00".
std::vector<std::string> CheckTimeChoices();

// Eight hex digits that stay the same for one program folder however its
// path is spelled (letter case, separators, a trailing separator), so two
// copies of the program in two folders keep two tasks.
std::string FolderId(const std::filesystem::path& folder);
// "Tallywick " + FolderId (UTF-8, plain ASCII).
std::string TaskName(const std::filesystem::path& folder);

// "YYYY-MM-DDTHH:MM:00": today at `time` ("HH:MM") if that is still ahead of
// `now`, else tomorrow. A start in the past would make a missed run of it.
std::string NextStartBoundary(const std::tm& now, std::string_view time);

// What the task starts; UTF-8.
struct TaskAction {
  std::string command;           // the exe
  std::string arguments;         // "/check"
  std::string workingDirectory;  // the program folder
};
TaskAction CheckAction(const std::filesystem::path& exe);

// The task: a daily trigger from `startBoundary`, started as soon as
// possible after a missed start, only while the user is logged on and with
// the user's own rights, no second instance, the time limit above, and the
// action. UTF-8 text.
std::string TaskXml(const TaskAction& action, std::string_view startBoundary);

}  // namespace tw
