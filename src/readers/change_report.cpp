#include "readers/change_report.h"

#include <chrono>
#include <cstdio>
#include <system_error>

#include "settings/atomic_file.h"
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

std::string LocalFileTimeFormatter::Format(fs::file_time_type time) const {
  const auto system = std::chrono::file_clock::to_sys(time);
  const std::time_t seconds = std::chrono::system_clock::to_time_t(
      std::chrono::time_point_cast<std::chrono::system_clock::duration>(system));
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &seconds);
#else
  localtime_r(&seconds, &local);
#endif
  return FormatDateTime(local);
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

AcceptResult AcceptNewList(const fs::path& programFolder, std::string_view id) {
  const fs::path newFile = programFolder / kTmpListFile;
  std::error_code ec;
  if (!fs::is_regular_file(newFile, ec)) return AcceptResult::NothingToStore;
  const std::optional<fs::path> snapshot = SnapshotFilePath(programFolder, id);
  if (!snapshot) return AcceptResult::NotStored;
  const fs::file_time_type modified = fs::last_write_time(newFile, ec);
  if (ec) return AcceptResult::NotStored;
  const std::optional<std::string> bytes = ReadFileBytes(newFile);
  if (!bytes || !WriteFileAtomic(*snapshot, *bytes, {kListTempSuffix, modified}))
    return AcceptResult::NotStored;
  if (!DeleteForced(newFile)) return AcceptResult::TmpNotDeleted;
  return AcceptResult::Accepted;
}

std::string AcceptMessage(AcceptResult result, std::string_view id) {
  switch (result) {
    case AcceptResult::NotStored:
      return cp1251("Не удалось сохранить новый список читателей в файл ") + id +
             cp1251(".id в папке программы.\r\n\r\nПрежний список и файл tmp.id остались без изменений.");
    case AcceptResult::TmpNotDeleted:
      return cp1251("Новый список читателей сохранён, но файл tmp.id удалить не удалось.");
    case AcceptResult::Accepted:
    case AcceptResult::NothingToStore:
      break;
  }
  return {};
}

}  // namespace tw
