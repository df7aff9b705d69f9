// The history window without its windows: the caption, the events as lines,
// the totals, the empty text, and the chart as plain arithmetic (points,
// axis ranges and ticks inside a given plot rectangle).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "readers/history_file.h"
#include "text/cp1251.h"

namespace tw {

inline constexpr auto kHistoryEmptyText =
    cp1251("История пока пуста: она начнётся с первого принятого отчёта.");
inline constexpr auto kHistoryFileLinkText = cp1251("Открыть файл истории");

// "История изменений ID=" + ID
std::string HistoryCaption(std::string_view id);
// "Пришли: N, ушли: M, сменили имя: K", and how many damaged lines were
// skipped, if any.
std::string HistoryTotalsText(const History& history);
// One line of the events list: date and time, sign (+, minus sign, ~) and
// nickname, "old → new" for a rename; TABs between the columns. UTF-16,
// since the minus sign and the arrow are not in the code page.
std::u16string HistoryEventLine(const HistoryEvent& event);

struct ChartRect {
  double left = 0, top = 0, right = 0, bottom = 0;
};

struct ChartTick {
  double at = 0;  // pixel: x for the bottom axis, y for the side axis
  std::string label;
};

struct ChartPoint {
  double x = 0, y = 0;
};

struct ChartLayout {
  std::vector<ChartPoint> points;  // one per accepted report, in time order
  std::vector<ChartTick> xTicks;   // dates along the bottom
  std::vector<ChartTick> yTicks;   // counts up the side
  std::int64_t minuteFrom = 0, minuteTo = 0;
  std::size_t countFrom = 0, countTo = 0;
};

// The readers over time inside `plot`. The count axis runs over round steps
// (1, 2 or 5 times a power of ten) that enclose every count; the time axis
// from the first report to the last (a day either side of a lone one).
ChartLayout LayoutChart(const std::vector<HistoryPoint>& points, const ChartRect& plot);

// What the window shows, read from the profile's history file.
struct HistoryPage {
  std::string caption;
  bool empty = true;      // no file, nothing in it, or a file that cannot be read
  std::string emptyText;  // shown instead of the chart and the list when empty
  History history;
  std::string totals;
  std::vector<std::u16string> lines;  // the events, newest first
  std::optional<std::filesystem::path> file;
};
// A record whose snapshot replace never happened (a crash in the middle of an
// accept) is not shown.
HistoryPage LoadHistoryPage(const std::filesystem::path& programFolder, std::string_view id);

// The member page a double-click on event line `selected` opens; empty for
// no line.
std::string HistoryEventPage(const HistoryPage& page, int selected);

}  // namespace tw
