#include "autocheck/background_run.h"

#include <gtest/gtest.h>

#include "readers/temp_folder.h"
#include "text/cp1251.h"

namespace tw {
namespace {

using test::TempFolder;
using test::WriteBytes;

// One background run for each thing a check can find: the exit code, the
// line of the result file, and whether and what the icon tells.
TEST(BackgroundRun, WhatEachFindingWritesShowsAndReturns) {
  struct Case {
    const char* name;
    const char* snapshot;  // nullptr: none stored yet
    const char* list;      // the fresh list; nullptr: the check failed
    std::optional<std::size_t> announced;
    int exitCode;
    std::string result;
    std::string title;  // "" when nothing is shown
    std::string text;
  };
  const std::string changes = cp1251("Tallywick: изменения в профиле 1001");
  const Case cases[] = {
      {"no change", "1%a\r\n2%b\r\n", "2%b\r\n1%a\r\n", 2, 0, cp1251("без изменений"), "", ""},
      {"changes", "1%a\r\n2%b\r\n3%c\r\n", "1%a\r\n3%C\r\n4%d\r\n5%e\r\n", 4, 0, "+2 -1 ~1", changes,
       cp1251("Подписались: 2, отписались: 1, сменили имя: 1")},
      {"guard alone", "1%a\r\n", "1%a\r\n", 5, 0, cp1251("без изменений, список может быть неполным"),
       changes, cp1251("Подписались: 0, отписались: 0, сменили имя: 0\r\nСписок может быть неполным.")},
      {"first list", nullptr, "1%a\r\n2%b\r\n", std::nullopt, 0,
       cp1251("первый список читателей (2), ещё не сохранён"),
       cp1251("Tallywick: список читателей профиля 1001"),
       cp1251("Первый список читателей (2) готов к сохранению.")},
      {"failure", "1%a\r\n", nullptr, std::nullopt, 1, cp1251("Ошибка на стороне сервера"), "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    if (c.snapshot != nullptr) WriteBytes(folder / "1001.id", c.snapshot);
    BackgroundFinding finding;
    if (c.list == nullptr) {
      finding.error = cp1251("Ошибка на стороне сервера");
    } else {
      finding = FindChanges(folder.path(), "1001", c.list, c.announced);
    }
    const BackgroundOutcome outcome = DecideBackgroundRun("1001", finding);
    EXPECT_EQ(outcome.exitCode, c.exitCode);
    EXPECT_EQ(Cp1251ToUtf8(outcome.resultText), Cp1251ToUtf8(c.result));
    ASSERT_EQ(outcome.notice.has_value(), !c.title.empty());
    if (!outcome.notice) continue;
    EXPECT_EQ(Cp1251ToUtf8(NoticeTitle(*outcome.notice)), Cp1251ToUtf8(c.title));
    EXPECT_EQ(Cp1251ToUtf8(NoticeText(*outcome.notice)), Cp1251ToUtf8(c.text));
    EXPECT_EQ(ParseNoticeArguments(NoticeArguments(*outcome.notice)), outcome.notice) << "the hand-over";
  }
}

TEST(BackgroundRun, UnreadableSnapshotIsAFailureNotAFirstList) {
  TempFolder folder;
  std::filesystem::create_directory(folder / "1001.id");
  const BackgroundOutcome outcome =
      DecideBackgroundRun("1001", FindChanges(folder.path(), "1001", "1%a\r\n", 1));
  EXPECT_EQ(outcome.exitCode, 1);
  EXPECT_FALSE(outcome.notice);
  EXPECT_NE(outcome.resultText.find("1001.id"), std::string::npos);
}

TEST(BackgroundRun, ResultFileHoldsOneLineAndTheOptionsWindowReadsIt) {
  TempFolder folder;
  EXPECT_EQ(LastCheckText(folder.path()), "") << "no check yet";
  const std::string message = cp1251("Неизвестная ошибка обработки профиля 2.\r\n\r\nПопробуйте ещё раз.");
  const std::string file = CheckResultFileText("10.12.2026 09:00", message);
  EXPECT_EQ(Cp1251ToUtf8(file),
            "10.12.2026 09:00\tНеизвестная ошибка обработки профиля 2. Попробуйте ещё раз.\r\n");
  WriteBytes(folder / kCheckResultFile, file);
  EXPECT_EQ(
      Cp1251ToUtf8(LastCheckText(folder.path())),
      "Последняя проверка: 10.12.2026 09:00 — Неизвестная ошибка обработки профиля 2. Попробуйте ещё раз.");
  for (const char* damaged : {"", "no tab", "\ttext", "time\t"}) {
    WriteBytes(folder / kCheckResultFile, damaged);
    EXPECT_EQ(LastCheckText(folder.path()), "") << damaged;
  }
}

TEST(BackgroundRun, StartModeAndNoticeArguments) {
  EXPECT_EQ(ParseStartMode({}), StartMode::Normal);
  EXPECT_EQ(ParseStartMode({u"/check"}), StartMode::Check);
  EXPECT_EQ(ParseStartMode({u"-CHECK"}), StartMode::Check);
  EXPECT_EQ(ParseStartMode({u"/Report"}), StartMode::Report);
  EXPECT_EQ(ParseStartMode({u"/notify", u"1"}), StartMode::Notify);
  for (const char16_t* other : {u"/checks", u"check", u"/"})
    EXPECT_EQ(ParseStartMode({other}), StartMode::Normal);
  const std::vector<std::vector<std::string>> bad = {
      {"1001", "1", "2", "3", "4"},
      {"10a1", "1", "2", "3", "4", "-"},
      {"1001", "1", "-2", "3", "4", "-"},
      {"1001", "1", "2", "3", "4", "x"},
      {"1001", "1", "2", "3", "99999999999999999999999", "-"},
  };
  for (const auto& arguments : bad) EXPECT_FALSE(ParseNoticeArguments(arguments)) << arguments[0];
}

}  // namespace
}  // namespace tw
