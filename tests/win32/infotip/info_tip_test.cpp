// CInfoTip as a real popup: its size from the measured texts, its place by
// the pointer and the screen edges, what it paints, and its lifetime.
#include "controls/info_tip.h"

#include <gtest/gtest.h>

#include <string>

#include "text/cp1251.h"
#include "wait.h"
#include "win32/gdi.h"

namespace tw {
namespace {

RECT WindowRect(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return r;
}
int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

COLORREF ScreenPixel(int x, int y) {
  win::WindowDc screen(nullptr);
  return GetPixel(screen.Get(), x, y);
}

class InfoTipTest : public ::testing::Test {
 protected:
  void SetUp() override {
    screenW_ = GetSystemMetrics(SM_CXSCREEN);
    screenH_ = GetSystemMetrics(SM_CYSCREEN);
    tip_.Closed = [this] { ++closed_; };
    tip_.SetDropShadow(false);
    SetCursorPos(200, 200);
  }
  void TearDown() override {
    tip_.Hide();
    test::MovePointerAway();
  }
  // Shows `message` and returns the window rectangle.
  RECT ShowAt(int x, int y, const std::string& message, const std::string& title = {}) {
    SetCursorPos(x, y);
    tip_.Show(message, title);
    test::PumpMessages();
    EXPECT_NE(tip_.hWnd(), nullptr);
    return WindowRect(tip_.hWnd());
  }
  int screenW_ = 0;
  int screenH_ = 0;
  int closed_ = 0;
  InfoTip tip_;
};

TEST_F(InfoTipTest, SizeFollowsTheMeasuredText) {
  const RECT one = ShowAt(200, 200, "Line");
  const int lineHeight = Height(one) - 5;  // th + Padding
  EXPECT_GT(lineHeight, 5);
  const RECT two = ShowAt(200, 200, "Line\r\nLine");
  EXPECT_EQ(Height(two), 2 * lineHeight + 5);
  EXPECT_EQ(Width(two), Width(one));

  // A tab widens the tip by TabSize spaces.
  const RECT plain = ShowAt(200, 200, "ab");
  const RECT tab = ShowAt(200, 200, "a\tb");
  const RECT spaces = ShowAt(200, 200, "a        b");
  EXPECT_GT(Width(tab), Width(plain));
  EXPECT_EQ(Width(tab), Width(spaces));
  tip_.Properties().TabSize = 2;
  EXPECT_EQ(Width(ShowAt(200, 200, "a\tb")), Width(ShowAt(200, 200, "a  b")));

  // An ampersand is text, not a mnemonic marker.
  EXPECT_GT(Width(ShowAt(200, 200, "a&&b")), Width(ShowAt(200, 200, "a&b")));
}

// The given font, measured as the tip measures: its size in pixels, weight
// 300 when not bold.
TEST_F(InfoTipTest, OwnFontSizesTheTip) {
  tip_.Properties().UseSystemFont = false;
  tip_.Properties().FontName = "Arial";
  tip_.Properties().FontSize = 24;
  const RECT r = ShowAt(200, 200, "Line of text");
  win::WindowDc screen(nullptr);
  win::Font font(CreateFontW(-24, 0, 0, 0, 300, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial"));
  win::SelectObjectRestorer selected(screen.Get(), font.Get());
  RECT m{0, 0, 0, 0};
  DrawTextW(screen.Get(), L"Line of text", -1, &m, DT_CALCRECT | DT_EXPANDTABS | DT_NOPREFIX);
  EXPECT_EQ(Width(r), m.right + 10);
  EXPECT_EQ(Height(r), m.bottom + 5);
  EXPECT_GE(m.bottom, 24);

  tip_.Properties().FontSize = 8;
  const RECT small = ShowAt(200, 200, "Line of text");
  EXPECT_LT(Height(small), Height(r));
  EXPECT_LT(Width(small), Width(r));
}

TEST_F(InfoTipTest, EmptyArgumentsUseTextAndTitle) {
  tip_.SetText(cp1251("Текст подсказки"));
  tip_.SetTitle(cp1251("Заголовок\tс табом"));
  const RECT fromProps = ShowAt(200, 200, "");
  const RECT given = ShowAt(200, 200, cp1251("Текст подсказки"));
  EXPECT_EQ(Width(fromProps), Width(given));
  EXPECT_EQ(Height(fromProps), Height(given));

  // The title adds Padding + its height, and never widens the tip.
  tip_.SetShowTitle(true);
  const RECT titled = ShowAt(200, 200, "");
  EXPECT_GT(Height(titled), Height(given) + 5);
  EXPECT_EQ(Width(titled), Width(given));
  tip_.SetTitle(std::string(200, 'W'));
  EXPECT_EQ(Width(ShowAt(200, 200, "")), Width(given));
}

TEST_F(InfoTipTest, PlacedBelowThePointerAndInsideTheScreen) {
  const RECT normal = ShowAt(300, 250, "Some help text\r\nin two lines");
  EXPECT_EQ(normal.left, 300);
  EXPECT_EQ(normal.top, 250 + 22);
  const int w = Width(normal);
  const int h = Height(normal);

  const RECT right = ShowAt(screenW_ - 10, 250, "Some help text\r\nin two lines");
  EXPECT_EQ(right.left, screenW_ - w - 5) << "ends Padding pixels before the edge";
  EXPECT_EQ(right.top, 272);

  const RECT bottom = ShowAt(300, screenH_ - 10, "Some help text\r\nin two lines");
  EXPECT_EQ(bottom.left, 300);
  EXPECT_EQ(bottom.top, screenH_ - 10 - 5 - h) << "above the pointer";

  const RECT corner = ShowAt(screenW_ - 1, screenH_ - 1, "Some help text\r\nin two lines");
  EXPECT_EQ(corner.left, screenW_ - w - 5);
  EXPECT_EQ(corner.top, screenH_ - 1 - 5 - h);
  EXPECT_EQ(Width(corner), w);
}

TEST_F(InfoTipTest, TopMostNeverActivatedAndReused) {
  const HWND active = GetForegroundWindow();
  ShowAt(200, 200, "x");
  const HWND first = tip_.hWnd();
  EXPECT_TRUE(IsWindowVisible(first));
  EXPECT_NE(GetWindowLongPtrW(first, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_EQ(GetWindowLongPtrW(first, GWL_STYLE) & (WS_CAPTION | WS_BORDER | WS_THICKFRAME), 0);
  EXPECT_EQ(GetForegroundWindow(), active);
  // The pointer goes through the tip to what lies below it.
  const RECT r = WindowRect(first);
  EXPECT_NE(WindowFromPoint({r.left + 2, r.top + 2}), first);

  ShowAt(220, 220, "y");
  EXPECT_EQ(tip_.hWnd(), first) << "a shown tip is reused";
  EXPECT_EQ(closed_, 0);
}

TEST_F(InfoTipTest, HideAndReleaseRaiseClosedEveryTime) {
  tip_.Hide();
  EXPECT_EQ(closed_, 1) << "also when nothing was shown";
  ShowAt(200, 200, "x");
  const HWND shown = tip_.hWnd();
  tip_.Hide();
  EXPECT_EQ(tip_.hWnd(), nullptr);
  EXPECT_FALSE(IsWindow(shown));
  EXPECT_EQ(closed_, 2);

  int released = 0;
  HWND gone = nullptr;
  {
    InfoTip local;
    local.Closed = [&] { ++released; };
    SetCursorPos(200, 200);
    local.Show("z");
    gone = local.hWnd();
    ASSERT_TRUE(IsWindow(gone));
  }
  EXPECT_EQ(released, 1);
  EXPECT_FALSE(IsWindow(gone));

  // The time-out properties are kept and do nothing.
  tip_.SetUseTimeOut(true);
  tip_.SetTimeOut(50);
  ShowAt(200, 200, "stays");
  const HWND stays = tip_.hWnd();
  const ULONGLONG until = GetTickCount64() + 300;
  test::WaitFor([&] { return GetTickCount64() > until; }, 1000);
  EXPECT_TRUE(IsWindowVisible(stays));
  EXPECT_EQ(tip_.Properties().TimeOut, 50);
}

TEST_F(InfoTipTest, PaintsBackgroundBorderAndSeparator) {
  tip_.Properties().BorderStyle = 1;
  tip_.Properties().BackColor = Rgb(250, 240, 200);
  tip_.Properties().BorderColor = Rgb(200, 0, 0);
  const RECT plain = ShowAt(200, 200, "Help");
  tip_.SetShowTitle(true);
  const RECT r = ShowAt(200, 200, "Help", "Title");
  ASSERT_TRUE(test::WaitFor([&] { return ScreenPixel(r.left, r.top) == RGB(200, 0, 0); }))
      << std::hex << ScreenPixel(r.left, r.top);
  EXPECT_EQ(ScreenPixel(r.right - 1, r.bottom - 1), RGB(200, 0, 0));
  EXPECT_EQ(ScreenPixel(r.left + 1, r.bottom - 2), RGB(250, 240, 200));
  // The separator: the title's height is what the title added beyond Padding.
  const int titleHeight = Height(r) - Height(plain) - 5;
  const int lineY = RoundHalfEven(2 + titleHeight + 2.5);
  EXPECT_EQ(ScreenPixel(r.left + 5, r.top + lineY), RGB(200, 0, 0));
  EXPECT_EQ(ScreenPixel(r.right - 6, r.top + lineY), RGB(200, 0, 0));
  EXPECT_EQ(ScreenPixel(r.left + 4, r.top + lineY), RGB(250, 240, 200)) << "inset by Padding";
  EXPECT_EQ(ScreenPixel(r.left + 5, r.top + lineY + 1), RGB(250, 240, 200));

  // Style 0: the raised outer edge, light at the top left, dark at the bottom right.
  tip_.Properties().BorderStyle = 0;
  const RECT edge = ShowAt(200, 200, "Help", "Title");
  ASSERT_TRUE(test::WaitFor([&] { return ScreenPixel(edge.left, edge.top) == GetSysColor(COLOR_3DLIGHT); }))
      << std::hex << ScreenPixel(edge.left, edge.top);
  EXPECT_EQ(ScreenPixel(edge.right - 1, edge.bottom - 1), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(ScreenPixel(edge.left + 1, edge.top + 1), RGB(250, 240, 200)) << "one pixel wide";
  // Other styles: no border at all.
  tip_.Properties().BorderStyle = 7;
  const RECT none = ShowAt(200, 200, "Help", "Title");
  ASSERT_TRUE(test::WaitFor([&] { return ScreenPixel(none.left, none.top) == RGB(250, 240, 200); }));
}

TEST_F(InfoTipTest, DropShadowDarkensWhatLiesBehind) {
  // A white window under the tip, so the bands have a known colour.
  HWND back = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE | SS_WHITERECT, 150, 150, 400, 300,
                              nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(back, nullptr);
  UpdateWindow(back);
  ASSERT_TRUE(test::WaitFor([] { return ScreenPixel(300, 300) == RGB(255, 255, 255); }))
      << std::hex << ScreenPixel(300, 300);

  const RECT flat = [&] {
    InfoTip other;
    other.SetDropShadow(false);
    SetCursorPos(200, 200);
    other.Show("Shadow\r\nbelow and right");
    return WindowRect(other.hWnd());
  }();
  ASSERT_TRUE(test::WaitFor([&] { return ScreenPixel(flat.left, flat.top) == RGB(255, 255, 255); }));
  tip_.SetDropShadow(true);
  tip_.Properties().BackColor = Rgb(250, 240, 200);
  const RECT r = ShowAt(200, 200, "Shadow\r\nbelow and right");
  EXPECT_EQ(Width(r), Width(flat) + 4);
  EXPECT_EQ(Height(r), Height(flat) + 4);
  // Shown again over itself: the shadow is not darkened twice.
  ShowAt(200, 200, "Shadow\r\nbelow and right");
  ASSERT_TRUE(test::WaitFor([&] { return ScreenPixel(r.left + 2, r.top + 2) == RGB(250, 240, 200); }))
      << std::hex << ScreenPixel(r.left + 2, r.top + 2);
  const int mid = r.top + Height(r) / 2;
  struct Case {
    int x, y, amount;
  };
  const Case cases[] = {
      {r.right - 1, mid, 15},        {r.right - 4, mid, 60},          {r.right - 1, r.top + 1, 0},
      {r.right - 2, r.top + 5, 12},  {r.left + 20, r.bottom - 1, 15}, {r.left + 20, r.bottom - 4, 60},
      {r.left + 1, r.bottom - 1, 0}, {r.right - 1, r.bottom - 1, 3},
  };
  for (const Case& c : cases) {
    const COLORREF want = DarkenColor(RGB(255, 255, 255), c.amount);
    EXPECT_EQ(ScreenPixel(c.x, c.y), want) << "at " << c.x - r.left << "," << c.y - r.top << std::hex
                                           << " got " << ScreenPixel(c.x, c.y) << " want " << want;
  }
  tip_.Hide();
  DestroyWindow(back);
}

}  // namespace
}  // namespace tw

namespace tw {
namespace {

// The about box is modal; a helper thread reads it and closes it.
TEST(InfoTipAbout, ShowsTheSystemAboutBoxOwnedByTheParent) {
  HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 100, 100, 200, 100, nullptr,
                               nullptr, nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  struct Seen {
    std::wstring caption;
    std::wstring texts;
    HWND owner = nullptr;
    bool found = false;
  } seen;
  HANDLE watcher = CreateThread(
      nullptr, 0,
      [](LPVOID param) -> DWORD {
        auto* s = static_cast<Seen*>(param);
        const ULONGLONG until = GetTickCount64() + 10000;
        while (GetTickCount64() < until) {
          HWND box = FindWindowW(L"#32770", nullptr);
          if (box != nullptr) {
            wchar_t text[256] = L"";
            GetWindowTextW(box, text, 256);
            s->caption = text;
            s->owner = GetWindow(box, GW_OWNER);
            EnumChildWindows(
                box,
                [](HWND child, LPARAM all) -> BOOL {
                  wchar_t line[256] = L"";
                  GetWindowTextW(child, line, 256);
                  *reinterpret_cast<std::wstring*>(all) += std::wstring(line) + L"|";
                  return TRUE;
                },
                reinterpret_cast<LPARAM>(&s->texts));
            s->found = true;
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            return 0;
          }
          Sleep(20);
        }
        return 1;
      },
      &seen, 0, nullptr);
  ASSERT_NE(watcher, nullptr);
  InfoTip tip;
  tip.SetParenthWnd(owner);
  tip.About();  // returns when the box is closed
  WaitForSingleObject(watcher, 15000);
  CloseHandle(watcher);
  EXPECT_TRUE(seen.found);
  EXPECT_NE(seen.caption.find(L"CInfoTip"), std::wstring::npos);
  EXPECT_EQ(seen.owner, owner);
  EXPECT_NE(seen.texts.find(L"CInfoTip v1.0.1"), std::wstring::npos);
  EXPECT_EQ(InfoTip::Version(), "1.0.1");
  DestroyWindow(owner);
}

}  // namespace
}  // namespace tw
