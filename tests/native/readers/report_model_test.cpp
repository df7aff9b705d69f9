#include "readers/report_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "deployment.h"
#include "files/atomic_file.h"
#include "readers/history_file.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

class FixedFormatter : public FileTimeFormatter {
 public:
  std::tm LocalTime(fs::file_time_type) const override {
    std::tm time{};
    time.tm_year = 126;
    time.tm_mon = 1;
    time.tm_mday = 1;
    time.tm_hour = 10;
    time.tm_min = 20;
    return time;
  }
};

class FakeView : public ReportView {
 public:
  std::vector<std::string> lists[3];
  ReportTexts texts;
  std::vector<std::string> events;
  void ShowTexts(const ReportTexts& t) override {
    texts = t;
    events.push_back("texts");
  }
  void FillList(ReportList list, const std::vector<std::string>& items) override {
    lists[static_cast<int>(list)] = items;
    events.push_back("fill " + std::to_string(static_cast<int>(list) + 1));
  }
  void ShowMessage(const std::string& text) override { events.push_back("message " + Cp1251ToUtf8(text)); }
  bool AskWarning(const std::string& text) override {
    events.push_back("ask " + Cp1251ToUtf8(text));
    return answer;
  }
  bool answer = false;
  void OpenUrl(const std::string& url) override { events.push_back("open " + url); }
  void Close() override { events.push_back("close"); }
};

class ReportModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("tw-report-model-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }
  void Write(const char* name, std::string_view bytes) {
    std::ofstream(folder_ / name, std::ios::binary) << bytes;
  }
  std::string Read(const char* name) { return ReadFileBytes(folder_ / name).value_or("<missing>"); }

  fs::path folder_;
  FixedFormatter formatter_;
  FakeView view_;
};

TEST_F(ReportModelTest, LoadFillsListsAndEveryLabel) {
  Write("tmp.id", cp1251("1%Анна\r\n2%Boris\r\nno percent\r\n4%new\r\n"));
  Write("77.id", cp1251("1%анна\r\n2%Boris\r\n3%Gone\r\n"));
  ReportModel model(view_, folder_, "77", cp1251("Владелец"), formatter_);
  model.Load();
  EXPECT_EQ(view_.lists[0], std::vector<std::string>{"new"});
  EXPECT_EQ(view_.lists[1], std::vector<std::string>{"Gone"});
  EXPECT_EQ(view_.lists[2], std::vector<std::string>{cp1251("анна\tАнна")}) << "case counts as a rename";
  EXPECT_EQ(Cp1251ToUtf8(view_.texts.Label1), "Подписались (1)");
  EXPECT_EQ(Cp1251ToUtf8(view_.texts.Label2), "Отписались (1)");
  EXPECT_EQ(Cp1251ToUtf8(view_.texts.Label3), "Сменили имя (1)");
  EXPECT_EQ(Cp1251ToUtf8(view_.texts.Label4), "Результат для ID=77");
  EXPECT_EQ(Cp1251ToUtf8(view_.texts.Label6), "c 01.02.2026 10:20 по 01.02.2026 10:20");
  EXPECT_EQ(Cp1251ToUtf8(view_.texts.Label7), "Владелец");
  EXPECT_EQ(view_.texts.Label9, "4") << "the line without % counts";
  EXPECT_FALSE(view_.texts.Label10Visible);
  EXPECT_EQ(view_.events, (std::vector<std::string>{"fill 1", "fill 2", "fill 3", "texts"}));
}

TEST_F(ReportModelTest, Label10OnlyWhenNothingChanged) {
  Write("tmp.id", "2%B\r\n1%A\r\n");
  Write("5.id", "1%A\r\n2%B\r\n");
  ReportModel model(view_, folder_, "5", "owner", formatter_);
  model.Load();
  EXPECT_TRUE(view_.texts.Label10Visible) << "order does not matter";
  EXPECT_EQ(Cp1251ToUtf8(view_.texts.Label1), "Подписались (0)");
  EXPECT_EQ(view_.texts.Label9, "2");
}

// Nothing was compared, so nothing may look like "no changes", and an
// accept stores nothing, not even a tmp.id that turned up since.
TEST_F(ReportModelTest, MissingTmpListKeepsDesignTextsAndAcceptStoresNothing) {
  ReportModel model(view_, folder_, "5", "owner", formatter_);
  model.Load();
  EXPECT_TRUE(view_.lists[0].empty());
  EXPECT_EQ(Cp1251ToUtf8(view_.texts.Label1), "Подписались");
  EXPECT_EQ(Cp1251ToUtf8(view_.texts.Label2), "Отписались");
  EXPECT_EQ(Cp1251ToUtf8(view_.texts.Label3), "Сменили имя");
  EXPECT_EQ(Cp1251ToUtf8(view_.texts.Label4), "Результат для ID=5");
  EXPECT_EQ(view_.texts.Label6, "");
  EXPECT_EQ(view_.texts.Label7, "owner");
  EXPECT_EQ(view_.texts.Label9, "");
  EXPECT_FALSE(view_.texts.Label10Visible);
  Write("tmp.id", "1%A\r\n");
  view_.events.clear();
  model.OnAccept();
  EXPECT_EQ(view_.events, std::vector<std::string>{"close"});
  EXPECT_FALSE(fs::exists(folder_ / "5.id"));
  EXPECT_EQ(Read("tmp.id"), "1%A\r\n");
}

// A snapshot that is there but cannot be read is no first check: the error,
// no report, and both files as they were.
TEST_F(ReportModelTest, UnreadableSnapshotTellsAndShowsNoReport) {
  Write("tmp.id", "1%A\r\n");
  fs::create_directories(folder_ / "5.id");  // present, yet no list can be read from it
  ReportModel model(view_, folder_, "5", "owner", formatter_);
  EXPECT_FALSE(model.Load());
  ASSERT_EQ(view_.events.size(), 1u);
  EXPECT_EQ(view_.events[0],
            "message Не удалось прочитать сохранённый список читателей профиля 5 (файл 5.id в папке "
            "программы).\r\n\r\nНичего не изменено: прежний список и новый (tmp.id) остались как были.");
  EXPECT_EQ(Read("tmp.id"), "1%A\r\n");
  EXPECT_TRUE(fs::is_directory(folder_ / "5.id"));
}

TEST_F(ReportModelTest, DoubleClickOpensTheMemberOfThatRowOnly) {
  Write("tmp.id", "10%A\r\n11%B\r\n30%R2\r\n");
  Write("5.id", "20%C\r\n30%R1\r\n");
  ReportModel model(view_, folder_, "5", "owner", formatter_);
  model.Load();
  view_.events.clear();
  model.OnDoubleClick(ReportList::List1, 1);
  model.OnDoubleClick(ReportList::List2, 0);
  model.OnDoubleClick(ReportList::List3, 0);
  model.OnDoubleClick(ReportList::List1, -1);  // nothing selected
  model.OnDoubleClick(ReportList::List2, 1);   // past the end
  const std::string base = std::string("open http://") + deploy::kMainHost + "/member/?";
  EXPECT_EQ(view_.events, (std::vector<std::string>{base + "11", base + "20", base + "30"}));
}

TEST_F(ReportModelTest, AcceptStoresAndCloses) {
  Write("tmp.id", "1%A\r\n");
  ReportModel model(view_, folder_, "5", "owner", formatter_);
  model.Load();
  view_.events.clear();
  model.OnAccept();
  EXPECT_EQ(view_.events, std::vector<std::string>{"close"});
  EXPECT_EQ(Read("5.id"), "1%A\r\n");
  EXPECT_FALSE(fs::exists(folder_ / "tmp.id"));
}

// The second try, once the obstacle is gone, records the report once, also
// when the first could not take its record back.
TEST_F(ReportModelTest, FailedAcceptTellsAndKeepsTheWindowAndBothLists) {
  for (const bool recordKept : {false, true}) {
    const char* list = recordKept ? "1%Old\r\n" : "1%New\r\n";  // a record without changes
    Write("tmp.id", list);
    Write("5.id", "1%Old\r\n");
    Write("5.history.txt", "");
    fs::create_directories(folder_ / "5.id.new" / "inside");  // the temporary file cannot be made
    ReportModel model(view_, folder_, "5", "owner", formatter_);
    model.Load();
    view_.events.clear();
    StopFileChangesAfter(recordKept ? std::optional(1) : std::nullopt);  // the history only
    model.OnAccept();
    StopFileChangesAfter(std::nullopt);
    ASSERT_EQ(view_.events.size(), 1u);
    EXPECT_EQ(view_.events[0].rfind("message Не удалось сохранить", 0), 0u) << view_.events[0];
    EXPECT_EQ(Read("tmp.id"), list);
    EXPECT_EQ(Read("5.id"), "1%Old\r\n");
    fs::remove_all(folder_ / "5.id.new");
    view_.events.clear();
    model.OnAccept();
    EXPECT_EQ(view_.events, std::vector<std::string>{"close"});
    EXPECT_EQ(Read("5.id"), list);
    EXPECT_EQ(ParseHistory(Read("5.history.txt")).points.size(), 1u);
  }
}

TEST_F(ReportModelTest, CloseLeavesFilesAndAcceptWithoutTmpListJustCloses) {
  Write("5.id", "1%Old\r\n");
  ReportModel model(view_, folder_, "5", "owner", formatter_);
  model.Load();
  view_.events.clear();
  model.OnCloseClick();
  model.OnAccept();
  EXPECT_EQ(view_.events, (std::vector<std::string>{"close", "close"}));
  EXPECT_EQ(Read("5.id"), "1%Old\r\n");
}

TEST_F(ReportModelTest, IncompleteListWarnsAndAsksBeforeStoring) {
  Write("tmp.id", "1%A\r\n2%B\r\n3%C\r\n4%D\r\n");
  Write("5.id", "1%A\r\n");
  Write("5.history.txt", "before\r\n");
  ReportModel model(view_, folder_, "5", "owner", formatter_, 5);
  model.Load();
  EXPECT_EQ(Cp1251ToUtf8(view_.texts.Warning),
            "Получено читателей: 4 из 5, указанных на странице. Список может быть неполным.");
  view_.events.clear();
  model.OnAccept();  // No
  EXPECT_EQ(view_.events,
            std::vector<std::string>{"ask Список читателей может быть неполным: получено 4 из 5."
                                     "\r\n\r\nВсё равно сохранить его?"});
  EXPECT_EQ(Read("5.id"), "1%A\r\n");
  EXPECT_EQ(Read("5.history.txt"), "before\r\n");
  EXPECT_TRUE(fs::exists(folder_ / "tmp.id"));
  view_.answer = true;
  view_.events.clear();
  model.OnAccept();  // Yes
  EXPECT_EQ(view_.events.back(), "close");
  EXPECT_EQ(Read("5.id"), "1%A\r\n2%B\r\n3%C\r\n4%D\r\n");
  EXPECT_EQ(Read("5.history.txt"), "before\r\n2026-02-01 10:20\t" + cp1251("всего") +
                                       "\t4\r\n2026-02-01 10:20\t+\t2\tB\r\n2026-02-01 10:20\t+\t3\tC\r\n"
                                       "2026-02-01 10:20\t+\t4\tD\r\n");
}

// The guard by readers received and total announced: any difference asks.
TEST_F(ReportModelTest, NoGuardWhenTheCountsAgreeOrNoNumberWasGiven) {
  const std::pair<const char*, std::optional<std::size_t>> cases[] = {
      {"1%A\r\n", 1}, {"1%A\r\n", std::nullopt}, {"1%A\r\n2%B\r\n3%C\r\n", 2}, {"1%A\r\n", 2}};
  for (const auto& [list, announced] : cases) {
    const bool warns = announced && announced != std::count(list, list + std::strlen(list), '%');
    Write("tmp.id", list);
    ReportModel model(view_, folder_, "5", "owner", formatter_, announced);
    model.Load();
    view_.events.clear();
    model.OnAccept();  // No, if asked
    EXPECT_EQ(view_.texts.Warning.empty(), !warns) << list;
    EXPECT_EQ(view_.events.back(), warns ? view_.events[0] : "close") << list;
    EXPECT_EQ(view_.events[0].rfind("ask ", 0) == 0, warns) << list;
  }
}

TEST_F(ReportModelTest, HistoryThatCannotBeWrittenKeepsTheWindowOpen) {
  Write("tmp.id", "1%A\r\n");
  fs::create_directories(folder_ / "5.history.txt.tmp" / "inside");
  ReportModel model(view_, folder_, "5", "owner", formatter_);
  model.Load();
  view_.events.clear();
  model.OnAccept();
  ASSERT_EQ(view_.events.size(), 1u);
  EXPECT_EQ(view_.events[0].rfind("message Не удалось дописать историю", 0), 0u) << view_.events[0];
  EXPECT_FALSE(fs::exists(folder_ / "5.id"));
}

TEST(ReportTexts, CountLabelAndMemberUrl) {
  EXPECT_EQ(Cp1251ToUtf8(CountLabel(kReportLabel2, 1234)), "Отписались (1234)");
  EXPECT_EQ(MemberPageUrl("42"), std::string("http://") + deploy::kMainHost + "/member/?42");
}

}  // namespace
}  // namespace tw
