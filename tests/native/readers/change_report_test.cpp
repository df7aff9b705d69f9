#include "readers/change_report.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "readers/history_file.h"
#include "temp_folder.h"
#include "text/cp1251.h"

namespace tw {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

// Formats as UTC so tests do not depend on the machine's zone.
class UtcFormatter : public FileTimeFormatter {
 public:
  std::tm LocalTime(fs::file_time_type time) const override {
    const auto sys = std::chrono::file_clock::to_sys(time);
    const std::time_t t = std::chrono::system_clock::to_time_t(
        std::chrono::time_point_cast<std::chrono::system_clock::duration>(sys));
    std::tm tm{};
    gmtime_r(&t, &tm);
    return tm;
  }
};

fs::file_time_type At(std::int64_t unixSeconds) {
  return std::chrono::file_clock::from_sys(std::chrono::sys_seconds(std::chrono::seconds(unixSeconds)));
}

TEST(ChangeReport, PeriodTextAndFirstCheck) {
  TempFolder folder;
  const UtcFormatter utc;
  WriteBytes(folder / "tmp.id", "1%A\r\n2%B\r\n");
  fs::last_write_time(folder / "tmp.id", At(1765213265));  // 08.12.2025 17:01:05 UTC
  ChangeReportData data = BuildChangeReport(folder.path(), "77", utc);
  EXPECT_EQ(Cp1251ToUtf8(data.period), "c [нет данных] по 08.12.2025 17:01");
  EXPECT_EQ(data.report.Subscribed, (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(data.report.newLineCount, 2u);

  WriteBytes(folder / "77.id", "1%A\r\n3%C\r\n");
  fs::last_write_time(folder / "77.id", At(946684799));  // 31.12.1999 23:59:59
  data = BuildChangeReport(folder.path(), "77", utc);
  EXPECT_EQ(Cp1251ToUtf8(data.period), "c 31.12.1999 23:59 по 08.12.2025 17:01");
  EXPECT_EQ(data.report.Unsubscribed, std::vector<std::string>{"C"});
  EXPECT_EQ(data.period.substr(0, 2), "c ");  // Latin c
}

TEST(ChangeReport, NoNewListAndBadIdNameNoFile) {
  TempFolder folder;
  const UtcFormatter utc;
  WriteBytes(folder / "77.id", "1%A\r\n");
  ChangeReportData data = BuildChangeReport(folder.path(), "77", utc);
  EXPECT_EQ(data.input, ReportInput::NoNewList);
  EXPECT_EQ(data.period, "") << "nothing compared, no period";
  EXPECT_TRUE(data.report.NoChanges());
  fs::remove(folder / "77.id");
  // An ID that is not plain digits never names a file, even one that exists.
  WriteBytes(folder / "tmp.id", "1%A\r\n");
  WriteBytes(folder / "..id", "1%A\r\n");
  data = BuildChangeReport(folder.path(), ".", utc);
  EXPECT_EQ(data.report.Subscribed.size(), 1u);
  EXPECT_EQ(AcceptNewList(folder.path(), ".", {}, utc), AcceptResult::NotStored);
  EXPECT_EQ(AcceptNewList(folder.path(), "../x", {}, utc), AcceptResult::NotStored);
  EXPECT_TRUE(fs::exists(folder / "tmp.id"));
}

TEST(ChangeReport, LocalFormatterUsesTheZone) {
  const char* old = std::getenv("TZ");
  const std::string saved = old ? old : "";
  setenv("TZ", "MSK-3", 1);
  tzset();
  EXPECT_EQ(LocalFileTimeFormatter().Format(At(1765213265)), "08.12.2025 20:01");
  if (old) {
    setenv("TZ", saved.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
}

TEST(AcceptNewList, ReplacesSnapshotKeepsTimeDeletesTmp) {
  TempFolder folder;
  WriteBytes(folder / "tmp.id", "1%New\r\n");
  WriteBytes(folder / "5.id", "1%Old\r\n");
  fs::last_write_time(folder / "tmp.id", At(1700000000));
  EXPECT_EQ(AcceptNewList(folder.path(), "5", {}, UtcFormatter()), AcceptResult::Accepted);
  EXPECT_EQ(ReadBytes(folder / "5.id"), "1%New\r\n");
  EXPECT_EQ(fs::last_write_time(folder / "5.id"), At(1700000000));
  EXPECT_FALSE(fs::exists(folder / "tmp.id"));
  EXPECT_FALSE(fs::exists(folder / "5.id.new"));
  EXPECT_EQ(AcceptNewList(folder.path(), "5", {}, UtcFormatter()), AcceptResult::NothingToStore);
  EXPECT_EQ(AcceptMessage(AcceptResult::Accepted, "5"), "");
}

// The report of a second check: one came, one went, one renamed.
ChangeReport SecondReport() {
  ChangeReport report;
  report.Subscribed = {cp1251("Новый")};
  report.SubscribedIDs = {"4"};
  report.Unsubscribed = {"Gone"};
  report.UnsubscribedIDs = {"2"};
  report.Renamed = {cp1251("Старое\tНовое")};
  report.ChangedNickIDs = {"3"};
  report.newLineCount = 3;
  return report;
}

const std::string kEarlier = "2023-11-01 08:00\t" + cp1251("всего") + "\t3\r\n";
const std::string kRecord = "2023-11-14 22:13\t" + cp1251("всего") + "\t3\r\n" + "2023-11-14 22:13\t+\t4\t" +
                            cp1251("Новый") + "\r\n" + "2023-11-14 22:13\t-\t2\tGone\r\n" +
                            "2023-11-14 22:13\t~\t3\t" + cp1251("Старое\tНовое") + "\r\n";

class AcceptWithHistory : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(folder_ / "tmp.id", "1%New\r\n");
    fs::last_write_time(folder_ / "tmp.id", At(1700000000));  // 2023-11-14 22:13:20 UTC
    WriteBytes(folder_ / "5.id", "1%Old\r\n");
    WriteBytes(folder_ / "5.history.txt", kEarlier);
  }
  AcceptResult Accept(bool historyWritten = false) {
    return AcceptNewList(folder_.path(), "5", SecondReport(), utc_, historyWritten);
  }
  void ExpectUnchanged() {
    EXPECT_EQ(ReadBytes(folder_ / "5.id"), "1%Old\r\n");
    EXPECT_EQ(ReadBytes(folder_ / "tmp.id"), "1%New\r\n");
  }
  TempFolder folder_;
  UtcFormatter utc_;
};

TEST_F(AcceptWithHistory, AppendsTheRecordInTheTimeOfTheList) {
  // An editor may have saved the history without its last line break.
  for (const std::string& before : {kEarlier, kEarlier.substr(0, kEarlier.size() - 2), std::string()}) {
    WriteBytes(folder_ / "5.history.txt", before);
    EXPECT_EQ(Accept(), AcceptResult::Accepted);
    EXPECT_EQ(ReadBytes(folder_ / "5.history.txt"), (before.empty() ? "" : kEarlier) + kRecord);
    SetUp();
  }
  EXPECT_FALSE(fs::exists(folder_ / "5.history.txt.tmp"));
}

TEST_F(AcceptWithHistory, ListTimeWithoutLocalTimeIsRecordedNow) {
  struct : UtcFormatter {
    std::tm LocalTime(fs::file_time_type t) const override {
      return t < At(0) ? std::tm{} : UtcFormatter::LocalTime(t);
    }
  } broken;
  fs::last_write_time(folder_ / "tmp.id", At(-86400));
  EXPECT_EQ(AcceptNewList(folder_.path(), "5", SecondReport(), broken), AcceptResult::Accepted);
  const std::vector<HistoryPoint> points = ParseHistory(ReadBytes(folder_ / "5.history.txt")).points;
  ASSERT_EQ(points.size(), 2u);
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  EXPECT_LE(std::abs(points[1].minute - std::chrono::duration_cast<std::chrono::minutes>(now).count()), 1);
}

// A crash after `stopAfter` steps of an accept (history appended, snapshot
// replaced, tmp.id deleted), a new start and a check of the same list: the
// report is in the history once, and only as its snapshot replace happened.
TEST(AcceptNewList, CrashBetweenStepsRecordsTheReportOnce) {
  const struct {
    bool firstCheck;
    int stopAfter;
    std::size_t points, came, left;
  } cases[] = {{false, 0, 2, 1, 1}, {false, 1, 2, 1, 1}, {false, 2, 3, 1, 1},
               {true, 0, 1, 0, 0},  {true, 1, 1, 0, 0},  {true, 2, 2, 0, 0}};
  UtcFormatter utc;
  for (const auto& c : cases) {
    TempFolder folder;
    WriteBytes(folder / "5.history.txt", c.firstCheck ? "" : kEarlier);
    if (!c.firstCheck) WriteBytes(folder / "5.id", "1%A\r\n2%B\r\n");
    for (int check = 0; check < 2; ++check) {
      WriteBytes(folder / "tmp.id", "1%A\r\n3%C\r\n");
      fs::last_write_time(folder / "tmp.id", At(1700000000 + check * 3600));
      StopFileChangesAfter(check == 0 ? std::optional(c.stopAfter) : std::nullopt);
      AcceptNewList(folder.path(), "5", BuildChangeReport(folder.path(), "5", utc).report, utc);
      StopFileChangesAfter(std::nullopt);
      DeleteForced(folder / "tmp.id");  // the next start
    }
    const History history = ParseHistory(ReadBytes(folder / "5.history.txt"));
    EXPECT_EQ(std::make_tuple(c.points, c.came, c.left, std::string("1%A\r\n3%C\r\n")),
              std::make_tuple(history.points.size(), history.came, history.left, ReadBytes(folder / "5.id")))
        << c.firstCheck << " " << c.stopAfter;
  }
}

TEST_F(AcceptWithHistory, FirstReportWritesOnlyItsTotal) {
  fs::remove(folder_ / "5.id");
  fs::remove(folder_ / "5.history.txt");
  EXPECT_EQ(Accept(), AcceptResult::Accepted);
  EXPECT_EQ(ReadBytes(folder_ / "5.history.txt"), "2023-11-14 22:13\t" + cp1251("всего") + "\t3\r\n");
}

TEST_F(AcceptWithHistory, HistoryThatCannotBeWrittenStoresNothing) {
  fs::create_directories(folder_ / "5.history.txt.tmp" / "inside");
  const AcceptResult result = Accept();
  EXPECT_EQ(result, AcceptResult::HistoryNotWritten);
  ExpectUnchanged();
  EXPECT_EQ(ReadBytes(folder_ / "5.history.txt"), kEarlier);
  EXPECT_EQ(Cp1251ToUtf8(AcceptMessage(result, "5"))
                .rfind("Не удалось дописать историю изменений в файл 5.history.txt", 0),
            0u);
  // A history that exists but cannot be read is not replaced by the new record alone.
  fs::remove_all(folder_ / "5.history.txt.tmp");
  fs::remove(folder_ / "5.history.txt");
  fs::create_directories(folder_ / "5.history.txt");
  EXPECT_EQ(Accept(), AcceptResult::HistoryNotWritten);
  ExpectUnchanged();
}

TEST_F(AcceptWithHistory, SnapshotThatCannotBeReplacedTakesTheRecordBack) {
  fs::create_directories(folder_ / "5.id.new" / "inside");  // the temporary file cannot be made
  AcceptResult result = Accept();
  EXPECT_EQ(result, AcceptResult::NotStored);
  ExpectUnchanged();
  EXPECT_EQ(ReadBytes(folder_ / "5.history.txt"), kEarlier);
  EXPECT_EQ(Cp1251ToUtf8(AcceptMessage(result, "5")),
            "Не удалось сохранить новый список читателей в файл 5.id в папке программы.\r\n\r\n"
            "Прежний список, история изменений и файл tmp.id остались без изменений.");
  // Without a history before, the take-back removes the file again.
  fs::remove(folder_ / "5.history.txt");
  EXPECT_EQ(Accept(), AcceptResult::NotStored);
  EXPECT_FALSE(fs::exists(folder_ / "5.history.txt"));
  // Once the obstacle is gone, the report is recorded once.
  fs::remove_all(folder_ / "5.id.new");
  EXPECT_EQ(Accept(), AcceptResult::Accepted);
  EXPECT_EQ(ReadBytes(folder_ / "5.history.txt"), kRecord);
}

TEST_F(AcceptWithHistory, RecordAlreadyKeptIsNotWrittenTwice) {
  fs::create_directories(folder_ / "5.id.new" / "inside");
  EXPECT_EQ(Accept(true), AcceptResult::NotStoredHistoryKept);
  ExpectUnchanged();
  fs::remove_all(folder_ / "5.id.new");
  EXPECT_EQ(Accept(true), AcceptResult::Accepted);
  EXPECT_EQ(ReadBytes(folder_ / "5.history.txt"), kEarlier);
  EXPECT_EQ(ReadBytes(folder_ / "5.id"), "1%New\r\n");
}

}  // namespace
}  // namespace tw
