// The history window under Wine, built from a real history file: the
// events newest first, the totals, the chart's pixels, the links, the empty
// text, and copying from its list.
#include "readers/history_window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "copy_driver.h"
#include "deployment.h"
#include "text/cp1251.h"
#include "wait.h"
#include "win32/gdi.h"
#include "win32/list_copy.h"
#include "win32/shell.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

std::wstring TextOf(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::vector<std::wstring> ItemsOf(HWND list) {
  std::vector<std::wstring> items;
  const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    std::wstring item(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
    item.resize(
        static_cast<std::size_t>(SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()))));
    items.push_back(item);
  }
  return items;
}

bool Shown(HWND control) { return (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0; }

class HistoryWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = fs::path(temp) / L"tw-history-\u0438\u0441\u0442\u043e\u0440\u0438\u044f";
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    win::SetOpenUrlHook([this](const std::string& url) { opened_.push_back(url); });
    win::SetOpenFileHook([this](const fs::path& file) { files_.push_back(file); });
  }
  void TearDown() override {
    window_.reset();
    win::SetOpenUrlHook({});
    win::SetOpenFileHook({});
    test::PumpMessages();
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }
  void WriteHistory(std::string_view utf8) {
    std::ofstream(folder_ / "1100.history.txt", std::ios::binary) << Utf8ToCp1251(utf8);
  }
  void Open() {
    window_ = std::make_unique<HistoryWindow>(folder_, "1100");
    ASSERT_TRUE(window_->Create(nullptr));
    ShowWindow(window_->Handle(), SW_SHOW);
    UpdateWindow(window_->Handle());
    test::PumpMessages();
  }
  HWND List() const { return window_->Control(kHistoryList); }

  fs::path folder_;
  std::unique_ptr<HistoryWindow> window_;
  std::vector<std::string> opened_;
  std::vector<fs::path> files_;
};

const char kThreeReports[] =
    "2025-01-05 10:00\tвсего\t3\r\n"
    "2025-01-12 18:30\tвсего\t3\r\n"
    "2025-01-12 18:30\t+\t4\tЧетвёртый\r\n"
    "2025-01-12 18:30\t-\t2\tВторой\r\n"
    "2025-01-20 09:05\tвсего\t3\r\n"
    "2025-01-20 09:05\t~\t3\tТретий\tТретий переименован\r\n";

TEST_F(HistoryWindowTest, EventsNewestFirstWithTotalsAndLinks) {
  WriteHistory(kThreeReports);
  Open();
  EXPECT_EQ(TextOf(window_->Handle()), L"История изменений ID=1100");
  EXPECT_EQ(ItemsOf(List()), (std::vector<std::wstring>{
                                 L"20.01.2025 09:05\t~\tТретий \u2192 Третий переименован",
                                 L"12.01.2025 18:30\t+\tЧетвёртый", L"12.01.2025 18:30\t\u2212\tВторой"}));
  EXPECT_EQ(TextOf(window_->Control(kHistoryTotals)), L"Пришли: 1, ушли: 1, сменили имя: 1");
  EXPECT_FALSE(Shown(window_->Control(kHistoryEmpty)));
  EXPECT_TRUE(Shown(window_->Control(kHistoryChart)));
  EXPECT_EQ(TextOf(window_->Control(kHistoryFileLink)), L"Открыть файл истории");
  SendMessageW(window_->Handle(), WM_COMMAND, MAKEWPARAM(kHistoryFileLink, STN_CLICKED),
               reinterpret_cast<LPARAM>(window_->Control(kHistoryFileLink)));
  EXPECT_EQ(files_, std::vector<fs::path>{folder_ / "1100.history.txt"});

  // A real double-click on the second line opens that member's page.
  RECT row{};
  SendMessageW(List(), LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
  const LPARAM at = MAKELPARAM(row.left + 5, (row.top + row.bottom) / 2);
  SendMessageW(List(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(List(), WM_LBUTTONUP, 0, at);
  SendMessageW(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  SendMessageW(List(), WM_LBUTTONUP, 0, at);
  test::PumpMessages();
  EXPECT_EQ(opened_, std::vector<std::string>{std::string("http://") + deploy::kMainHost + "/member/?4"});
}

TEST_F(HistoryWindowTest, ChartDrawsTheCurveThroughEveryReport) {
  WriteHistory(
      "2025-01-01 10:00\tвсего\t10\r\n2025-01-11 10:00\tвсего\t40\r\n2025-01-21 10:00\tвсего\t20\r\n");
  Open();
  const int width = 560, height = 220;
  win::WindowDc screen(nullptr);
  win::OffscreenSurface surface(screen.Get(), width, height);
  window_->DrawChart(surface.Dc(), RECT{0, 0, width, height});
  // The line's blue, column by column: present across the plot, highest
  // (smallest y) in the middle, where the count of 40 stands.
  auto topmostBlue = [&](int x) {
    for (int y = 0; y < height; ++y) {
      const COLORREF c = GetPixel(surface.Dc(), x, y);
      if (GetBValue(c) > 150 && GetRValue(c) < 120 && GetGValue(c) < 160) return y;
    }
    return -1;
  };
  std::vector<int> columns;
  for (int x = 0; x < width; ++x) {
    if (topmostBlue(x) >= 0) columns.push_back(x);
  }
  ASSERT_GT(columns.size(), 300u) << "the curve spans the plot";
  const int first = columns.front(), last = columns.back(), middle = (first + last) / 2;
  EXPECT_LT(topmostBlue(middle), topmostBlue(first + 3));
  EXPECT_LT(topmostBlue(last - 3), topmostBlue(first + 3)) << "20 stands above 10";
}

TEST_F(HistoryWindowTest, NoHistoryYetShowsTheEmptyText) {
  Open();
  EXPECT_TRUE(Shown(window_->Control(kHistoryEmpty)));
  EXPECT_EQ(TextOf(window_->Control(kHistoryEmpty)),
            L"История пока пуста: она начнётся с первого принятого отчёта.");
  for (int id : {kHistoryChart, kHistoryList, kHistoryTotals, kHistoryFileLink}) {
    EXPECT_FALSE(Shown(window_->Control(id))) << id;
  }
}

TEST_F(HistoryWindowTest, CtrlCAndCopyAllPutUnicodeTextOnTheClipboard) {
  WriteHistory(kThreeReports);
  Open();
  test::ClearClipboard();
  test::PressCtrlC(List(), 1);
  EXPECT_EQ(test::ClipboardText(), L"12.01.2025 18:30\t+\tЧетвёртый");
  test::ClearClipboard();
  test::ChooseFromContextMenu(List(), 2, 2);
  EXPECT_EQ(test::ClipboardText(),
            L"20.01.2025 09:05\t~\tТретий \u2192 Третий переименован\r\n12.01.2025 18:30\t+\tЧетвёртый\r\n"
            L"12.01.2025 18:30\t\u2212\tВторой");
  test::ClearClipboard();
  test::ChooseFromContextMenu(List(), 0, 1);
  EXPECT_EQ(test::ClipboardText(), L"20.01.2025 09:05\t~\tТретий \u2192 Третий переименован")
      << "the right-clicked line is the one copied";
}

TEST_F(HistoryWindowTest, MovedToA150PercentMonitorItScalesItsLayout) {
  WriteHistory(kThreeReports);
  Open();
  RECT suggested{100, 100, 1100, 1000};
  SendMessageW(window_->Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  test::PumpMessages();
  RECT client{}, chart{};
  GetClientRect(window_->Handle(), &client);
  EXPECT_NEAR(client.right, kHistoryClientWidth * 3 / 2, 1);
  EXPECT_NEAR(client.bottom, kHistoryClientHeight * 3 / 2, 1);
  GetWindowRect(window_->Control(kHistoryChart), &chart);
  EXPECT_NEAR(chart.right - chart.left, (kHistoryClientWidth - 24) * 3 / 2, 1);
  EXPECT_EQ(ItemsOf(List()).size(), 3u) << "the list is filled again";
}

}  // namespace
}  // namespace tw
