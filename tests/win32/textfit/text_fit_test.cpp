// Every window at the display scale Wine runs at (LogPixels of the prefix):
// each window's client area is its 100 % size times the scale, and every
// text a child shows, measured in the child's own font with the flags it
// draws with, fits the child's client rectangle.
#include "text_fit.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/about_window.h"
#include "app/main_window.h"
#include "controls/list_header.h"
#include "controls/list_header_model.h"
#include "fake_main_host.h"
#include "readers/history_window.h"
#include "readers/report_window.h"
#include "settings/options_window.h"
#include "text/cp1251.h"
#include "wait.h"

namespace tw {
namespace {

using namespace test;

class TextFitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() / L"tw-text-fit";
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    values_.programFolder = folder_;
    test::MovePointerAway();
  }
  void TearDown() override {
    test::PumpMessages();
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  std::filesystem::path folder_;
  MainProgramValues values_;
};

TEST_F(TextFitTest, MainWindowWaitingAndReady) {
  NoHost host;
  MainWindow main(host, values_);
  ASSERT_TRUE(main.Load());
  main.Show();
  test::PumpMessages();
  EXPECT_EQ(static_cast<int>(main.Dpi()), ScreenDpi()) << "the program is DPI-aware";
  ExpectWindowFits(main.Handle(), kMainClientWidth, kMainClientHeight);
  values_.IntroDone = true;
  for (int n = 1; n <= 3; ++n) ShowWindow(main.Button(n).Handle(), SW_SHOWNA);
  test::PumpMessages();
  ExpectWindowFits(main.Handle(), kMainClientWidth, kMainClientHeight);
  for (int n = 1; n <= 3; ++n) {
    RECT r{};
    GetClientRect(main.Button(n).Handle(), &r);
    EXPECT_NEAR(r.right, Scaled(67), 1) << "XpB" << n + 2;
  }
  ExpectDpiChangesClean(main.Handle(), kMainClientWidth, kMainClientHeight);
  const int other = ScreenDpi() == 96 ? 144 : 96;
  SendDpiChange(main.Handle(), other);
  BITMAP background{};
  GetObjectW(main.PictureBitmap(MainPicture::Picture11), sizeof(background), &background);
  EXPECT_EQ(background.bmWidth, Scaled(kMainClientWidth, other)) << "pictures made anew for the scale";
  EXPECT_EQ(main.Button(1).Properties().PictureWidth, Scaled(48, other));
  // Minimized meanwhile: it comes back at the size of the new scale.
  ShowWindow(main.Handle(), SW_MINIMIZE);
  SendMessageW(main.Handle(), WM_DPICHANGED, MAKEWPARAM(ScreenDpi(), ScreenDpi()), 0);
  ShowWindow(main.Handle(), SW_RESTORE);
  test::PumpMessages();
  ExpectWindowFits(main.Handle(), kMainClientWidth, kMainClientHeight);
}

TEST_F(TextFitTest, AboutWindow) {
  AboutWindow about;
  ASSERT_TRUE(about.Create(nullptr));
  ShowWindow(about.Handle(), SW_SHOW);
  test::PumpMessages();
  ExpectWindowFits(about.Handle(), kAboutClientWidth, kAboutClientHeight);
  ExpectDpiChangesClean(about.Handle(), kAboutClientWidth, kAboutClientHeight);
}

TEST_F(TextFitTest, OptionsInBothLayoutsAndTheIdHelpTip) {
  // The daily check's row with its longest usual result: a socket error.
  std::ofstream(folder_ / "autocheck.txt", std::ios::binary)
      << Utf8ToCp1251("10.12.2026 09:00\tОшибка подключения #10061\r\n");
  for (bool guest : {true, false}) {
    values_.settings.Guest = guest;
    values_.settings.AutoCheck = !guest;
    OptionsWindow options(values_);
    ASSERT_TRUE(options.Load());
    test::PumpMessages();
    SCOPED_TRACE(guest ? "anonymous" : "with login");
    ExpectWindowFits(options.Handle(), kOptionsClientWidth, kOptionsClientHeight);
    for (int n = 1; n <= 5; ++n) {
      RECT r{};
      GetClientRect(options.Check(n).Handle(), &r);
      EXPECT_NEAR(r.right, Scaled(13), 1) << "Check" << n;
    }
    EXPECT_NE(TextOf(options.Control(kOptionsLastCheckLabel)), L"") << "the last result is shown";
    if (guest) continue;
    ExpectDpiChangesClean(options.Handle(), kOptionsClientWidth, kOptionsClientHeight);
    test::MovePointerTo(options.Picture5(), 4, 4);
    options.Model().OnPicture5MouseDown(1);
    ASSERT_NE(options.IDTip(), nullptr);
    const InfoTip& tip = *options.IDTip();
    ASSERT_EQ(tip.Drawn().size(), 2u) << "title and text";
    const RECT window = ClientOf(tip.hWnd());
    for (const InfoTip::DrawnText& drawn : tip.Drawn()) {
      win::Font font(CreateFontIndirectW(&drawn.font));
      const SIZE size = Measure(font.Get(), drawn.text, drawn.format, drawn.rect.right - drawn.rect.left);
      EXPECT_LE(drawn.rect.left + size.cx, std::min(drawn.rect.right, window.right)) << "tip text width";
      EXPECT_LE(drawn.rect.top + size.cy, std::min(drawn.rect.bottom, window.bottom)) << "tip text height";
    }
    test::MovePointerAway();
  }
}

TEST_F(TextFitTest, ReportWithFiveDigitCountsAndLongNicknames) {
  // 10000 stay, 10000 renamed, 10000 subscribed, 10000 unsubscribed.
  const std::string longNick = Utf8ToCp1251("Очень_длинное_имя_читателя_");
  std::string fresh, old;
  for (int id = 10001; id <= 40000; ++id) {
    fresh += std::to_string(id) + "%" + longNick + std::to_string(id) + "\r\n";
    if (id <= 20000) old += std::to_string(id) + "%" + longNick + std::to_string(id) + "\r\n";
    if (id > 20000 && id <= 30000) old += std::to_string(id) + "%old" + std::to_string(id) + "\r\n";
  }
  for (int id = 50001; id <= 60000; ++id)
    old += std::to_string(id) + "%" + longNick + std::to_string(id) + "\r\n";
  std::ofstream(folder_ / "tmp.id", std::ios::binary) << fresh;
  std::ofstream(folder_ / "4000000000.id", std::ios::binary) << old;
  // A page that announced far more readers than arrived: the red line shows too.
  ReportWindow report(folder_, "4000000000", Utf8ToCp1251("Владелец_профиля_с_очень_длинным_именем"), 99999);
  ASSERT_TRUE(report.Load());
  report.Show();
  test::PumpMessages();
  ASSERT_EQ(TextOf(report.Label(1)), win::Widen(Utf8ToCp1251("Подписались (10000)")));
  FitRules rules;
  rules.tabStops = [&report](HWND list) {
    RECT column{};
    SendMessageW(report.Header(), HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&column));
    return TabStopsForColumns({static_cast<int>(column.right), 0}, ListAverageCharWidth(list));
  };
  ExpectWindowFits(report.Handle(), kReportClientWidth, kReportClientHeight, rules);
  ExpectDpiChangesClean(report.Handle(), kReportClientWidth, kReportClientHeight, rules);
}

TEST_F(TextFitTest, HistoryWithLongNicknamesAndFiveDigitTotals) {
  const std::string longNick = Utf8ToCp1251("Очень_длинное_имя_читателя_12345");
  std::string text;
  for (int day = 1; day <= 28; ++day) {
    const std::string stamp =
        "2026-02-" + std::string(day < 10 ? "0" : "") + std::to_string(day) + " 10:00\t";
    text += stamp + Utf8ToCp1251("всего") + "\t" + std::to_string(90000 + day * 100) + "\r\n";
    for (int n = 0; n < 20; ++n) {
      const std::string id = std::to_string(day * 1000 + n);
      text += stamp + "+\t" + id + "\t" + longNick + id + "\r\n";
      text += stamp + "~\t" + id + "\t" + longNick + "\t" + longNick + id + "\r\n";
    }
  }
  std::ofstream(folder_ / "4000000000.history.txt", std::ios::binary) << text;
  HistoryWindow history(folder_, "4000000000");
  ASSERT_TRUE(history.Create(nullptr));
  ShowWindow(history.Handle(), SW_SHOWNA);
  test::PumpMessages();
  FitRules rules;
  rules.tabStops = [&history](HWND) { return history.TabStops(); };
  ExpectWindowFits(history.Handle(), kHistoryClientWidth, kHistoryClientHeight, rules);
  ExpectDpiChangesClean(history.Handle(), kHistoryClientWidth, kHistoryClientHeight, rules);
}

}  // namespace
}  // namespace tw
