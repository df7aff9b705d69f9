#include "readers/history_file.h"

#include <charconv>
#include <cstdio>

#include "settings/settings.h"

namespace tw {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kCrLf = "\r\n";
// No profile has more readers; a larger count is a damaged line.
constexpr std::size_t kMaxCount = 1'000'000'000;

void AddLine(std::string& out, std::string_view stamp, std::string_view tag,
             std::initializer_list<std::string_view> fields) {
  out.append(stamp).append("\t").append(tag);
  for (std::string_view field : fields) out.append("\t").append(field);
  out.append(kCrLf);
}

// Splits `line` at TABs into at most `limit` fields; the last keeps any
// further TAB.
std::vector<std::string_view> Fields(std::string_view line, std::size_t limit) {
  std::vector<std::string_view> fields;
  while (fields.size() + 1 < limit) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos) break;
    fields.push_back(line.substr(0, tab));
    line.remove_prefix(tab + 1);
  }
  fields.push_back(line);
  return fields;
}

bool Digits(std::string_view text, std::size_t pos, std::size_t count, int& value) {
  if (pos + count > text.size()) return false;
  const char* first = text.data() + pos;
  for (std::size_t i = 0; i < count; ++i) {
    if (first[i] < '0' || first[i] > '9') return false;
  }
  std::from_chars(first, first + count, value);
  return true;
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

}  // namespace

std::optional<fs::path> HistoryFilePath(const fs::path& programFolder, std::string_view id) {
  if (!IsValidProfileId(id)) return std::nullopt;
  return programFolder / (std::string(id) + std::string(kHistoryFileSuffix));
}

std::string FormatHistoryTime(const std::tm& time) {
  char text[96];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", time.tm_year + 1900, time.tm_mon + 1,
                time.tm_mday, time.tm_hour, time.tm_min);
  return text;
}

std::string HistoryRecord(const ChangeReport& report, std::string_view stamp, bool firstCheck) {
  std::string out;
  AddLine(out, stamp, kHistoryTotalTag, {std::to_string(report.newLineCount)});
  if (firstCheck) return out;
  for (std::size_t i = 0; i < report.Subscribed.size(); ++i) {
    AddLine(out, stamp, "+", {report.SubscribedIDs[i], report.Subscribed[i]});
  }
  for (std::size_t i = 0; i < report.Unsubscribed.size(); ++i) {
    AddLine(out, stamp, "-", {report.UnsubscribedIDs[i], report.Unsubscribed[i]});
  }
  // A List3 line already is "old TAB new".
  for (std::size_t i = 0; i < report.Renamed.size(); ++i) {
    AddLine(out, stamp, "~", {report.ChangedNickIDs[i], report.Renamed[i]});
  }
  return out;
}

std::optional<std::int64_t> HistoryMinute(std::string_view stamp) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
  if (stamp.size() != 16 || stamp[4] != '-' || stamp[7] != '-' || stamp[10] != ' ' || stamp[13] != ':' ||
      !Digits(stamp, 0, 4, year) || !Digits(stamp, 5, 2, month) || !Digits(stamp, 8, 2, day) ||
      !Digits(stamp, 11, 2, hour) || !Digits(stamp, 14, 2, minute)) {
    return std::nullopt;
  }
  if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59) return std::nullopt;
  return (DaysFromCivil(year, month, day) * 24 + hour) * 60 + minute;
}

History ParseHistory(std::string_view text) {
  History history;
  // Events in file order, each with the number of its report; a report
  // starts at its total line or where the stamp changes.
  std::vector<std::size_t> reportOf;
  std::size_t report = 0;
  std::string_view lastStamp;
  bool anyLine = false;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::vector<std::string_view> f = Fields(line, 5);
    if (f.size() < 3 || !HistoryMinute(f[0])) continue;
    const bool total = f[1] == kHistoryTotalTag.view();
    if (total || !anyLine || f[0] != lastStamp) ++report;
    anyLine = true;
    lastStamp = f[0];
    if (total) {
      std::size_t count = 0;
      const auto [stop, error] = std::from_chars(f[2].data(), f[2].data() + f[2].size(), count);
      if (error != std::errc() || stop != f[2].data() + f[2].size() || count > kMaxCount) continue;
      history.points.push_back({std::string(f[0]), *HistoryMinute(f[0]), count});
      continue;
    }
    HistoryEvent event;
    if (f[1] == "+" && f.size() == 4) {
      event.sign = HistorySign::Subscribed;
      ++history.came;
    } else if (f[1] == "-" && f.size() == 4) {
      event.sign = HistorySign::Unsubscribed;
      ++history.left;
    } else if (f[1] == "~" && f.size() == 5) {
      event.sign = HistorySign::Renamed;
      event.newNick = std::string(f[4]);
      ++history.renamed;
    } else {
      continue;
    }
    event.stamp = std::string(f[0]);
    event.ID = std::string(f[2]);
    event.nick = std::string(f[3]);
    history.events.push_back(std::move(event));
    reportOf.push_back(report);
  }
  // Newest report first; within a report the lines keep their list order.
  std::vector<HistoryEvent> ordered;
  ordered.reserve(history.events.size());
  std::size_t end = history.events.size();
  while (end > 0) {
    std::size_t begin = end;
    while (begin > 0 && reportOf[begin - 1] == reportOf[end - 1]) --begin;
    for (std::size_t i = begin; i < end; ++i) ordered.push_back(std::move(history.events[i]));
    end = begin;
  }
  history.events = std::move(ordered);
  return history;
}

}  // namespace tw
