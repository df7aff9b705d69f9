#include "readers/history_model.h"

#include <algorithm>
#include <cstdio>

#include "files/atomic_file.h"
#include "readers/report_model.h"

namespace tw {

namespace {

constexpr std::int64_t kMinutesPerDay = 24 * 60;
constexpr std::size_t kMaxCountSteps = 5;
constexpr int kMaxTimeTicks = 5;

struct Civil {
  std::int64_t year;
  int month, day, hour, minute;
};

Civil CivilFromMinute(std::int64_t minute) {
  std::int64_t days = minute / kMinutesPerDay;
  std::int64_t rest = minute % kMinutesPerDay;
  if (rest < 0) {
    rest += kMinutesPerDay;
    --days;
  }
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t doe = days - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  return {yoe + era * 400 + (month <= 2), month, day, static_cast<int>(rest / 60),
          static_cast<int>(rest % 60)};
}

std::string TimeLabel(std::int64_t minute, bool withTime) {
  const Civil c = CivilFromMinute(minute);
  char text[64];
  if (withTime) {
    std::snprintf(text, sizeof text, "%02d.%02d %02d:%02d", c.day, c.month, c.hour, c.minute);
  } else {
    std::snprintf(text, sizeof text, "%02d.%02d.%04lld", c.day, c.month, static_cast<long long>(c.year));
  }
  return text;
}

// The smallest of 1, 2, 5 times a power of ten that covers `range` in at
// most kMaxCountSteps steps.
std::size_t CountStep(std::size_t range) {
  for (std::size_t power = 1;; power *= 10) {
    for (std::size_t factor : {1, 2, 5}) {
      if (power * factor * kMaxCountSteps >= range) return power * factor;
    }
  }
}

std::u16string Utf16(std::string_view cp1251Text) { return Cp1251ToUtf16(cp1251Text); }

}  // namespace

std::string HistoryCaption(std::string_view id) { return cp1251("История изменений ID=") + id; }

std::string HistoryTotalsText(const History& history) {
  std::string text = cp1251("Пришли: ") + std::to_string(history.came) + cp1251(", ушли: ") +
                     std::to_string(history.left) + cp1251(", сменили имя: ") +
                     std::to_string(history.renamed);
  if (history.damaged > 0)
    text += cp1251(". Пропущено повреждённых строк: ") + std::to_string(history.damaged);
  return text;
}

std::u16string HistoryEventLine(const HistoryEvent& event) {
  std::u16string line;
  if (const std::optional<std::int64_t> minute = HistoryMinute(event.stamp)) {
    const Civil c = CivilFromMinute(*minute);
    char text[64];
    std::snprintf(text, sizeof text, "%02d.%02d.%04lld %02d:%02d", c.day, c.month,
                  static_cast<long long>(c.year), c.hour, c.minute);
    line = Utf16(text);
  } else {
    line = Utf16(event.stamp);
  }
  switch (event.sign) {
    case HistorySign::Subscribed:
      line += u"\t+\t";
      break;
    case HistorySign::Unsubscribed:
      line += u"\t\u2212\t";
      break;
    case HistorySign::Renamed:
      line += u"\t~\t";
      break;
  }
  line += Utf16(event.nick);
  if (event.sign == HistorySign::Renamed) line += u" \u2192 " + Utf16(event.newNick);
  return line;
}

ChartLayout LayoutChart(const std::vector<HistoryPoint>& points, const ChartRect& plot) {
  ChartLayout layout;
  if (points.empty()) return layout;
  // The file is in the order of acceptance; the chart runs in time.
  std::vector<HistoryPoint> sorted = points;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const HistoryPoint& a, const HistoryPoint& b) { return a.minute < b.minute; });

  layout.minuteFrom = sorted.front().minute;
  layout.minuteTo = sorted.back().minute;
  if (layout.minuteFrom == layout.minuteTo) {
    layout.minuteFrom -= kMinutesPerDay;
    layout.minuteTo += kMinutesPerDay;
  }
  const auto [low, high] =
      std::minmax_element(sorted.begin(), sorted.end(),
                          [](const HistoryPoint& a, const HistoryPoint& b) { return a.count < b.count; });
  const std::size_t step = CountStep(high->count - low->count);
  layout.countFrom = low->count / step * step;
  layout.countTo = (high->count + step - 1) / step * step;
  // A count that never changed runs through the middle, not along an edge.
  if (layout.countTo == layout.countFrom) {
    if (layout.countFrom >= step) layout.countFrom -= step;
    layout.countTo += step;
  }

  const double width = plot.right - plot.left;
  const double height = plot.bottom - plot.top;
  const auto xOf = [&](std::int64_t minute) {
    return plot.left + width * static_cast<double>(minute - layout.minuteFrom) /
                           static_cast<double>(layout.minuteTo - layout.minuteFrom);
  };
  const auto yOf = [&](std::size_t count) {
    return plot.bottom - height * static_cast<double>(count - layout.countFrom) /
                             static_cast<double>(layout.countTo - layout.countFrom);
  };
  layout.points.reserve(sorted.size());
  for (const HistoryPoint& p : sorted) layout.points.push_back({xOf(p.minute), yOf(p.count)});

  for (std::size_t count = layout.countFrom; count <= layout.countTo; count += step) {
    layout.yTicks.push_back({yOf(count), std::to_string(count)});
  }
  // Times within two days are told apart by the hour; longer spans by the
  // date alone. Ticks that would repeat a label are left out.
  const bool withTime = layout.minuteTo - layout.minuteFrom < 2 * kMinutesPerDay;
  for (int i = 0; i < kMaxTimeTicks; ++i) {
    const std::int64_t minute =
        layout.minuteFrom + (layout.minuteTo - layout.minuteFrom) * i / (kMaxTimeTicks - 1);
    std::string label = TimeLabel(minute, withTime);
    if (!layout.xTicks.empty() && layout.xTicks.back().label == label) continue;
    layout.xTicks.push_back({xOf(minute), std::move(label)});
  }
  return layout;
}

HistoryPage LoadHistoryPage(const std::filesystem::path& programFolder, std::string_view id) {
  HistoryPage page;
  page.caption = HistoryCaption(id);
  page.file = HistoryFilePath(programFolder, id);
  page.emptyText = kHistoryEmptyText;
  if (page.file && MayExist(*page.file)) {
    std::optional<std::string> text = ReadFileBytes(*page.file);
    if (!text) {
      page.emptyText = cp1251("Файл истории ") + page.file->filename().string() +
                       cp1251(" не удалось прочитать: он занят или недоступен.");
      return page;
    }
    // Without a snapshot a lone starting point may as well be one whose
    // snapshot was deleted by hand; the next accept decides on it.
    if (const std::optional<ReaderList> old = ReadReaderListFile(*SnapshotFilePath(programFolder, id))) {
      text->resize(CommittedHistoryLength(*text, &*old));
    }
    page.history = ParseHistory(*text);
  }
  page.empty = page.history.Empty();
  if (page.empty && page.history.damaged > 0) {
    page.emptyText = cp1251("В файле истории не удалось прочитать ни одной строки (повреждённых строк: ") +
                     std::to_string(page.history.damaged) + ").";
  }
  page.totals = HistoryTotalsText(page.history);
  page.lines.reserve(page.history.events.size());
  for (const HistoryEvent& event : page.history.events) page.lines.push_back(HistoryEventLine(event));
  return page;
}

std::string HistoryEventPage(const HistoryPage& page, int selected) {
  if (selected < 0 || static_cast<std::size_t>(selected) >= page.history.events.size()) return {};
  return MemberPageUrl(page.history.events[static_cast<std::size_t>(selected)].ID);
}

}  // namespace tw
