// The daily background check without its windows: how the program was
// started, what one run found, what it writes to its result file, what it
// shows and the exit code the Task Scheduler sees.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "readers/compare_lists.h"

namespace tw {

// The ways into the program: the user's start, the scheduled check, the
// click on its notification, and the process that waits with the icon.
enum class StartMode { Normal, Check, Report, Notify };

// The first argument decides ("/check", "-check", any case); anything else
// is an ordinary start.
StartMode ParseStartMode(const std::vector<std::u16string>& arguments);

// The result of the last background check, in the program folder. Only the
// check writes it, so it never races a save of options.ini.
inline constexpr char kCheckResultFile[] = "autocheck.txt";

// Seconds a background download may take before it is given up; the task's
// own time limit is far above it.
inline constexpr int kBackgroundCheckSeconds = 180;

// What the notification-area icon tells.
struct CheckNotice {
  std::string ID;
  std::size_t subscribed = 0;
  std::size_t unsubscribed = 0;
  std::size_t renamed = 0;
  std::size_t total = 0;         // readers in the new list
  bool firstList = false;        // no list was stored before: nothing to compare
  bool mayBeIncomplete = false;  // the page announced another number of readers

  bool operator==(const CheckNotice&) const = default;
};

// Balloon title and text (cp1251).
std::string NoticeTitle(const CheckNotice& notice);
std::string NoticeText(const CheckNotice& notice);
// The notice travels to the waiting process on its command line, after
// "/notify"; nullopt for arguments that are not such a notice.
std::vector<std::string> NoticeArguments(const CheckNotice& notice);
std::optional<CheckNotice> ParseNoticeArguments(const std::vector<std::string>& arguments);

// What one check found: a failure text, or the comparison of the fresh
// list with the stored one.
struct BackgroundFinding {
  std::string error;  // cp1251; not empty when the download or the parse failed
  ChangeReport report;
  bool firstList = false;
  std::optional<std::size_t> announcedTotal;
};

// Compares the freshly parsed list text (no file is written) with the
// snapshot of `id`. A snapshot that is there but cannot be read is a
// failure, never a first list.
BackgroundFinding FindChanges(const std::filesystem::path& programFolder, std::string_view id,
                              std::string_view listText, std::optional<std::size_t> announcedTotal);

struct BackgroundOutcome {
  int exitCode = 0;        // 0 when the check worked, 1 when it did not
  std::string resultText;  // one line for the result file (cp1251)
  std::optional<CheckNotice> notice;
};

BackgroundOutcome DecideBackgroundRun(std::string_view id, const BackgroundFinding& finding);

// The result file: "<dd.mm.yyyy hh:mm>\t<text>" and CR LF.
std::string CheckResultFileText(std::string_view timeText, std::string_view resultText);
// What the options window shows beside the option, or "" when no check has
// run yet (or the file cannot be read).
std::string LastCheckText(const std::filesystem::path& programFolder);

}  // namespace tw
