// The list header under Wine: the list box's tab stops follow the header's
// column edges on every header paint. The stops are read back by recording
// the LB_SETTABSTOPS messages the list box receives (a list box has no
// message that returns them).
#include "controls/list_header.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <vector>

#include "controls/list_header_model.h"
#include "wait.h"

namespace tw {
namespace {

// What one list box was told, in order: each LB_SETTABSTOPS as its stops.
struct StopLog {
  WNDPROC previous = nullptr;
  std::vector<std::vector<int>> calls;
  int redraws = 0;
};

std::map<HWND, StopLog>& Logs() {
  static std::map<HWND, StopLog> logs;
  return logs;
}

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  StopLog& log = Logs()[hwnd];
  if (msg == LB_SETTABSTOPS) {
    const auto* stops = reinterpret_cast<const int*>(lParam);
    log.calls.emplace_back(stops, stops + wParam);
  } else if (msg == WM_SETREDRAW && wParam != 0) {
    ++log.redraws;
  }
  return CallWindowProcW(log.previous, hwnd, msg, wParam, lParam);
}

void Record(HWND listBox) {
  Logs()[listBox].previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(listBox, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingProc)));
}

// The stops in force after the last header paint: the calls since the last
// clearing one.
std::vector<int> CurrentStops(HWND listBox) {
  const auto& calls = Logs()[listBox].calls;
  std::vector<int> stops;
  for (const auto& call : calls) stops = call;
  return stops;
}

// The list box's own unit: a quarter of its font's average character width,
// measured over the 52 Latin letters as the list box does.
int AverageWidth(HWND list) {
  HDC dc = GetDC(list);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0));
  HGDIOBJ old = SelectObject(dc, font != nullptr ? font : GetStockObject(SYSTEM_FONT));
  SIZE size{};
  GetTextExtentPoint32W(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &size);
  SelectObject(dc, old);
  ReleaseDC(list, dc);
  return (size.cx / 26 + 1) / 2;
}

// The stop that puts a list column at `edge` pixels, and a check that the
// list box turns it back into (nearly) that pixel.
int StopAt(HWND list, int edge) {
  const int average = AverageWidth(list);
  const int stop = TabStopFromRightEdge(edge, average);
  EXPECT_LE(std::abs(MulDiv(stop, average, 4) - edge), average / 8 + 1)
      << "edge " << edge << " average " << average;
  return stop;
}

void Repaint(HWND header) {
  InvalidateRect(header, nullptr, TRUE);
  UpdateWindow(header);
  test::PumpMessages();
}

class ListHeaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40, 600, 300,
                              nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent_, nullptr);
  }
  void TearDown() override {
    DestroyWindow(parent_);
    Logs().clear();
  }
  HWND AddListBox(int x) {
    HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                                WS_CHILD | WS_VISIBLE | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT, x, 60, 260,
                                200, parent_, nullptr, nullptr, nullptr);
    Record(list);
    return list;
  }
  HWND HeaderOver(HWND list, int x) { return CreateListHeader(list, x, 60 - 18, 260, 20, 0); }

  HWND parent_ = nullptr;
};

TEST_F(ListHeaderTest, CreatedAboveTheListWithTheGuiFontAndTitles) {
  const HWND list = AddListBox(10);
  const HWND header = HeaderOver(list, 10);
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(GetParent(header), parent_);
  EXPECT_TRUE(IsWindowVisible(header));
  RECT rect{};
  GetWindowRect(header, &rect);
  MapWindowPoints(nullptr, parent_, reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(rect.left, 10);
  EXPECT_EQ(rect.top, 42);
  EXPECT_EQ(rect.right - rect.left, 260);
  EXPECT_EQ(rect.bottom - rect.top, 20);
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageW(header, WM_GETFONT, 0, 0)),
            GetStockObject(DEFAULT_GUI_FONT));

  EXPECT_EQ(
      AddHeaderColumn(header, 0, 127, HDI_TEXT, HDF_LEFT, "\xd1\xf2\xe0\xf0\xee\xe5 \xe8\xec\xff", nullptr),
      0);
  EXPECT_EQ(AddHeaderColumn(header, 1, 127, HDI_TEXT, HDF_LEFT, "\xcd\xee\xe2\xee\xe5 \xe8\xec\xff", nullptr),
            1);
  wchar_t title[64] = {};
  HDITEMW item{};
  item.mask = HDI_TEXT | HDI_WIDTH;
  item.pszText = title;
  item.cchTextMax = 64;
  ASSERT_TRUE(SendMessageW(header, HDM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  EXPECT_STREQ(title, L"Старое имя");
  EXPECT_EQ(item.cxy, 127);
  ASSERT_TRUE(SendMessageW(header, HDM_GETITEMW, 1, reinterpret_cast<LPARAM>(&item)));
  EXPECT_STREQ(title, L"Новое имя");
  EXPECT_EQ(FindListHeader(header), FindListHeader(header));
  EXPECT_GE(FindListHeader(header), 0);
  EXPECT_EQ(ListBoxOfHeader(header), list);
}

TEST_F(ListHeaderTest, TabStopsFollowADraggedDivider) {
  const HWND list = AddListBox(10);
  const HWND header = HeaderOver(list, 10);
  AddHeaderColumn(header, 0, 127, HDI_TEXT, HDF_LEFT, "Old", nullptr);
  AddHeaderColumn(header, 1, 127, HDI_TEXT, HDF_LEFT, "New", nullptr);
  Repaint(header);
  const StopLog& log = Logs()[list];
  ASSERT_GE(log.calls.size(), 2u);
  EXPECT_TRUE(log.calls[log.calls.size() - 2].empty()) << "the stops are cleared first";
  EXPECT_EQ(CurrentStops(list), std::vector<int>{StopAt(list, 127)});
  EXPECT_EQ(ListAverageCharWidth(list), AverageWidth(list));
  EXPECT_GE(log.redraws, 1);

  // The user drags the first divider to 200 pixels: the header repaints.
  HDITEMW item{};
  item.mask = HDI_WIDTH;
  item.cxy = 200;
  ASSERT_TRUE(SendMessageW(header, HDM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  ASSERT_TRUE(test::WaitFor([&] { return CurrentStops(list) == std::vector<int>{StopAt(list, 200)}; }))
      << "stop " << (CurrentStops(list).empty() ? -1 : CurrentStops(list)[0]);
  item.cxy = 31;
  SendMessageW(header, HDM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  ASSERT_TRUE(test::WaitFor([&] { return CurrentStops(list) == std::vector<int>{StopAt(list, 31)}; }));
}

TEST_F(ListHeaderTest, OneColumnSetsNoStops) {
  const HWND list = AddListBox(10);
  const HWND header = HeaderOver(list, 10);
  AddHeaderColumn(header, 0, 127, HDI_TEXT, HDF_LEFT, "Only", nullptr);
  Repaint(header);
  const StopLog& log = Logs()[list];
  ASSERT_FALSE(log.calls.empty());
  for (const auto& call : log.calls) EXPECT_TRUE(call.empty()) << "a stop was set: " << call[0];
}

TEST_F(ListHeaderTest, TwoHeadersOnOneWindowKeepTheirOwnLists) {
  const HWND left = AddListBox(10);
  const HWND right = AddListBox(300);
  const HWND leftHeader = HeaderOver(left, 10);
  const HWND rightHeader = HeaderOver(right, 300);
  AddHeaderColumn(leftHeader, 0, 127, HDI_TEXT, HDF_LEFT, "A", nullptr);
  AddHeaderColumn(leftHeader, 1, 127, HDI_TEXT, HDF_LEFT, "B", nullptr);
  AddHeaderColumn(rightHeader, 0, 60, HDI_TEXT, HDF_LEFT, "C", nullptr);
  AddHeaderColumn(rightHeader, 1, 90, HDI_TEXT, HDF_LEFT, "D", nullptr);
  AddHeaderColumn(rightHeader, 2, 60, HDI_TEXT, HDF_LEFT, "E", nullptr);
  Repaint(leftHeader);
  Repaint(rightHeader);
  EXPECT_NE(FindListHeader(leftHeader), FindListHeader(rightHeader));
  EXPECT_EQ(ListBoxOfHeader(leftHeader), left);
  EXPECT_EQ(ListBoxOfHeader(rightHeader), right);
  EXPECT_EQ(CurrentStops(left), std::vector<int>{StopAt(left, 127)});
  EXPECT_EQ(CurrentStops(right), (std::vector<int>{StopAt(right, 60), StopAt(right, 150)}));

  // Repainting one header leaves the other list alone.
  const std::size_t leftCalls = Logs()[left].calls.size();
  Repaint(rightHeader);
  EXPECT_EQ(Logs()[left].calls.size(), leftCalls);
}

TEST_F(ListHeaderTest, DestroyedHeaderLeavesTheTable) {
  const HWND list = AddListBox(10);
  const HWND header = HeaderOver(list, 10);
  ASSERT_GE(FindListHeader(header), 0);
  DestroyWindow(header);
  EXPECT_EQ(FindListHeader(header), -1);
  EXPECT_EQ(ListBoxOfHeader(header), nullptr);
  EXPECT_EQ(FindListHeader(nullptr), -1);
  EXPECT_EQ(CreateListHeader(nullptr, 0, 0, 10, 10, 0), nullptr) << "a list box without a parent";
}

}  // namespace
}  // namespace tw
