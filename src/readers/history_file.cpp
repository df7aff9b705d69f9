#include "readers/history_file.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <unordered_map>

#include "settings/settings.h"

namespace tw {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kCrLf = "\r\n";
// No profile has more readers; a larger count is a damaged line.
constexpr std::size_t kMaxCount = 1'000'000'000;

// A field of one line: TAB, CR and LF, which would split it, become blanks.
std::string Field(std::string_view text) {
  std::string field(text);
  std::replace_if(
      field.begin(), field.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
  return field;
}

void AddLine(std::string& out, std::string_view stamp, std::string_view tag,
             std::initializer_list<std::string_view> fields) {
  out.append(stamp).append("\t").append(tag);
  for (std::string_view field : fields) out.append("\t").append(Field(field));
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
  for (std::size_t i = 0; i < report.Renamed.size(); ++i) {
    // A List3 line is "old TAB new"; the old nickname may hold a TAB too.
    const std::string_view line = report.Renamed[i];
    const std::size_t split = i < report.RenamedOldLength.size() ? report.RenamedOldLength[i]
                                                                 : std::min(line.find('\t'), line.size());
    const std::string_view after = line.substr(std::min(split + 1, line.size()));
    AddLine(out, stamp, "~", {report.ChangedNickIDs[i], line.substr(0, split), after});
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
  constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1] || hour > 23 || minute > 59) {
    return std::nullopt;
  }
  const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
  if (month == 2 && day == 29 && !leap) return std::nullopt;
  return (DaysFromCivil(year, month, day) * 24 + hour) * 60 + minute;
}

namespace {

// One line of the file, read on its own.
struct Line {
  enum Kind { Blank, Damaged, Total, Event } kind = Damaged;
  std::string_view stamp;
  std::size_t count = 0;  // a total's
  HistoryEvent event;     // an event's, without its stamp
};

Line ReadLine(std::string_view text) {
  Line line;
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  if (text.find_first_not_of(" \t") == std::string_view::npos) {
    line.kind = Line::Blank;
    return line;
  }
  const std::vector<std::string_view> f = Fields(text, 5);
  if (f.size() < 3 || !HistoryMinute(f[0])) return line;
  line.stamp = f[0];
  if (f[1] == kHistoryTotalTag.view()) {
    const auto [stop, error] = std::from_chars(f[2].data(), f[2].data() + f[2].size(), line.count);
    if (f.size() == 3 && error == std::errc() && stop == f[2].data() + f[2].size() &&
        line.count <= kMaxCount) {
      line.kind = Line::Total;
    }
    return line;
  }
  HistoryEvent& event = line.event;
  if (f[1] == "+" && f.size() == 4) {
    event.sign = HistorySign::Subscribed;
  } else if (f[1] == "-" && f.size() == 4) {
    event.sign = HistorySign::Unsubscribed;
  } else if (f[1] == "~" && f.size() == 5) {
    event.sign = HistorySign::Renamed;
    event.newNick = std::string(f[4]);
  } else {
    return line;
  }
  event.ID = std::string(f[2]);
  event.nick = std::string(f[3]);
  line.kind = Line::Event;
  return line;
}

// Calls `visit(line, offset)` for every line of `text`.
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
  std::size_t offset = 0;
  while (offset < text.size()) {
    const std::size_t end = text.find('\n', offset);
    const std::size_t stop = end == std::string_view::npos ? text.size() : end;
    visit(ReadLine(text.substr(offset, stop - offset)), offset);
    offset = stop + 1;
  }
}

}  // namespace

History ParseHistory(std::string_view text) {
  History history;
  // Events in file order, each with the number of its report: the total
  // line with its stamp that stands before it.
  std::vector<std::size_t> reportOf;
  std::size_t report = 0;
  std::string_view reportStamp;
  ForEachLine(text, [&](Line line, std::size_t) {
    switch (line.kind) {
      case Line::Blank:
        return;
      case Line::Damaged:
        ++history.damaged;
        return;
      case Line::Total:
        ++report;
        reportStamp = line.stamp;
        history.points.push_back({std::string(line.stamp), *HistoryMinute(line.stamp), line.count});
        return;
      case Line::Event:
        break;
    }
    if (report == 0 || line.stamp != reportStamp) {
      ++history.damaged;
      return;
    }
    line.event.stamp = std::string(line.stamp);
    switch (line.event.sign) {
      case HistorySign::Subscribed:
        ++history.came;
        break;
      case HistorySign::Unsubscribed:
        ++history.left;
        break;
      case HistorySign::Renamed:
        ++history.renamed;
        break;
    }
    history.events.push_back(std::move(line.event));
    reportOf.push_back(report);
  });
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

std::size_t CommittedHistoryLength(std::string_view text, const ReaderList* snapshot) {
  std::optional<std::size_t> lastTotal;
  ForEachLine(text, [&](const Line& line, std::size_t offset) {
    if (line.kind == Line::Total) lastTotal = offset;
  });
  if (!lastTotal) return text.size();
  const History last = ParseHistory(text.substr(*lastTotal));
  if (!snapshot || last.events.empty()) return !snapshot && last.events.empty() ? *lastTotal : text.size();
  // Every change of the record still to come: the snapshot is the list
  // before it.
  std::unordered_map<std::string_view, std::string_view> nickOf;
  for (const ReaderEntry& entry : snapshot->entries) nickOf.emplace(entry.ID, entry.Nick);
  const bool before = std::all_of(last.events.begin(), last.events.end(), [&](const HistoryEvent& e) {
    const auto found = nickOf.find(e.ID);
    switch (e.sign) {
      case HistorySign::Subscribed:
        return found == nickOf.end();
      case HistorySign::Unsubscribed:
        return found != nickOf.end();
      case HistorySign::Renamed:
        break;
    }
    // A rename the blanks have made invisible tells nothing.
    return found != nickOf.end() && e.nick != e.newNick && Field(found->second) == e.nick;
  });
  return before ? *lastTotal : text.size();
}

void EndWithLineBreak(std::string& text) {
  if (text.empty() || text.back() == '\n') return;
  text += text.back() == '\r' ? "\n" : "\r\n";
}

}  // namespace tw
