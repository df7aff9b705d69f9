// The portable side of the change report: the comparison of "tmp.id" with
// the profile's snapshot <ID>.id, the period text, and accepting the list.
#pragma once

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "readers/compare_lists.h"

namespace tw {

// "dd.mm.yyyy hh:mm" of a broken-down time.
std::string FormatDateTime(const std::tm& time);

// Turns a file time into local time; tests fix the zone.
class FileTimeFormatter {
 public:
  virtual ~FileTimeFormatter() = default;
  virtual std::tm LocalTime(std::filesystem::file_time_type time) const = 0;
  // "dd.mm.yyyy hh:mm"
  std::string Format(std::filesystem::file_time_type time) const { return FormatDateTime(LocalTime(time)); }
};

// The system's local time zone.
class LocalFileTimeFormatter : public FileTimeFormatter {
 public:
  std::tm LocalTime(std::filesystem::file_time_type time) const override;
};

// <ID>.id in the program folder, only for an ID of plain digits.
std::optional<std::filesystem::path> SnapshotFilePath(const std::filesystem::path& programFolder,
                                                      std::string_view id);

// "c " + T_old + " по " + T_new (the "c" is the Latin letter), a missing file
// giving "[нет данных]".
std::string PeriodText(const std::filesystem::path& snapshot, const std::filesystem::path& newList,
                       const FileTimeFormatter& formatter);

// What the comparison could be made of.
enum class ReportInput {
  Compared,            // tmp.id against the snapshot (or against none: a first check)
  NoNewList,           // tmp.id missing or unreadable: nothing compared, no period
  SnapshotUnreadable,  // the snapshot is there but could not be read: no report at all
};

struct ChangeReportData {
  ReportInput input = ReportInput::Compared;
  ChangeReport report;
  std::string period;  // Label6
};

// Compares "tmp.id" with the snapshot of `id`. A missing snapshot (or an ID
// that names none) is a first check, where every reader is new; a snapshot
// that exists but cannot be read is never taken for a missing one, or every
// reader would look new and accepting would drop the real changes.
ChangeReportData BuildChangeReport(const std::filesystem::path& programFolder, std::string_view id,
                                   const FileTimeFormatter& formatter);

enum class AcceptResult {
  Accepted,              // history appended, snapshot replaced, tmp.id deleted
  NothingToStore,        // no tmp.id: nothing happened
  HistoryNotWritten,     // the history could not be appended: nothing changed
  NotStored,             // snapshot could not be replaced; history, tmp.id and the old snapshot as before
  NotStoredHistoryKept,  // as NotStored, but the history's new record could not be taken back
  TmpNotDeleted,         // history and snapshot stored, but tmp.id is still there
};

// Stores an accepted report. First the history gets the report's record
// (`report` is what the window showed), then tmp.id replaces <ID>.id in one
// step, keeping tmp.id's modification time, and tmp.id is deleted only once
// the snapshot is in place. A snapshot that cannot be replaced takes the
// history back to its earlier bytes, so trying again records the report
// once. `historyWritten`: an earlier try left the record in the history
// (NotStoredHistoryKept), so it is not written again. A record left by a
// crash between the two steps is dropped before the new one is appended, so
// the history holds a report exactly when its snapshot replace happened.
AcceptResult AcceptNewList(const std::filesystem::path& programFolder, std::string_view id,
                           const ChangeReport& report, const FileTimeFormatter& formatter,
                           bool historyWritten = false);

// The message box text for a failed acceptance, empty when there is none.
std::string AcceptMessage(AcceptResult result, std::string_view id);

}  // namespace tw
