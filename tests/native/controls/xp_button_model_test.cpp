#include "controls/xp_button_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/cp1251.h"

namespace tw {
namespace {

Color FakeSystem(int index) {
  switch (index) {
    case kColorBtnFace:
      return Rgb(212, 208, 200);
    case kColor3dHighlight:
      return kWhite;
    case kColor3dDkShadow:
      return Rgb(64, 64, 64);
    case kColor3dLight:
      return Rgb(220, 220, 220);
    default:
      return Rgb(index, index, index);
  }
}

TEST(XpButtonColor, ResolveAndShift) {
  EXPECT_EQ(ResolveColor(0x80000014u, FakeSystem), kWhite);
  EXPECT_EQ(ResolveColor(Rgb(1, 2, 3), FakeSystem), Rgb(1, 2, 3));
  // Each channel clamps on its own; chained shifts clamp at every step.
  EXPECT_EQ(ShiftColor(Rgb(250, 10, 128), 10), Rgb(255, 20, 138));
  EXPECT_EQ(ShiftColor(Rgb(250, 10, 128), -20), Rgb(230, 0, 108));
  EXPECT_EQ(ShiftColor(ShiftColor(Rgb(250, 0, 0), 20), -20), Rgb(235, 0, 0));
}

TEST(XpButtonColor, RoundsTiesToEven) {
  const std::vector<std::pair<double, int>> cases = {
      {0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {-12.5, -12}, {-2.4, -2}, {-2.6, -3}, {3.0, 3}};
  for (const auto& [value, expected] : cases) EXPECT_EQ(RoundHalfEven(value), expected) << value;
}

TEST(XpButtonAccessKey, Captions) {
  const std::vector<std::pair<std::string, std::optional<char>>> cases = {
      {"&Ok", 'o'},
      {"Fi&le", 'l'},
      {"&&Tom", std::nullopt},  // escaped pair, no further marker
      {"&&Tom &and", 'a'},      // the marker after the escaped pair
      {"&&&&x", std::nullopt},  // second pair is escaped too
      {"a&", std::nullopt},     // marker at the end
      {"&", std::nullopt},      // one character
      {"X", std::nullopt},      // one character
      {"", std::nullopt},
      {"Plain", std::nullopt},
      {cp1251("&Отмена").str(), cp1251("о").str()[0]},
      {cp1251("Про&Ёжика").str(), cp1251("ё").str()[0]},
  };
  for (const auto& [caption, expected] : cases) EXPECT_EQ(AccessKey(caption), expected) << caption;
}

TEST(XpButtonSize, SmallSidesGrow) {
  EXPECT_EQ(EnlargedSide(0), 10);
  EXPECT_EQ(EnlargedSide(9), 10);
  EXPECT_EQ(EnlargedSide(10), 10);
  EXPECT_EQ(EnlargedSide(67), 67);
  // 150 twips at 150 % and 200 %.
  EXPECT_EQ(EnlargedSide(14, 144), 15);
  EXPECT_EQ(EnlargedSide(10, 192), 20);
  EXPECT_EQ(EnlargedSide(21, 192), 21);
}

TEST(XpButtonLayout, InsetsAndGapScaleWithTheDpi) {
  // 67 x 67 at 150 % is 101 x 101: inset 6, the 72 x 72 picture centred.
  EXPECT_EQ(InnerRect(101, 101, 144), (Rect{6, 6, 95, 95}));
  EXPECT_EQ(LayoutXpButton(101, 101, 1, false, 0, 0, true, 72, 72, 144).picture, (Rect{14, 14, 86, 86}));
  // Picture left of the caption at 200 %: an 8-pixel gap between them.
  const XpButtonLayout layout = LayoutXpButton(200, 120, 1, true, 60, 26, true, 64, 64, 192);
  EXPECT_EQ(layout.caption.left - layout.picture.right, 8);
  EXPECT_EQ(layout.picture.left, 8 + (184 - (64 + 60 + 8)) / 2) << "the block centred in the 8-pixel insets";
}

TEST(DpiScale, RoundsLikeMulDiv) {
  EXPECT_EQ(ScaleToDpi(424, 144), 636);
  EXPECT_EQ(ScaleToDpi(290, 144), 435);
  EXPECT_EQ(ScaleToDpi(13, 120), 16);    // 16.25
  EXPECT_EQ(ScaleToDpi(1, 144), 2);      // 1.5 rounds away from zero
  EXPECT_EQ(ScaleToDpi(-11, 144), -17);  // font heights are negative
  EXPECT_EQ(ScaleToDpi(13, 0), 13);
  EXPECT_EQ(TwipsToPixels(150, 96), 10);
  EXPECT_EQ(TwipsToPixels(150, 120), 13);  // 12.5
}

TEST(XpButtonLayout, Positions) {
  // 100 x 60 button: inner 92 x 52. Text 30 x 13, picture 32 x 32.
  struct Case {
    int position;
    Rect picture;
    Rect caption;
  };
  const std::vector<Case> cases = {
      // block 66 wide: left 4 + 13 = 17
      {1, {17, 14, 49, 46}, {53, 24, 83, 37}},
      {2, {51, 14, 83, 46}, {17, 24, 47, 37}},
      // block 49 high: top 4 + round(1.5) = 6
      {3, {34, 23, 66, 55}, {35, 6, 65, 19}},
      {0, {34, 6, 66, 38}, {35, 42, 65, 55}},
  };
  for (const auto& c : cases) {
    const XpButtonLayout layout = LayoutXpButton(100, 60, c.position, true, 30, 13, true, 32, 32);
    EXPECT_EQ(layout.picture, c.picture) << c.position;
    EXPECT_EQ(layout.caption, c.caption) << c.position;
  }
  // Picture only: centred; 67 x 67 with 48 x 48: 4 + round(5.5) = 10 (tie to even)
  EXPECT_EQ(LayoutXpButton(67, 67, 1, false, 0, 0, true, 48, 48).picture, (Rect{10, 10, 58, 58}));
  // 69 wide: round(6.5) = 6, the same left as 67 wide.
  EXPECT_EQ(LayoutXpButton(69, 67, 1, false, 0, 0, true, 48, 48).picture, (Rect{10, 10, 58, 58}));
  // Caption only: centred.
  EXPECT_EQ(LayoutXpButton(100, 60, 1, true, 31, 13, false, 32, 32).caption, (Rect{34, 24, 65, 37}));
}

TEST(XpButtonFace, ClassicFrames) {
  const XpButtonFlags idle{}, hovered{false, false, true}, pressed{false, true, true};
  EXPECT_TRUE(DrawClassicFrame(2, idle, 50, 20, FakeSystem).empty());
  EXPECT_TRUE(DrawClassicFrame(1, idle, 50, 20, FakeSystem).empty());
  const DrawList raised = {{DrawOp::Kind::Frame, {0, 0, 50, 20}, kBlack},
                           {DrawOp::Kind::Frame, {0, 0, 51, 21}, kWhite}};
  EXPECT_EQ(DrawClassicFrame(0, idle, 50, 20, FakeSystem), raised);
  EXPECT_EQ(DrawClassicFrame(2, hovered, 50, 20, FakeSystem), raised);
  const DrawList sunken = {{DrawOp::Kind::Frame, {0, 0, 50, 20}, kWhite},
                           {DrawOp::Kind::Frame, {0, 0, 51, 21}, kBlack}};
  EXPECT_EQ(DrawClassicFrame(0, pressed, 50, 20, FakeSystem), sunken);
}

const DrawOp* FindLineAt(const DrawList& ops, int y) {
  for (const auto& op : ops) {
    if (op.kind == DrawOp::Kind::Line && op.rect.top == y && op.rect.bottom == y && op.rect.left == 0)
      return &op;
  }
  return nullptr;
}

TEST(XpButtonFace, GradientLines) {
  XpButtonProperties props;
  props.ButtonStyle = 3;
  const DrawList idle = DrawXpFace(props, {}, 40, 20, FakeSystem);
  // White at the top, 50 levels darker at the bottom: y = i gets round(-50 i / 20).
  ASSERT_NE(FindLineAt(idle, 1), nullptr);
  EXPECT_EQ(FindLineAt(idle, 1)->color, ShiftColor(kWhite, -2));  // -2.5 -> -2
  EXPECT_EQ(FindLineAt(idle, 3)->color, ShiftColor(kWhite, -8));  // -7.5 -> -8
  EXPECT_EQ(FindLineAt(idle, 20)->color, ShiftColor(kWhite, -50));
  EXPECT_EQ(FindLineAt(idle, 0), nullptr);

  const DrawList pressed = DrawXpFace(props, {false, true, false}, 40, 20, FakeSystem);
  const Color base = ShiftColor(ShiftColor(Rgb(212, 208, 200), 48), -32);
  EXPECT_EQ(FindLineAt(pressed, 19)->color, ShiftColor(base, -1));  // i = 1: -1.25
  EXPECT_EQ(FindLineAt(pressed, 0)->color, ShiftColor(base, -25));  // i = 20
}

TEST(XpButtonFace, DefaultColorsOverrideAssignedOnes) {
  XpButtonProperties props;
  props.ButtonStyle = 3;
  props.XPColor_Hover = Rgb(1, 2, 3);
  props.XPColor_Pressed = Rgb(4, 5, 6);
  const DrawList ops = DrawXpFace(props, {false, false, true}, 40, 20, FakeSystem);
  EXPECT_EQ(props.XPColor_Hover, kXpDefaultHover);
  EXPECT_EQ(props.XPColor_Pressed, kXpDefaultPressed);
  const DrawOp highlight{DrawOp::Kind::Frame, {1, 2, 39, 18}, kXpDefaultHover};
  EXPECT_NE(std::find(ops.begin(), ops.end(), highlight), ops.end());

  // Without the defaults, the focused look uses the assigned pressed colour.
  props.XPDefaultColors = false;
  props.XPColor_Pressed = Rgb(10, 20, 30);
  const DrawList focused = DrawXpFace(props, {true, false, false}, 40, 20, FakeSystem);
  const DrawOp top{DrawOp::Kind::Line, {2, 1, 38, 1}, ShiftColor(Rgb(10, 20, 30), 90)};
  EXPECT_NE(std::find(focused.begin(), focused.end(), top), focused.end());
  EXPECT_EQ(props.XPColor_Pressed, Rgb(10, 20, 30));
}

TEST(XpButtonFace, DisabledAndCorners) {
  XpButtonProperties props;
  props.ButtonStyle = 3;
  props.Enabled = false;
  props.XPColor_Hover = Rgb(1, 2, 3);
  const DrawList ops = DrawXpFace(props, {}, 30, 20, FakeSystem);
  const Color face = Rgb(212, 208, 200);
  const Color light = ShiftColor(face, 48);
  ASSERT_GE(ops.size(), 2u);
  EXPECT_EQ(ops[0], (DrawOp{DrawOp::Kind::Fill, {0, 0, 30, 20}, ShiftColor(light, -24)}));
  EXPECT_EQ(ops[1], (DrawOp{DrawOp::Kind::Frame, {0, 0, 30, 20}, ShiftColor(light, -84)}));
  EXPECT_EQ(ops.back(), (DrawOp{DrawOp::Kind::Pixel, {28, 18, 29, 19}, ShiftColor(light, -72)}));
  EXPECT_EQ(props.XPColor_Hover, Rgb(1, 2, 3));  // no reset while disabled
  // Every state ends with the four face-coloured corner squares (enabled).
  props.Enabled = true;
  const DrawList enabled = DrawXpFace(props, {}, 30, 20, FakeSystem);
  EXPECT_EQ(enabled.back(), (DrawOp{DrawOp::Kind::Fill, {28, 18, 30, 20}, face}));
  EXPECT_TRUE(DrawXpFace(props, {}, 30, 0, FakeSystem).empty());
}

// Records the button's answers in order.
class RecordingHost : public XpButtonHost {
 public:
  bool over = false;
  std::vector<std::string> log;
  bool PointerOverControl() override { return over; }
  void Refresh() override { log.push_back("Refresh"); }
  void CaptureMouse() override { log.push_back("SetCapture"); }
  void ReleaseMouse() override { log.push_back("ReleaseCapture"); }
  void SetTrackingTimer(bool enabled) override { log.push_back(enabled ? "TimerOn" : "TimerOff"); }
  void RaiseClick() override { log.push_back("Click"); }
  void RaiseMouseIn() override { log.push_back("MouseIn"); }
  void RaiseMouseOut() override { log.push_back("MouseOut"); }
  void RaiseMouseDown(int b, int, float, float) override { log.push_back("MouseDown" + std::to_string(b)); }
  void RaiseMouseUp(int b, int, float x, float y) override {
    log.push_back("MouseUp" + std::to_string(b) + "@" + std::to_string(static_cast<int>(x)) + "," +
                  std::to_string(static_cast<int>(y)));
  }
  void RaiseKeyDown(int& k, int&) override { log.push_back("KeyDown" + std::to_string(k)); }
  void RaiseKeyUp(int& k, int&) override { log.push_back("KeyUp" + std::to_string(k)); }
  std::vector<std::string> Take() { return std::exchange(log, {}); }
};

using Log = std::vector<std::string>;

TEST(XpButtonStates, HoverEnterAndLeave) {
  RecordingHost host;
  XpButtonStateMachine button(host);
  button.OnMouseMove();
  button.OnMouseMove();  // the timer is started once
  EXPECT_EQ(host.Take(), (Log{"TimerOn"}));
  host.over = true;
  button.OnTimerTick();
  EXPECT_EQ(host.Take(), (Log{"ReleaseCapture", "MouseIn", "Refresh", "SetCapture"}));
  button.OnTimerTick();
  EXPECT_TRUE(host.Take().empty());
  host.over = false;
  button.OnTimerTick();
  EXPECT_EQ(host.Take(), (Log{"TimerOff", "MouseOut", "Refresh", "ReleaseCapture"}));
  EXPECT_FALSE(button.TimerEnabled());
  EXPECT_FALSE(button.Flags().hovered);
}

TEST(XpButtonStates, PressReleaseInsideAndOutside) {
  RecordingHost host;
  XpButtonStateMachine button(host);
  host.over = true;
  button.OnMouseMove();
  button.OnTimerTick();
  host.Take();
  button.OnButtonDown(kLeftButton, 0, 5, 6);
  EXPECT_TRUE(button.Flags().pressed);
  button.OnButtonUp(kLeftButton, 0, 5, 6);
  EXPECT_EQ(host.Take(), (Log{"Refresh", "MouseDown1", "Refresh", "Click", "MouseUp1@5,6"}));
  // The release cleared hovered while the timer runs: the next tick hovers again.
  EXPECT_FALSE(button.Flags().hovered);
  button.OnTimerTick();
  EXPECT_EQ(host.Take(), (Log{"ReleaseCapture", "MouseIn", "Refresh", "SetCapture"}));

  button.OnButtonDown(kLeftButton, 0, 1, 1);
  host.over = false;  // released outside
  button.OnButtonUp(kLeftButton, 0, 90, 1);
  EXPECT_EQ(host.Take(), (Log{"Refresh", "MouseDown1", "Refresh", "MouseUp1@90,1"}));

  // The right button neither presses nor clicks.
  host.over = true;
  button.OnButtonDown(2, 0, 1, 1);
  button.OnButtonUp(2, 0, 1, 1);
  EXPECT_EQ(host.Take(), (Log{"MouseDown2", "MouseUp2@1,1"}));
}

TEST(XpButtonStates, SpaceBar) {
  RecordingHost host;
  XpButtonStateMachine button(host);
  host.over = true;
  button.OnKeyDown(kSpaceKey, 0);
  button.OnKeyDown(kSpaceKey, 0);  // auto-repeat presses once
  EXPECT_TRUE(button.Flags().pressed && button.Flags().hovered);
  button.OnKeyUp(kSpaceKey, 0);
  EXPECT_EQ(host.Take(), (Log{"Refresh", "KeyDown32", "KeyDown32", "Refresh", "Refresh", "Click",
                              "MouseUp1@0,0", "KeyUp32"}));
  // Not focused and released while the pointer is elsewhere: no Click.
  host.over = false;
  button.OnKeyDown(kSpaceKey, 0);
  button.OnKeyUp(kSpaceKey, 0);
  EXPECT_EQ(host.Take(), (Log{"Refresh", "KeyDown32", "Refresh", "Refresh", "MouseUp1@0,0", "KeyUp32"}));
  button.OnKeyDown(13, 0);
  button.OnKeyUp(13, 0);
  EXPECT_EQ(host.Take(), (Log{"KeyDown13", "KeyUp13"}));
}

// The keyboard on a focused button clicks wherever the pointer is.
TEST(XpButtonStates, KeysOnAFocusedButton) {
  struct Case {
    const char* name;
    bool over;
    std::vector<std::pair<int, bool>> keys;  // key, down
    Log events;                              // Click, MouseUp and key events only
  };
  const Case cases[] = {
      {"space, pointer elsewhere",
       false,
       {{32, true}, {32, false}},
       {"KeyDown32", "Click", "MouseUp1@0,0", "KeyUp32"}},
      {"space, pointer over",
       true,
       {{32, true}, {32, false}},
       {"KeyDown32", "Click", "MouseUp1@0,0", "KeyUp32"}},
      {"enter clicks on the press, once while held",
       false,
       {{13, true}, {13, true}, {13, false}, {13, true}},
       {"Click", "KeyDown13", "KeyDown13", "KeyUp13", "Click", "KeyDown13"}},
      {"space released without its press", false, {{32, false}}, {"MouseUp1@0,0", "KeyUp32"}},
      {"other keys", false, {{9, true}, {9, false}}, {"KeyDown9", "KeyUp9"}},
  };
  for (const Case& c : cases) {
    RecordingHost host;
    XpButtonStateMachine button(host);
    button.OnFocus(true, true);
    host.over = c.over;
    host.Take();
    for (const auto& [key, down] : c.keys) down ? button.OnKeyDown(key, 0) : button.OnKeyUp(key, 0);
    Log events;
    for (const std::string& e : host.Take())
      if (e != "Refresh") events.push_back(e);
    EXPECT_EQ(events, c.events) << c.name;
  }
}

TEST(XpButtonStates, FocusCueComesWithTheKeyboard) {
  RecordingHost host;
  XpButtonStateMachine button(host);
  XpButtonProperties face = FacePictureButton();  // no focus frame of its own
  button.OnFocus(true, false);                    // a click
  EXPECT_FALSE(ShowsFocusRect(face, button.Flags()));
  button.OnKeyDown(kSpaceKey, 0);  // but a key used afterwards shows it
  EXPECT_TRUE(ShowsFocusRect(face, button.Flags()));
  button.OnFocus(false);
  EXPECT_FALSE(ShowsFocusRect(face, button.Flags()));
  button.OnFocus(true, true);  // by Tab
  EXPECT_TRUE(ShowsFocusRect(face, button.Flags()));
  button.OnFocus(true, false);
  XpButtonProperties classic;  // its own frame shows on any focus, except in the XP style
  EXPECT_TRUE(ShowsFocusRect(classic, button.Flags()));
  classic.ButtonStyle = 3;
  EXPECT_FALSE(ShowsFocusRect(classic, button.Flags()));
}

TEST(XpButtonStates, AccessKeyFocusEnabled) {
  RecordingHost host;
  XpButtonStateMachine button(host);
  EXPECT_TRUE(button.OnAccessKey('K', "O&k", true));
  EXPECT_FALSE(button.OnAccessKey('k', "O&k", false));
  EXPECT_FALSE(button.OnAccessKey('o', "O&k", true));
  EXPECT_EQ(host.Take(), (Log{"Click"}));

  button.OnKeyDown(kSpaceKey, 0);
  button.OnFocus(true);
  EXPECT_TRUE(button.Flags().focused);
  EXPECT_FALSE(button.Flags().hovered);
  EXPECT_TRUE(button.Flags().pressed);
  button.OnFocus(false);
  EXPECT_FALSE(button.Flags().focused || button.Flags().pressed || button.Flags().hovered);
  button.OnKeyDown(kSpaceKey, 0);
  button.OnEnabledChanged();
  EXPECT_FALSE(button.Flags().pressed || button.Flags().hovered);
}

}  // namespace
}  // namespace tw
