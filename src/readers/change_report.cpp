#include "readers/change_report.h"

#include <chrono>
#include <cstdio>
#include <system_error>

#include "files/atomic_file.h"
#include "readers/history_file.h"
#include "settings/settings.h"
#include "text/cp1251.h"

namespace tw {

namespace fs = std::filesystem;

std::string FormatDateTime(const std::tm& time) {
  char text[96];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d", time.tm_mday, time.tm_mon + 1,
                time.tm_year + 1900, time.tm_hour, time.tm_min);
  return text;
}

std::tm LocalFileTimeFormatter::LocalTime(fs::file_time_type time) const {
  const auto system = std::chrono::file_clock::to_sys(time);
  const std::time_t seconds = std::chrono::system_clock::to_time_t(
      std::chrono::time_point_cast<std::chrono::system_clock::duration>(system));
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &seconds);
#else
  localtime_r(&seconds, &local);
#endif
  return local;
}

std::optional<fs::path> SnapshotFilePath(const fs::path& programFolder, std::string_view id) {
  if (!IsValidProfileId(id)) return std::nullopt;
  return programFolder / (std::string(id) + ".id");
}

namespace {

std::string TimeText(const fs::path& file, const FileTimeFormatter& formatter) {
  std::error_code ec;
  if (!file.empty() && fs::is_regular_file(file, ec)) {
    const fs::file_time_type time = fs::last_write_time(file, ec);
    if (!ec) return formatter.Format(time);
  }
  return cp1251("[нет данных]");
}

}  // namespace

std::string PeriodText(const fs::path& snapshot, const fs::path& newList,
                       const FileTimeFormatter& formatter) {
  return "c " + TimeText(snapshot, formatter) + cp1251(" по ") + TimeText(newList, formatter);
}

ChangeReportData BuildChangeReport(const fs::path& programFolder, std::string_view id,
                                   const FileTimeFormatter& formatter) {
  ChangeReportData data;
  const fs::path newFile = programFolder / kTmpListFile;
  const fs::path snapshot = SnapshotFilePath(programFolder, id).value_or(fs::path());
  const std::optional<ReaderList> fresh = ReadReaderListFile(newFile);
  if (!fresh) {
    data.input = ReportInput::NoNewList;
    return data;
  }
  std::optional<ReaderList> old;
  if (!snapshot.empty()) {
    old = ReadReaderListFile(snapshot);
    if (!old && MayExist(snapshot)) {
      data.input = ReportInput::SnapshotUnreadable;
      return data;
    }
  }
  data.report = CompareReaderLists(*fresh, old.value_or(ReaderList{}));
  data.period = PeriodText(snapshot, newFile, formatter);
  return data;
}

namespace {

// Appends `record` to the history file in one replacing step, after a
// record whose snapshot never came (see CommittedHistoryLength) has been
// dropped; `judge` is false when the snapshot could not be read, and then
// nothing is dropped. `previous` receives the file's earlier bytes
// (nullopt: there was no file) for a later take-back.
bool AppendHistory(const fs::path& file, const std::string& record, const ReaderList* snapshot, bool judge,
                   std::optional<std::string>& previous) {
  std::error_code ec;
  previous.reset();
  if (fs::exists(file, ec)) {
    previous = ReadFileBytes(file);
    if (!previous) return false;  // unreadable: appending would lose it
  } else if (ec) {
    return false;
  }
  std::string text = previous.value_or("");
  if (judge) text.resize(CommittedHistoryLength(text, snapshot));
  EndWithLineBreak(text);
  return WriteFileAtomic(file, text + record);
}

// The record's time: the list's, or now when the system cannot turn the
// list's time into local time (a stamp that is no time is never shown).
std::string RecordStamp(fs::file_time_type modified, const FileTimeFormatter& formatter) {
  std::string stamp = FormatHistoryTime(formatter.LocalTime(modified));
  if (HistoryMinute(stamp)) return stamp;
  return FormatHistoryTime(formatter.LocalTime(fs::file_time_type::clock::now()));
}

bool TakeBackHistory(const fs::path& file, const std::optional<std::string>& previous) {
  if (previous) return WriteFileAtomic(file, *previous);
  return DeleteForced(file);
}

}  // namespace

AcceptResult AcceptNewList(const fs::path& programFolder, std::string_view id, const ChangeReport& report,
                           const FileTimeFormatter& formatter, bool historyWritten) {
  const fs::path newFile = programFolder / kTmpListFile;
  std::error_code ec;
  if (!fs::is_regular_file(newFile, ec)) return AcceptResult::NothingToStore;
  const std::optional<fs::path> snapshot = SnapshotFilePath(programFolder, id);
  const std::optional<fs::path> history = HistoryFilePath(programFolder, id);
  if (!snapshot || !history) return AcceptResult::NotStored;
  const fs::file_time_type modified = fs::last_write_time(newFile, ec);
  if (ec) return AcceptResult::NotStored;
  const std::optional<std::string> bytes = ReadFileBytes(newFile);
  if (!bytes) return AcceptResult::NotStored;

  std::optional<std::string> previous;
  if (!historyWritten) {
    const bool firstCheck = !fs::exists(*snapshot, ec);
    const std::optional<ReaderList> old = firstCheck ? std::nullopt : ReadReaderListFile(*snapshot);
    const std::string record = HistoryRecord(report, RecordStamp(modified, formatter), firstCheck);
    if (!AppendHistory(*history, record, old ? &*old : nullptr, firstCheck || old, previous)) {
      return AcceptResult::HistoryNotWritten;
    }
  }
  if (!WriteFileAtomic(*snapshot, *bytes, {kListTempSuffix, modified})) {
    if (historyWritten) return AcceptResult::NotStoredHistoryKept;
    return TakeBackHistory(*history, previous) ? AcceptResult::NotStored : AcceptResult::NotStoredHistoryKept;
  }
  if (!DeleteForced(newFile)) return AcceptResult::TmpNotDeleted;
  return AcceptResult::Accepted;
}

std::string AcceptMessage(AcceptResult result, std::string_view id) {
  const std::string notStored = cp1251("Не удалось сохранить новый список читателей в файл ") + id +
                                cp1251(".id в папке программы.\r\n\r\n");
  switch (result) {
    case AcceptResult::HistoryNotWritten:
      return cp1251("Не удалось дописать историю изменений в файл ") + id +
             cp1251(
                 ".history.txt в папке программы.\r\n\r\nЧтобы этот отчёт не пропал из истории, новый "
                 "список читателей не сохранён: прежний список и файл tmp.id остались без изменений.");
    case AcceptResult::NotStored:
      return notStored + cp1251("Прежний список, история изменений и файл tmp.id остались без изменений.");
    case AcceptResult::NotStoredHistoryKept:
      return notStored +
             cp1251(
                 "Прежний список и файл tmp.id остались без изменений, но запись об этом отчёте "
                 "уже есть в файле ") +
             std::string(id) +
             cp1251(
                 ".history.txt, и убрать её не удалось. Повторное сохранение не запишет отчёт в историю "
                 "второй раз.");
    case AcceptResult::TmpNotDeleted:
      return cp1251("Новый список читателей сохранён, но файл tmp.id удалить не удалось.");
    case AcceptResult::Accepted:
    case AcceptResult::NothingToStore:
      break;
  }
  return {};
}

}  // namespace tw
