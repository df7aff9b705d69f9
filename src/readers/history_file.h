// The history of a profile, "<ID>.history.txt" in the program folder: one
// record per accepted report, appended and never rewritten otherwise.
// Windows-1251, CR LF after every line, fields separated by TAB:
//   T  всего  count                 the readers the report counted
//   T  +      ID  nickname          each subscribed reader, in List1 order
//   T  -      ID  nickname          each unsubscribed reader, in List2 order
//   T  ~      ID  old  new          each renamed reader, in List3 order
// T is the accepted list's modification time, local, "yyyy-mm-dd hh:mm".
// The first accepted report of a profile writes only its total: a starting
// point, not every reader as subscribed. A TAB, CR or LF inside a nickname is
// written as a blank, so every event stays one line of its fields.
// A record belongs to the history once its list has replaced the snapshot;
// a record written just before a crash that kept the snapshot from being
// replaced is dropped by the next accept and never shown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "readers/compare_lists.h"
#include "text/cp1251.h"

namespace tw {

inline constexpr auto kHistoryTotalTag = cp1251("всего");
inline constexpr std::string_view kHistoryFileSuffix = ".history.txt";

// <ID>.history.txt in the program folder, only for an ID of plain digits.
std::optional<std::filesystem::path> HistoryFilePath(const std::filesystem::path& programFolder,
                                                     std::string_view id);

// "yyyy-mm-dd hh:mm"
std::string FormatHistoryTime(const std::tm& time);

// The lines of one accepted report at time `stamp`.
std::string HistoryRecord(const ChangeReport& report, std::string_view stamp, bool firstCheck);

enum class HistorySign { Subscribed, Unsubscribed, Renamed };

struct HistoryEvent {
  std::string stamp;  // as in the file
  HistorySign sign = HistorySign::Subscribed;
  std::string ID;
  std::string nick;     // the old nickname for a rename
  std::string newNick;  // renames only
};

struct HistoryPoint {
  std::string stamp;
  std::int64_t minute = 0;  // minutes since 1970-01-01 00:00 of the stamp's own clock
  std::size_t count = 0;
};

struct History {
  std::vector<HistoryPoint> points;  // one per accepted report, in file order
  std::vector<HistoryEvent> events;  // newest report first, each report's lines in list order
  std::size_t came = 0, left = 0, renamed = 0;
  std::size_t damaged = 0;  // lines that were skipped, blank lines aside

  bool Empty() const { return points.empty() && events.empty(); }
};

// Reads history text. A damaged line (cut short, a stamp that is no time,
// a count that is no number, an event that does not follow a total line of
// its own stamp) is skipped and counted, so one bad line costs nothing else.
History ParseHistory(std::string_view text);

// How much of `text` is history: all of it, or all but the last record when
// that record's snapshot replace never happened. `snapshot` is the profile's
// snapshot now (nullptr when there is none). Such a record's changes all
// still stand between the snapshot and the list it recorded; a record
// without changes is left alone then, except a first check's with no
// snapshot at all.
std::size_t CommittedHistoryLength(std::string_view text, const ReaderList* snapshot);

// Gives text that lacks its last line break (as an editor may save it) one,
// so a record appended next starts on a line of its own.
void EndWithLineBreak(std::string& text);

// Minutes since 1970-01-01 of "yyyy-mm-dd hh:mm", or nullopt.
std::optional<std::int64_t> HistoryMinute(std::string_view stamp);

}  // namespace tw
