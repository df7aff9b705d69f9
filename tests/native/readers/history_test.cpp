#include <gtest/gtest.h>

#include "readers/history_file.h"
#include "readers/history_model.h"
#include "temp_folder.h"

namespace tw {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;
using test::WriteBytes;

std::string Lines(std::initializer_list<const char*> utf8) {
  std::string text;
  for (const char* line : utf8) text += Utf8ToCp1251(line) + "\r\n";
  return text;
}

TEST(History, ReadsReportsNewestFirstAndCountsEvents) {
  const History h = ParseHistory(Lines({
      "2025-01-05 10:00\tвсего\t2", "2025-02-01 09:30\tвсего\t3", "2025-02-01 09:30\t+\t4\tНовый",
      "2025-02-01 09:30\t+\t5\tЕщё", "2025-02-01 09:30\t-\t2\tУшедший", "2025-03-01 12:00\tвсего\t3",
      "2025-03-01 12:00\t~\t3\tСтарое\tНовое имя",
      "2025-03-01 12:00\t+\t9",         // cut short
      "2025-03-0x 12:00\t+\t9\tBad",    // no time
      "2025-03-01 12:00\t?\t9\tWhat",   // unknown sign
      "2025-03-01 12:00\tвсего\tmany",  // no count
  }));
  ASSERT_EQ(h.points.size(), 3u);
  EXPECT_EQ(h.points[1].count, 3u);
  EXPECT_EQ(h.points[1].minute - h.points[0].minute, (27 * 24 - 1) * 60 + 30);
  EXPECT_EQ(Cp1251ToUtf8(HistoryTotalsText(h)),
            "Пришли: 2, ушли: 1, сменили имя: 1. Пропущено повреждённых строк: 4");
  std::vector<std::u16string> lines;
  for (const HistoryEvent& e : h.events) lines.push_back(HistoryEventLine(e));
  EXPECT_EQ(lines, (std::vector<std::u16string>{
                       u"01.03.2025 12:00\t~\tСтарое \u2192 Новое имя",
                       u"01.02.2025 09:30\t+\tНовый",
                       u"01.02.2025 09:30\t+\tЕщё",
                       u"01.02.2025 09:30\t\u2212\tУшедший",
                   }));
  // A time the calendar does not have is no stamp.
  EXPECT_EQ(HistoryMinute("2025-13-01 00:00"), std::nullopt);
  EXPECT_EQ(HistoryMinute("1970-01-02 00:01"), 24 * 60 + 1);
}

TEST(History, RecordOfAReportInListOrder) {
  ChangeReport report;
  report.Subscribed = {"A", "B"};
  report.SubscribedIDs = {"1", "2"};
  report.Renamed = {"Old\tNew"};
  report.ChangedNickIDs = {"3"};
  report.newLineCount = 7;
  std::tm time{};
  time.tm_year = 99;
  time.tm_mon = 11;
  time.tm_mday = 31;
  time.tm_hour = 23;
  time.tm_min = 5;
  const std::string stamp = FormatHistoryTime(time);
  EXPECT_EQ(stamp, "1999-12-31 23:05");
  EXPECT_EQ(HistoryRecord(report, stamp, false),
            Lines({"1999-12-31 23:05\tвсего\t7", "1999-12-31 23:05\t+\t1\tA", "1999-12-31 23:05\t+\t2\tB",
                   "1999-12-31 23:05\t~\t3\tOld\tNew"}));
  EXPECT_EQ(HistoryRecord(report, stamp, true), Lines({"1999-12-31 23:05\tвсего\t7"}));
}

// A TAB, CR or LF inside a nickname would cut the record's line; each is
// kept as a blank, so the event stays whole.
TEST(History, NicknamesWithLineCharactersStayOneLine) {
  const ChangeReport report = CompareReaderLists(ParseReaderList("1%A\tB\r\n2%C\nD\r\n3%Old\tone\r\n"),
                                                 ParseReaderList("3%New\rone\r\n4%E\rF\r\n"));
  const History h = ParseHistory(HistoryRecord(report, "2025-01-05 10:00", false));
  ASSERT_EQ(h.events.size(), 4u);
  EXPECT_EQ(h.events[0].nick, "A B");
  EXPECT_EQ(h.events[1].nick, "C D");
  EXPECT_EQ(h.events[2].nick, "E F");
  EXPECT_EQ(h.events[3].nick, "New one");
  EXPECT_EQ(h.events[3].newNick, "Old one");
}

// What a person may leave in the file: each damaged line is skipped and
// counted, and costs nothing else.
TEST(History, DamagedLinesAreSkippedAndCounted) {
  const char* total = "2025-03-01 12:00\tвсего\t3";
  const struct {
    const char* line;
    std::size_t points, events;  // what the report of `total` plus the line gives
  } cases[] = {
      {"2025-03-01 12:00\t+\t9\tGood", 1, 1},
      {"2025-03-01 24:00\tвсего\t3", 1, 0},
      {"2025-02-30 12:00\tвсего\t3", 1, 0},
      {"2025-03-01 12:00\tвсего\t12x", 1, 0},
      {"2025-03-01 12:00\tвсего\t", 1, 0},
      {"2025-03-01 12:00\t+\t9", 1, 0},
      {"2025-03-01 12:00\t?\t9\tWhat", 1, 0},
      {"2025-03-02 12:00\t+\t9\tNo total of its own", 1, 0},
      {"2025-03-01 12:00\t~\t9\tOnly one name", 1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const History h = ParseHistory(Lines({total, c.line}));
    EXPECT_EQ(h.points.size(), c.points);
    EXPECT_EQ(h.events.size(), c.events);
    EXPECT_EQ(h.came + h.left + h.renamed, c.events);
    EXPECT_EQ(h.damaged, 1 - c.events);
  }
  // Events before any total belong to no report; blank lines are no damage.
  EXPECT_EQ(ParseHistory(Lines({"2025-03-01 12:00\t+\t9\tX", total, "", " "})).damaged, 1u);
  EXPECT_EQ(Cp1251ToUtf8(HistoryTotalsText(ParseHistory(Lines({total, "x", "y"})))),
            "Пришли: 0, ушли: 0, сменили имя: 0. Пропущено повреждённых строк: 2");
}

TEST(History, ChartAxesEncloseEveryPoint) {
  const ChartRect plot{50, 10, 450, 210};
  std::vector<HistoryPoint> points = {{"", 2 * 24 * 60, 118}, {"", 0, 97}, {"", 10 * 24 * 60, 131}};
  ChartLayout c = LayoutChart(points, plot);
  // 97..131 in steps of 10: 90..140.
  EXPECT_EQ(c.countFrom, 90u);
  EXPECT_EQ(c.countTo, 140u);
  ASSERT_EQ(c.yTicks.size(), 6u);
  EXPECT_EQ(c.yTicks.front().label, "90");
  EXPECT_DOUBLE_EQ(c.yTicks.front().at, 210);
  EXPECT_DOUBLE_EQ(c.yTicks.back().at, 10);
  ASSERT_EQ(c.points.size(), 3u);
  EXPECT_DOUBLE_EQ(c.points[0].x, 50) << "sorted by time";
  EXPECT_DOUBLE_EQ(c.points[0].y, 210 - 200 * 7.0 / 50);
  EXPECT_DOUBLE_EQ(c.points[2].x, 450);
  ASSERT_EQ(c.xTicks.size(), 5u);
  EXPECT_EQ(c.xTicks.front().label, "01.01.1970");
  EXPECT_EQ(c.xTicks.back().label, "11.01.1970");
  EXPECT_DOUBLE_EQ(c.xTicks[2].at, 250);

  // One report: a day either side, the count inside one step; no label
  // repeats, and within two days the ticks tell the hours.
  c = LayoutChart({{"", 60, 0}}, plot);
  EXPECT_EQ(c.minuteTo - c.minuteFrom, 2 * 24 * 60);
  EXPECT_EQ(c.countFrom, 0u);
  EXPECT_EQ(c.countTo, 1u);
  EXPECT_DOUBLE_EQ(c.points[0].x, 250);
  ASSERT_EQ(c.xTicks.size(), 3u);
  EXPECT_EQ(c.xTicks[1].label, "01.01.1970");
  c = LayoutChart({{"", 0, 5}, {"", 2, 5}}, plot);
  EXPECT_DOUBLE_EQ(c.points[0].y, 110) << "a flat count runs through the middle";
  ASSERT_EQ(c.xTicks.size(), 3u);
  EXPECT_EQ(c.xTicks[2].label, "01.01 00:02");
  EXPECT_TRUE(LayoutChart({}, plot).points.empty());
}

TEST(History, PageOfAMissingEmptyOrUnreadableFile) {
  TempFolder folder;
  HistoryPage page = LoadHistoryPage(folder.path(), "77");
  EXPECT_TRUE(page.empty);
  EXPECT_EQ(page.emptyText, kHistoryEmptyText.str());
  EXPECT_EQ(Cp1251ToUtf8(page.caption), "История изменений ID=77");
  EXPECT_EQ(page.file, folder / "77.history.txt");
  WriteBytes(folder / "77.history.txt", "");
  EXPECT_TRUE(LoadHistoryPage(folder.path(), "77").empty);
  WriteBytes(folder / "77.history.txt", Lines({"2025-01-05 10:00\tвсего\t2"}));
  page = LoadHistoryPage(folder.path(), "77");
  EXPECT_FALSE(page.empty);
  EXPECT_TRUE(page.lines.empty());
  EXPECT_FALSE(LoadHistoryPage(folder.path(), "7/7").file.has_value());
  WriteBytes(folder / "77.history.txt", "damaged\r\n");
  EXPECT_EQ(Cp1251ToUtf8(LoadHistoryPage(folder.path(), "77").emptyText),
            "В файле истории не удалось прочитать ни одной строки (повреждённых строк: 1).");
  // A file that is there but cannot be read is not an empty history.
  fs::remove(folder / "77.history.txt");
  fs::create_directories(folder / "77.history.txt" / "inside");
  page = LoadHistoryPage(folder.path(), "77");
  EXPECT_TRUE(page.empty);
  EXPECT_EQ(Cp1251ToUtf8(page.emptyText),
            "Не удалось прочитать файл истории 77.history.txt: он занят другой программой или недоступен.");
}

// The page leaves out a record whose snapshot never came, and only that.
TEST(History, PageLeavesOutARecordWhoseSnapshotNeverCame) {
  TempFolder folder;
  const std::string history = Lines({"2025-01-05 10:00\tвсего\t1", "2025-02-01 09:30\tвсего\t2",
                                     "2025-02-01 09:30\t+\t4\tНовый", "2025-02-01 09:30\t~\t1\tA\tB"});
  WriteBytes(folder / "7.history.txt", history);
  const struct {
    const char* snapshot;  // nullptr: none
    std::size_t points;
  } cases[] = {{"1%A\r\n", 1}, {"1%B\r\n4%N\r\n", 2}, {"1%A\r\n4%N\r\n", 2}, {nullptr, 2}};
  for (const auto& c : cases) {
    fs::remove(folder / "7.id");
    if (c.snapshot) WriteBytes(folder / "7.id", c.snapshot);
    EXPECT_EQ(LoadHistoryPage(folder.path(), "7").history.points.size(), c.points)
        << (c.snapshot ? c.snapshot : "none");
  }
}

}  // namespace
}  // namespace tw
