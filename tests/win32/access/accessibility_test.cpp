// What a screen reader hears in every window: each control a person can act
// on, read through AccessibleObjectFromWindow as a reader reads it, tells
// its role, its name and, for a check box, whether it is checked.
#include <gtest/gtest.h>

#include <fstream>

#include "app/about_window.h"
#include "app/main_window.h"
#include "fake_main_host.h"
#include "readers/history_window.h"
#include "readers/report_window.h"
#include "settings/options_window.h"
#include "walk.h"

namespace tw {
namespace {

using namespace test;

class WindowsAccessibilityTest : public AccessibilityTest {
 protected:
  void SetUp() override {
    AccessibilityTest::SetUp();
    values_.programFolder = folder_;
  }
  MainProgramValues values_;
};

TEST_F(WindowsAccessibilityTest, MainWindowAfterTheIntroAndAbout) {
  NoHost host;
  values_.IntroDone = true;
  MainWindow main(host, values_);
  ASSERT_TRUE(main.Load());
  main.Show();
  test::PumpMessages();
  Walk(main.Handle(),
       {{kXpB3Id, kButton, W("Проверить профиль")},
        {kXpB4Id, kButton, W("Настройки")},
        {kXpB5Id, kButton, W("Выход")}},
       "main");

  AboutWindow about;
  ASSERT_TRUE(about.Create(nullptr));
  ShowWindow(about.Handle(), SW_SHOW);
  test::PumpMessages();
  Walk(about.Handle(),
       {{kAboutLabel3, kLink, L""},
        {kAboutLabel4, kLink, L""},
        {kAboutLabel6, kLink, L""},
        {kAboutXpB1, kButton, W("Закрыть")}},
       "about");
}

TEST_F(WindowsAccessibilityTest, OptionsInBothLayouts) {
  for (bool guest : {true, false}) {
    values_.settings.Guest = guest;
    values_.settings.UseProxy = !guest;
    OptionsWindow options(values_);
    ASSERT_TRUE(options.Load());
    test::PumpMessages();
    const auto label = [&](int n) { return TextOf(options.Control(kOptionsLabel(n))); };
    std::vector<Expected> rows = {
        {kOptionsCombo1, kSystemRole, kNamedOnWindowsOnly},
        {kOptionsCheck(1), kCheck, label(3), guest ? 1 : 0},
        {kOptionsCheck(3), kCheck, label(11), guest ? 0 : 1},
        {kOptionsText(3), kText, label(8)},
        {kOptionsText(4), kText, label(9)},
        {kOptionsCheck(4), kCheck, label(12), 0},
        {kOptionsText(5), kText, label(13)},
        {kOptionsText(6), kText, label(14)},
        {kOptionsCheck(5), kCheck, label(15), 0},
        {kOptionsCombo2, kSystemRole, kNamedOnWindowsOnly},
        {kOptionsXpB1, kButton, W("Сохранить")},
        {kOptionsXpB2, kButton, W("Отмена")},
    };
    if (!guest) {
      rows.push_back({kOptionsText(1), kText, label(5)});
      rows.push_back({kOptionsText(2), kText, label(6)});
      rows.push_back({kOptionsCheck(2), kCheck, label(7), 0});
    }
    Walk(options.Handle(), rows, guest ? "options, anonymous" : "options, with login");
  }
}

TEST_F(WindowsAccessibilityTest, ReportAndHistory) {
  std::ofstream(folder_ / "tmp.id", std::ios::binary) << "1%one\r\n2%two\r\n";
  std::ofstream(folder_ / "1100.id", std::ios::binary) << "1%one\r\n3%three\r\n";
  ReportWindow report(folder_, "1100", "owner", 2);
  ASSERT_TRUE(report.Load());
  report.Show();
  test::PumpMessages();
  Walk(report.Handle(),
       {{kReportList1, kList, TextOf(report.Label(1))},
        {kReportList2, kList, TextOf(report.Label(2))},
        {kReportList3, kList, TextOf(report.Label(3))},
        {kReportHistoryLink, kLink, L""},
        {kReportXpB1, kButton, W("Принять список")},
        {kReportXpB2, kButton, W("Закрыть")}},
       "report");

  std::ofstream(folder_ / "1100.history.txt", std::ios::binary)
      << "2026-02-01 10:00\t" << Utf8ToCp1251("всего") << "\t2\r\n2026-02-01 10:00\t+\t2\ttwo\r\n";
  HistoryWindow history(folder_, "1100");
  ASSERT_TRUE(history.Create(nullptr));
  ShowWindow(history.Handle(), SW_SHOWNA);
  test::PumpMessages();
  Walk(history.Handle(),
       {{kHistoryList, kList, TextOf(GetDlgItem(history.Handle(), kHistoryTotals))},
        {kHistoryFileLink, kLink, L""}},
       "history");
}

}  // namespace
}  // namespace tw
