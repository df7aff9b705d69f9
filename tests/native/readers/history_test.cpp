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

// TAB, CR and LF inside a nickname are kept as blanks: the event stays one line.
TEST(History, NicknamesWithLineCharactersStayOneLine) {
  const ChangeReport report = CompareReaderLists(ParseReaderList("1%A\tB\r\n2%C\nD\r\n3%Old\tone\r\n"),
                                                 ParseReaderList("3%New\rone\r\n4%E\rF\r\n"));
  std::vector<std::string> nicks;
  for (const HistoryEvent& e : ParseHistory(HistoryRecord(report, "2025-01-05 10:00", false)).events) {
    nicks.push_back(e.nick + "|" + e.newNick);
  }
  EXPECT_EQ(nicks, (std::vector<std::string>{"A B|", "C D|", "E F|", "New one|Old one"}));
}

// Lines a person may leave in the file: each is skipped and counted.
TEST(History, DamagedLinesAreSkippedAndCounted) {
  for (const char* line :
       {"2025-03-01 24:00\tвсего\t3", "2025-02-29 12:00\tвсего\t3", "2025-03-01 12:00\tвсего\t12x",
        "2025-03-01 12:00\t+\t9", "2025-03-01 12:00\t?\t9\tWhat", "2025-03-01 12:00\t~\t9\tOne",
        "2025-03-02 12:00\t+\t9\tNo total of its stamp"}) {
    const History h =
        ParseHistory(Lines({"2025-03-01 12:00\tвсего\t3", line, "", "2025-03-01 12:00\t+\t8\tOk"}));
    EXPECT_EQ(std::make_tuple(h.points.size(), h.events.size(), h.damaged), std::make_tuple(1u, 1u, 1u))
        << line;
  }
  EXPECT_EQ(ParseHistory(Lines({"2025-03-01 12:00\t+\t9\tBefore any total"})).damaged, 1u);
  EXPECT_EQ(Cp1251ToUtf8(HistoryTotalsText(ParseHistory("x\r\ny"))),
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
  // A record whose change never reached the snapshot is not shown.
  WriteBytes(folder / "77.history.txt", Lines({"2025-01-05 10:00\tвсего\t2", "2025-01-05 10:00\t+\t4\tNew"}));
  WriteBytes(folder / "77.id", "1%A\r\n");
  EXPECT_TRUE(LoadHistoryPage(folder.path(), "77").empty);
  // A file that is there but cannot be read is no empty history.
  fs::remove(folder / "77.history.txt");
  fs::create_directories(folder / "77.history.txt" / "inside");
  EXPECT_EQ(Cp1251ToUtf8(LoadHistoryPage(folder.path(), "77").emptyText),
            "Файл истории 77.history.txt не удалось прочитать: он занят или недоступен.");
}

}  // namespace
}  // namespace tw
