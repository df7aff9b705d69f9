// Check as a real window: its size, the stored picture it draws, and the
// input rules with real mouse messages and the real pointer.
#include "controls/check_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "program/resource_ids.h"
#include "wait.h"
#include "win32/gdi.h"
#include "win32/handle.h"

namespace tw {
namespace {

using Log = std::vector<std::string>;

class CheckBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 100, 100, 200, 100, nullptr,
                              nullptr, nullptr, nullptr);
    ASSERT_NE(parent_, nullptr);
    ASSERT_TRUE(check_.Create(parent_, 5, 20, 30));
    check_.events.Click = [this] { log_.push_back("Click"); };
    check_.events.DblClick = [this] { log_.push_back("DblClick"); };
    check_.events.MouseDown = [this](int& b, int& s, float& x, float& y) {
      log_.push_back("MouseDown" + std::to_string(b) + "," + std::to_string(s) + "@" +
                     std::to_string(static_cast<int>(x)) + "," + std::to_string(static_cast<int>(y)));
    };
    test::PumpMessages();
  }
  void TearDown() override {
    check_.Destroy();
    DestroyWindow(parent_);
    test::MovePointerAway();
  }
  LRESULT Send(UINT msg, WPARAM wParam = 0, int x = 6, int y = 6) {
    return SendMessageW(check_.Handle(), msg, wParam, MAKELPARAM(x, y));
  }
  HWND parent_ = nullptr;
  CheckBox check_;
  Log log_;
};

TEST_F(CheckBoxTest, IsExactlyAsLargeAsItsPicture) {
  RECT r{};
  GetWindowRect(check_.Handle(), &r);
  EXPECT_EQ(r.right - r.left, 13);
  EXPECT_EQ(r.bottom - r.top, 13);
  SetWindowPos(check_.Handle(), nullptr, 40, 40, 50, 30, SWP_NOZORDER | SWP_NOACTIVATE);
  GetWindowRect(check_.Handle(), &r);
  EXPECT_EQ(r.right - r.left, 13);
  EXPECT_EQ(r.bottom - r.top, 13);
  POINT corner{r.left, r.top};
  ScreenToClient(parent_, &corner);
  EXPECT_EQ(corner.x, 40);  // moving still works
  EXPECT_EQ(corner.y, 40);
}

// The control draws the stored bitmap of the state it is in; white is the mask.
TEST_F(CheckBoxTest, DrawsTheStoredPictureOfItsState) {
  struct Case {
    const char* what;
    std::function<void()> act;
    CheckPicture picture;
    int resource;
  };
  const std::vector<Case> cases = {
      {"new", [] {}, CheckPicture::IdleNoValue, IDB_CHECK_IDLE_OFF},
      {"value true", [this] { check_.SetValue(true); }, CheckPicture::IdleChecked, IDB_CHECK_IDLE_ON},
      {"pressed while checked", [this] { Send(WM_LBUTTONDOWN, MK_LBUTTON); }, CheckPicture::PushedChecked,
       IDB_CHECK_PUSHED_ON},
      {"released", [this] { Send(WM_LBUTTONUP); }, CheckPicture::PushedChecked, IDB_CHECK_PUSHED_ON},
      {"disabled", [this] { check_.SetEnabled(false); }, CheckPicture::DisabledNoValue,
       IDB_CHECK_DISABLED_OFF},
      {"disabled, value true", [this] { check_.SetValue(true); }, CheckPicture::DisabledChecked,
       IDB_CHECK_DISABLED_ON},
      {"enabled", [this] { check_.SetEnabled(true); }, CheckPicture::IdleChecked, IDB_CHECK_IDLE_ON},
  };
  win::WindowDc screen(nullptr);
  for (const Case& c : cases) {
    c.act();
    EXPECT_EQ(check_.ShownPicture(), c.picture) << c.what;
    win::Bitmap stored(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(c.resource), IMAGE_BITMAP, 0, 0, 0)));
    ASSERT_TRUE(stored) << c.what;
    win::MemoryDc storedDc(CreateCompatibleDC(screen.Get()));
    win::SelectObjectRestorer selected(storedDc.Get(), stored.Get());
    win::OffscreenSurface surface(screen.Get(), 13, 13);
    check_.Render(surface.Dc());
    int differing = 0;
    int masked = 0;
    for (int y = 0; y < 13; ++y) {
      for (int x = 0; x < 13; ++x) {
        const COLORREF want = GetPixel(storedDc.Get(), x, y);
        const COLORREF got = GetPixel(surface.Dc(), x, y);
        if (want == RGB(255, 255, 255)) {
          ++masked;
          if (got != GetSysColor(COLOR_BTNFACE)) ++differing;
        } else if (got != want) {
          ++differing;
        }
      }
    }
    EXPECT_EQ(differing, 0) << c.what;
    EXPECT_LT(masked, 13 * 13) << c.what << ": the picture is not all mask";
  }
}

TEST_F(CheckBoxTest, TheStoredPicturesDifferWhereTheyShould) {
  // Every shown picture is its own: a wrong id in the resources shows here.
  win::WindowDc screen(nullptr);
  std::vector<std::vector<COLORREF>> seen;
  for (int id : {IDB_CHECK_IDLE_OFF, IDB_CHECK_IDLE_ON, IDB_CHECK_OVER_OFF, IDB_CHECK_OVER_ON,
                 IDB_CHECK_PUSHED_OFF, IDB_CHECK_PUSHED_ON, IDB_CHECK_DISABLED_OFF, IDB_CHECK_DISABLED_ON}) {
    win::Bitmap stored(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0)));
    ASSERT_TRUE(stored) << id;
    BITMAP info{};
    GetObjectW(stored.Get(), sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, 13) << id;
    EXPECT_EQ(info.bmHeight, 13) << id;
    win::MemoryDc dc(CreateCompatibleDC(screen.Get()));
    win::SelectObjectRestorer selected(dc.Get(), stored.Get());
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 13; ++y)
      for (int x = 0; x < 13; ++x) pixels.push_back(GetPixel(dc.Get(), x, y));
    for (const auto& other : seen) EXPECT_NE(other, pixels) << "picture " << id << " repeats another";
    seen.push_back(pixels);
  }
}

TEST_F(CheckBoxTest, MouseButtons) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, 3, 4);
  EXPECT_TRUE(check_.Value());
  EXPECT_EQ(GetCapture(), check_.Handle());
  EXPECT_FALSE(check_.HoverTimerEnabled());
  Send(WM_LBUTTONUP, 0, 3, 4);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_TRUE(check_.HoverTimerEnabled());
  EXPECT_EQ(log_, (Log{"MouseDown1,1@3,4", "Click"}));

  log_.clear();
  Send(WM_RBUTTONDOWN, MK_RBUTTON);
  Send(WM_RBUTTONUP);
  EXPECT_TRUE(log_.empty());
  EXPECT_TRUE(check_.Value());

  Send(WM_MBUTTONDOWN, MK_MBUTTON);
  EXPECT_TRUE(check_.Value());
  Send(WM_MBUTTONUP);
  EXPECT_EQ(log_, (Log{"Click"}));
  EXPECT_TRUE(check_.Value());

  // A double click arrives in place of the second press: DblClick, no toggle,
  // and its release is one more Click.
  log_.clear();
  Send(WM_LBUTTONDOWN, MK_LBUTTON);
  Send(WM_LBUTTONUP);
  Send(WM_LBUTTONDBLCLK, MK_LBUTTON);
  Send(WM_LBUTTONUP);
  EXPECT_EQ(log_, (Log{"MouseDown1,0@6,6", "Click", "DblClick", "Click"}));
  EXPECT_FALSE(check_.Value());
}

TEST_F(CheckBoxTest, ValueFromTheProgramRaisesClickOnlyWhileEnabled) {
  check_.SetValue(true);
  EXPECT_EQ(log_, (Log{"Click"}));
  check_.SetEnabled(false);
  check_.SetValue(false);
  Send(WM_LBUTTONDOWN, MK_LBUTTON);
  Send(WM_LBUTTONUP);
  Send(WM_LBUTTONDBLCLK, MK_LBUTTON);
  EXPECT_EQ(log_, (Log{"Click"}));
  EXPECT_FALSE(check_.Value());
  EXPECT_EQ(check_.ShownPicture(), CheckPicture::DisabledNoValue);
}

TEST_F(CheckBoxTest, HoverPictureFollowsTheRealPointer) {
  check_.SetValue(true);
  test::MovePointerTo(check_.Handle(), 6, 6);
  ASSERT_TRUE(test::WaitFor([&] { return check_.ShownPicture() == CheckPicture::MouseoverChecked; }));
  EXPECT_TRUE(check_.HoverTimerEnabled());
  test::MovePointerAway();
  ASSERT_TRUE(test::WaitFor([&] { return check_.ShownPicture() == CheckPicture::IdleChecked; }));
  EXPECT_FALSE(check_.HoverTimerEnabled());

  // Disabled: a move changes no picture and the timer stops at its tick.
  check_.SetEnabled(false);
  test::MovePointerTo(check_.Handle(), 6, 6);
  ASSERT_TRUE(test::WaitFor([&] { return !check_.HoverTimerEnabled(); }));
  EXPECT_EQ(check_.ShownPicture(), CheckPicture::DisabledChecked);
}

TEST_F(CheckBoxTest, LosingThePointerInMidPressStillReportsTheChange) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON);
  ASSERT_EQ(GetCapture(), check_.Handle());
  ReleaseCapture();  // as a message box opening over the window would
  EXPECT_EQ(log_, (Log{"MouseDown1,0@6,6", "Click"}));
  EXPECT_TRUE(check_.Value());
  EXPECT_TRUE(check_.HoverTimerEnabled());
}

TEST_F(CheckBoxTest, ClickHandlerThatTakesThePointerRunsOnce) {
  int clicks = 0;
  check_.events.Click = [&] {
    ++clicks;
    SetCapture(parent_);  // a modal loop would take the pointer like this
    ReleaseCapture();
  };
  Send(WM_LBUTTONDOWN, MK_LBUTTON);
  Send(WM_LBUTTONUP);
  EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace tw
