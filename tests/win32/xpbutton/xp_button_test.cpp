// XpB as a real window: pixels its drawing fixes, and the input paths with
// real messages and the real pointer.
#include "controls/xp_button.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wait.h"
#include "win32/gdi.h"
#include "win32/handle.h"

namespace tw {
namespace {

COLORREF Sys(int index) { return GetSysColor(index); }

class XpButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200, nullptr,
                              nullptr, nullptr, nullptr);
    ASSERT_NE(parent_, nullptr);
  }
  void TearDown() override {
    button_.Destroy();
    DestroyWindow(parent_);
    test::MovePointerAway();
  }
  void Make(XpButtonProperties props, int w = 40, int h = 20) {
    ASSERT_TRUE(button_.Create(parent_, 7, 10, 10, w, h, props));
    button_.events.Click = [this] { log_.push_back("Click"); };
    button_.events.MouseIn = [this](int& v) { log_.push_back("MouseIn" + std::to_string(v)); };
    button_.events.MouseOut = [this](int& v) { log_.push_back("MouseOut" + std::to_string(v)); };
    button_.events.MouseUp = [this](int b, int, float x, float y) {
      log_.push_back("MouseUp" + std::to_string(b) + "@" + std::to_string(static_cast<int>(x)) + "," +
                     std::to_string(static_cast<int>(y)));
    };
    button_.events.KeyUp = [this](int& k, int&) { log_.push_back("KeyUp" + std::to_string(k)); };
    test::PumpMessages();
  }
  // Renders the button into a memory DC and returns the pixel.
  COLORREF PixelAt(int x, int y) {
    win::WindowDc screen(nullptr);
    win::OffscreenSurface surface(screen.Get(), 100, 100);
    button_.Render(surface.Dc());
    return GetPixel(surface.Dc(), x, y);
  }
  HWND parent_ = nullptr;
  XpButton button_;
  std::vector<std::string> log_;
};

struct PixelCase {
  const char* what;
  int x;
  int y;
  COLORREF expected;
};

void ExpectPixels(XpButtonTest* test, const std::vector<PixelCase>& cases,
                  const std::function<COLORREF(int, int)>& pixel) {
  (void)test;
  for (const auto& c : cases) {
    const COLORREF actual = pixel(c.x, c.y);
    EXPECT_EQ(actual, c.expected) << c.what << " at (" << c.x << "," << c.y << "): expected " << std::hex
                                  << c.expected << ", got " << actual;
  }
}

TEST_F(XpButtonTest, XpFaceIdlePressedDisabled) {
  XpButtonProperties props;
  props.ButtonStyle = 3;
  Make(props);
  const COLORREF face = Sys(COLOR_BTNFACE);
  const Color light = ShiftColor(face, 48);
  auto pixel = [this](int x, int y) { return PixelAt(x, y); };
  ExpectPixels(this,
               {{"gradient y=10", 8, 10, ShiftColor(kWhite, -25)},
                {"gradient y=3", 8, 3, ShiftColor(kWhite, -8)},
                {"dark frame left", 0, 10, Sys(COLOR_3DDKSHADOW)},
                {"dark frame bottom", 20, 19, Sys(COLOR_3DDKSHADOW)},
                {"rounded corner", 0, 0, face},
                {"inner corner keeps face", 1, 1, face}},
               pixel);
  // A real press.
  POINT inside{20, 10};
  ClientToScreen(button_.Handle(), &inside);
  SetCursorPos(inside.x, inside.y);
  SendMessageW(button_.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
  ASSERT_TRUE(button_.Flags().pressed);
  const Color base = ShiftColor(light, -32);
  ExpectPixels(this,
               {{"pressed top line (i=19)", 8, 1, ShiftColor(base, -24)},
                {"pressed bottom line (i=1)", 8, 18, ShiftColor(base, -2)}},
               pixel);
  SendMessageW(button_.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
  button_.SetEnabledCtrl(false);
  ExpectPixels(this,
               {{"disabled fill", 8, 8, ShiftColor(light, -24)},
                {"disabled frame", 0, 8, ShiftColor(light, -84)},
                {"disabled corner pixel", 1, 1, ShiftColor(light, -72)},
                {"disabled rounded corner", 0, 0, face}},
               pixel);
}

TEST_F(XpButtonTest, ClassicFramesRaisedSunkenFlat) {
  XpButtonProperties props;
  props.ButtonStyle = 0;
  props.ShowFocusRect = false;
  Make(props);
  auto pixel = [this](int x, int y) { return PixelAt(x, y); };
  // Raised: light left and top, black right and bottom.
  ExpectPixels(this,
               {{"raised left", 0, 10, Sys(COLOR_3DHIGHLIGHT)},
                {"raised top", 10, 0, Sys(COLOR_3DHIGHLIGHT)},
                {"raised right", 39, 10, 0},
                {"raised bottom", 10, 19, 0}},
               pixel);
  button_.SetButtonStyle(2);
  ExpectPixels(this, {{"flat left", 0, 10, Sys(COLOR_BTNFACE)}}, pixel);
  SendMessageW(button_.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  ExpectPixels(
      this,
      {{"sunken left", 0, 10, 0}, {"sunken top", 10, 0, 0}, {"sunken right", 39, 10, Sys(COLOR_3DHIGHLIGHT)}},
      pixel);
  SendMessageW(button_.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

TEST_F(XpButtonTest, BitmapDrawnTransparentAndMaskReadBack) {
  // 8 x 8 picture: white, with a red 4 x 4 middle.
  win::WindowDc screen(nullptr);
  win::OffscreenSurface picture(screen.Get(), 8, 8);
  RECT all{0, 0, 8, 8}, middle{2, 2, 6, 6};
  win::Brush white(CreateSolidBrush(RGB(255, 255, 255))), red(CreateSolidBrush(RGB(255, 0, 0)));
  FillRect(picture.Dc(), &all, white.Get());
  FillRect(picture.Dc(), &middle, red.Get());
  GdiFlush();

  XpButtonProperties props;
  props.Caption.clear();
  Make(props, 40, 40);
  EXPECT_EQ(button_.MaskColor(), kBlack);
  // The bitmap must not stay selected into the surface while drawn.
  win::Bitmap copy(static_cast<HBITMAP>(CopyImage(picture.BitmapHandle(), IMAGE_BITMAP, 0, 0, 0)));
  ASSERT_TRUE(copy);
  button_.SetPicture({copy.Get(), nullptr});
  EXPECT_EQ(button_.Properties().PictureWidth, 8);
  // Picture centred: left = 4 + round(24 / 2) = 16.
  auto pixel = [this](int x, int y) { return PixelAt(x, y); };
  ExpectPixels(this,
               {{"red middle", 19, 19, RGB(255, 0, 0)}, {"white is transparent", 16, 16, Sys(COLOR_BTNFACE)}},
               pixel);
  EXPECT_EQ(button_.MaskColor(), kWhite) << "the top-left pixel becomes the mask colour";
  // An own mask colour is kept: red becomes the transparent one.
  button_.SetUseMaskColor(true);
  button_.SetMaskColor(RGB(255, 0, 0));
  ExpectPixels(this,
               {{"red transparent", 19, 19, Sys(COLOR_BTNFACE)}, {"white shows", 16, 16, RGB(255, 255, 255)}},
               pixel);
  EXPECT_EQ(button_.MaskColor(), static_cast<Color>(RGB(255, 0, 0)));
}

TEST_F(XpButtonTest, SmallSizesAreEnlarged) {
  Make({}, 5, 30);
  RECT r{};
  GetClientRect(button_.Handle(), &r);
  EXPECT_EQ(r.right, 10);
  EXPECT_EQ(r.bottom, 30);
  SetWindowPos(button_.Handle(), nullptr, 0, 0, 50, 3, SWP_NOMOVE | SWP_NOZORDER);
  GetClientRect(button_.Handle(), &r);
  EXPECT_EQ(r.right, 50);
  EXPECT_EQ(r.bottom, 10);
}

TEST_F(XpButtonTest, HoverPressReleaseWithThePointer) {
  Make({}, 60, 30);
  test::MovePointerTo(button_.Handle(), 30, 15);
  ASSERT_TRUE(test::WaitFor([&] { return button_.Flags().hovered; })) << "no MouseIn";
  EXPECT_EQ(GetCapture(), button_.Handle());
  EXPECT_EQ(log_, (std::vector<std::string>{"MouseIn0"}));
  log_.clear();

  // Press and release inside: Click, then MouseUp; the hover comes back.
  SendMessageW(button_.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 15));
  SendMessageW(button_.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(30, 15));
  EXPECT_EQ(log_, (std::vector<std::string>{"Click", "MouseUp1@30,15"}));
  ASSERT_TRUE(test::WaitFor([&] { return button_.Flags().hovered; }));
  log_.clear();

  // Press inside, release outside: no Click.
  SendMessageW(button_.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 15));
  test::MovePointerAway();
  SendMessageW(button_.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(500, 15));
  EXPECT_EQ(log_, (std::vector<std::string>{"MouseUp1@500,15"}));
  log_.clear();

  // Leaving: MouseOut, capture released, timer off.
  test::MovePointerTo(button_.Handle(), 30, 15);
  ASSERT_TRUE(test::WaitFor([&] { return button_.Flags().hovered; }));
  test::MovePointerAway();
  ASSERT_TRUE(test::WaitFor([&] { return !button_.TrackingTimerEnabled(); })) << "no MouseOut";
  EXPECT_EQ(log_, (std::vector<std::string>{"MouseIn0", "MouseOut0"}));
  EXPECT_NE(GetCapture(), button_.Handle());
}

// A double click is one more press: every button's raises MouseDown.
TEST_F(XpButtonTest, EveryPressAndDoubleClickRaisesMouseDown) {
  Make({}, 60, 30);
  std::vector<int> downs;
  button_.events.MouseDown = [&downs](int b, int, float, float) { downs.push_back(b); };
  const std::pair<UINT, UINT> presses[] = {{WM_LBUTTONDOWN, WM_LBUTTONUP}, {WM_LBUTTONDBLCLK, WM_LBUTTONUP},
                                           {WM_RBUTTONDOWN, WM_RBUTTONUP}, {WM_RBUTTONDBLCLK, WM_RBUTTONUP},
                                           {WM_MBUTTONDOWN, WM_MBUTTONUP}, {WM_MBUTTONDBLCLK, WM_MBUTTONUP}};
  for (const auto& [down, up] : presses) {
    SendMessageW(button_.Handle(), down, 0, MAKELPARAM(30, 15));
    SendMessageW(button_.Handle(), up, 0, MAKELPARAM(30, 15));
  }
  EXPECT_EQ(downs, (std::vector<int>{1, 1, 2, 2, 4, 4}));
}

TEST_F(XpButtonTest, SpaceBarOnTheFocusedButtonClicksWhereverThePointerIs) {
  Make({}, 60, 30);
  SetFocus(button_.Handle());
  test::MovePointerTo(button_.Handle(), 30, 15);
  ASSERT_TRUE(test::WaitFor([&] { return button_.Flags().hovered; }));
  log_.clear();
  SendMessageW(button_.Handle(), WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_TRUE(button_.Flags().pressed);
  SendMessageW(button_.Handle(), WM_KEYUP, VK_SPACE, 0);
  EXPECT_EQ(log_, (std::vector<std::string>{"Click", "MouseUp1@0,0", "KeyUp32"}));
  log_.clear();
  // The release cleared the hover; with the pointer gone no tick hovers
  // again, and the key still clicks.
  test::MovePointerAway();
  test::PumpMessages();
  log_.clear();
  SendMessageW(button_.Handle(), WM_KEYDOWN, VK_SPACE, 0);
  SendMessageW(button_.Handle(), WM_KEYUP, VK_SPACE, 0);
  EXPECT_EQ(log_, (std::vector<std::string>{"Click", "MouseUp1@0,0", "KeyUp32"}));
}

TEST_F(XpButtonTest, AccessKeyWithEscapedAmpersand) {
  XpButtonProperties props;
  props.Caption = "&&Tom &Go";
  Make(props, 80, 30);
  SendMessageW(button_.Handle(), WM_SYSCHAR, L'T', 0);
  EXPECT_TRUE(log_.empty());
  SendMessageW(button_.Handle(), WM_SYSCHAR, L'G', 0);
  EXPECT_EQ(log_, (std::vector<std::string>{"Click"}));
  log_.clear();
  button_.SetEnabledCtrl(false);
  EXPECT_FALSE(DispatchAccessKey(parent_, L'g'));
  EXPECT_TRUE(log_.empty());
  button_.SetEnabledCtrl(true);
  EXPECT_TRUE(DispatchAccessKey(parent_, L'g'));
}

TEST_F(XpButtonTest, FocusRectangleOnlyWhenAsked) {
  XpButtonProperties props;
  props.ButtonStyle = 2;
  Make(props, 40, 20);
  SetFocus(button_.Handle());
  ASSERT_TRUE(button_.Flags().focused);
  // The dotted rectangle runs along (4, 4)-(36, 4).
  auto dotsOnTopEdge = [this] {
    int dots = 0;
    for (int x = 4; x < 36; ++x) dots += PixelAt(x, 4) != Sys(COLOR_BTNFACE) ? 1 : 0;
    return dots;
  };
  EXPECT_GT(dotsOnTopEdge(), 4);
  button_.SetShowFocusRect(false);
  EXPECT_GT(dotsOnTopEdge(), 4) << "focused from the keyboard: the cue shows anyway";
  SetFocus(parent_);
  SendMessageW(button_.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));  // focused by a click
  SendMessageW(button_.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  ASSERT_TRUE(button_.Flags().focused);
  EXPECT_EQ(dotsOnTopEdge(), 0);
  SetFocus(parent_);
  EXPECT_FALSE(button_.Flags().focused);
}

}  // namespace
}  // namespace tw
