#include "autocheck/task_definition.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

std::tm At(int year, int month, int day, int hour, int minute) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  return t;
}

TEST(TaskDefinition, NextStartIsTodayWhileTheHourIsAheadElseTomorrow) {
  const struct {
    std::tm now;
    const char* time;
    const char* expected;
  } cases[] = {
      {At(2026, 12, 10, 8, 59), "09:00", "2026-12-10T09:00:00"},
      {At(2026, 12, 10, 9, 0), "09:00", "2026-12-11T09:00:00"},
      {At(2026, 12, 31, 23, 30), "00:00", "2027-01-01T00:00:00"},
      {At(2028, 2, 28, 10, 0), "09:00", "2028-02-29T09:00:00"},
      {At(2027, 2, 28, 10, 0), "09:00", "2027-03-01T09:00:00"},
  };
  for (const auto& c : cases) EXPECT_EQ(NextStartBoundary(c.now, c.time), c.expected) << c.expected;
}

TEST(TaskDefinition, XmlHoldsTriggerPrincipalSettingsAndTheEscapedAction) {
  const std::string xml = TaskXml({"C:\\Мои & <программы>\\tallywick.exe", "/check", "C:\\Мои & <программы>"},
                                  "2026-12-11T09:00:00");
  for (const char* part : {
           "<StartBoundary>2026-12-11T09:00:00</StartBoundary>",
           "<ScheduleByDay>\n        <DaysInterval>1</DaysInterval>",
           "<StartWhenAvailable>true</StartWhenAvailable>",
           "<LogonType>InteractiveToken</LogonType>",
           "<RunLevel>LeastPrivilege</RunLevel>",
           "<MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>",
           "<ExecutionTimeLimit>PT10M</ExecutionTimeLimit>",
           "<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>",
           "<Command>C:\\Мои &amp; &lt;программы&gt;\\tallywick.exe</Command>",
           "<Arguments>/check</Arguments>",
           "<WorkingDirectory>C:\\Мои &amp; &lt;программы&gt;</WorkingDirectory>",
       }) {
    EXPECT_NE(xml.find(part), std::string::npos) << part;
  }
  EXPECT_EQ(xml.find("<Password>"), std::string::npos) << "no stored password";
  EXPECT_EQ(xml.find("HighestAvailable"), std::string::npos) << "no elevation";
}

TEST(TaskDefinition, NameFollowsTheFolderNotItsSpelling) {
  const std::string name = TaskName("C:\\Программы\\Tallywick");
  EXPECT_EQ(name.size(), std::string("Tallywick ").size() + 8);
  EXPECT_EQ(name.rfind("Tallywick ", 0), 0u);
  for (const char* same :
       {"c:\\программы\\TALLYWICK", "C:/Программы/Tallywick/", "C:\\ПРОГРАММЫ\\Tallywick\\"}) {
    EXPECT_EQ(TaskName(same), name) << same;
  }
  for (const char* other : {"C:\\Программы\\Tallywick2", "D:\\Программы\\Tallywick", "C:\\Tallywick"}) {
    EXPECT_NE(TaskName(other), name) << other;
  }
  const auto action = CheckAction(std::filesystem::path("C:\\Программы\\Tallywick") / "tallywick.exe");
  EXPECT_EQ(action.arguments, "/check");
  EXPECT_EQ(action.workingDirectory, "C:\\Программы\\Tallywick");
  const std::vector<std::string> hours = CheckTimeChoices();
  ASSERT_EQ(hours.size(), 24u);
  EXPECT_EQ(hours.front(), "00:00");
  EXPECT_EQ(hours[9], "09:00");
  EXPECT_EQ(hours.back(), "23:00");
}

}  // namespace
}  // namespace tw
