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

// Turns a file time into local "dd.mm.yyyy hh:mm"; tests fix the zone.
class FileTimeFormatter {
 public:
  virtual ~FileTimeFormatter() = default;
  virtual std::string Format(std::filesystem::file_time_type time) const = 0;
};

// The system's local time zone.
class LocalFileTimeFormatter : public FileTimeFormatter {
 public:
  std::string Format(std::filesystem::file_time_type time) const override;
};

// "dd.mm.yyyy hh:mm" of a broken-down time.
std::string FormatDateTime(const std::tm& time);

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
  Accepted,        // snapshot replaced, tmp.id deleted
  NothingToStore,  // no tmp.id: nothing happened
  NotStored,       // snapshot could not be replaced; tmp.id and the old snapshot kept
  TmpNotDeleted,   // snapshot replaced, but tmp.id is still there
};

// Copies tmp.id over <ID>.id in one replacing step, keeping tmp.id's
// modification time, and deletes tmp.id only once the snapshot is in place.
AcceptResult AcceptNewList(const std::filesystem::path& programFolder, std::string_view id);

// The message box text for a failed acceptance, empty when there is none.
std::string AcceptMessage(AcceptResult result, std::string_view id);

}  // namespace tw
