#include "controls/check_box_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tw {
namespace {

// Records what the control asks of its window, in order.
class RecordingHost : public CheckBoxHost {
 public:
  std::vector<std::string> log;
  bool timer = false;
  bool pointerOver = false;
  CheckPicture picture = CheckPicture::IdleNoValue;

  void ShowPicture(CheckPicture p) override { picture = p; }
  void SetHoverTimer(bool enabled) override {
    timer = enabled;
    starts += enabled;
  }
  int starts = 0;  // every start restarts the 50 ms count
  bool PointerOverPicture() override { return pointerOver; }
  void RaiseClick() override { log.push_back("Click"); }
  void RaiseDblClick() override { log.push_back("DblClick"); }
  void RaiseMouseDown(int& button, int& shift, float& x, float& y) override {
    log.push_back("MouseDown " + std::to_string(button) + " " + std::to_string(shift) + " " +
                  std::to_string(static_cast<int>(x)) + "," + std::to_string(static_cast<int>(y)));
  }
};

using Log = std::vector<std::string>;

TEST(CheckPictures, TwelveStoredPicturesFourShownPerValue) {
  EXPECT_EQ(CheckPictureFor(CheckState::Idle, false), CheckPicture::IdleNoValue);
  EXPECT_EQ(CheckPictureFor(CheckState::Idle, true), CheckPicture::IdleChecked);
  EXPECT_EQ(CheckPictureFor(CheckState::Mouseover, false), CheckPicture::MouseoverNoValue);
  EXPECT_EQ(CheckPictureFor(CheckState::Mouseover, true), CheckPicture::MouseoverChecked);
  EXPECT_EQ(CheckPictureFor(CheckState::Pushed, false), CheckPicture::PushedNoValue);
  EXPECT_EQ(CheckPictureFor(CheckState::Pushed, true), CheckPicture::PushedChecked);
  EXPECT_EQ(CheckPictureFor(CheckState::Disabled, false), CheckPicture::DisabledNoValue);
  EXPECT_EQ(CheckPictureFor(CheckState::Disabled, true), CheckPicture::DisabledChecked);
  // Resource ids follow the enum: three pictures per state.
  EXPECT_EQ(static_cast<int>(CheckPicture::DisabledGrey), kCheckPictureCount - 1);
  EXPECT_EQ(static_cast<int>(CheckPicture::PushedNoValue), 6);
}

// A pointer that keeps moving must not keep the timer from ever ticking.
TEST(CheckBoxModel, MovesWhileTheTimerRunsDoNotRestartIt) {
  RecordingHost host;
  CheckBoxModel check(host);
  check.PointerMove();
  check.PointerMove();
  check.PointerMove();
  EXPECT_EQ(host.starts, 1);
  host.pointerOver = true;
  check.TimerTick();  // the pointer is over the picture: the timer runs on
  check.PointerMove();
  EXPECT_EQ(host.starts, 1);
  host.pointerOver = false;
  check.TimerTick();  // the pointer left: the timer stops
  check.PointerMove();
  EXPECT_EQ(host.starts, 2) << "a move after the stop starts it again";
}

TEST(CheckBoxModel, NewControlIsUncheckedEnabledAndQuiet) {
  RecordingHost host;
  CheckBoxModel check(host);
  EXPECT_FALSE(check.Value());
  EXPECT_TRUE(check.Enabled());
  EXPECT_TRUE(check.InputEnabled());
  EXPECT_FALSE(check.Down());
  EXPECT_EQ(check.Shown(), CheckPicture::IdleNoValue);
  EXPECT_TRUE(host.log.empty());
}

TEST(CheckBoxModel, LeftPressTogglesAtOnceAndShowsThePictureBeforeIt) {
  RecordingHost host;
  CheckBoxModel check(host);
  check.PointerMove();
  EXPECT_TRUE(host.timer);

  check.ButtonDown(kCheckLeftButton, 1, 3.0f, 4.0f);
  EXPECT_TRUE(check.Value());
  EXPECT_TRUE(check.Down());
  EXPECT_FALSE(host.timer);
  EXPECT_EQ(host.picture, CheckPicture::PushedNoValue);
  EXPECT_EQ(host.log, (Log{"MouseDown 1 1 3,4"}));

  // While held, moving does not restart hover tracking.
  check.PointerMove();
  EXPECT_FALSE(host.timer);

  check.ButtonUp(kCheckLeftButton);
  EXPECT_EQ(host.log, (Log{"MouseDown 1 1 3,4", "Click"}));
  EXPECT_FALSE(check.Down());
  EXPECT_TRUE(host.timer);
  // The release leaves the pushed picture until the next tick.
  EXPECT_EQ(host.picture, CheckPicture::PushedNoValue);
  host.pointerOver = true;
  check.TimerTick();
  EXPECT_EQ(host.picture, CheckPicture::MouseoverChecked);
  EXPECT_TRUE(host.timer);

  // A second press shows the checked pushed picture and unchecks.
  check.ButtonDown(kCheckLeftButton, 0, 0.0f, 0.0f);
  EXPECT_EQ(host.picture, CheckPicture::PushedChecked);
  EXPECT_FALSE(check.Value());
}

TEST(CheckBoxModel, SpaceTogglesAsALeftClickDoes) {
  RecordingHost host;
  CheckBoxModel check(host);
  check.SpaceDown();
  check.SpaceDown();  // auto-repeat
  EXPECT_TRUE(check.Value());
  EXPECT_EQ(host.picture, CheckPicture::PushedNoValue);
  check.SpaceUp();
  check.SpaceUp();
  EXPECT_EQ(host.log, (Log{"MouseDown 1 0 0,0", "Click"}));
  EXPECT_FALSE(check.Down());

  // While the pointer holds the box, or while disabled, Space does nothing.
  host.log.clear();
  check.ButtonDown(kCheckLeftButton, 0, 0.0f, 0.0f);
  check.SpaceDown();
  check.SpaceUp();
  EXPECT_EQ(host.log, (Log{"MouseDown 1 0 0,0"}));
  check.ButtonUp(kCheckLeftButton);
  check.SetEnabled(false);
  host.log.clear();
  check.SpaceDown();
  check.SpaceUp();
  EXPECT_TRUE(host.log.empty());
  EXPECT_FALSE(check.Value());
}

TEST(CheckBoxModel, OtherButtons) {
  RecordingHost host;
  CheckBoxModel check(host);
  // Right press: nothing; right release: nothing.
  check.ButtonDown(kCheckRightButton, 0, 1, 1);
  check.ButtonUp(kCheckRightButton);
  EXPECT_TRUE(host.log.empty());
  EXPECT_FALSE(check.Value());
  EXPECT_FALSE(host.timer);
  // Middle press does not toggle, its release raises Click.
  check.ButtonDown(kCheckMiddleButton, 0, 1, 1);
  EXPECT_FALSE(check.Value());
  EXPECT_FALSE(check.Down());
  check.ButtonUp(kCheckMiddleButton);
  EXPECT_EQ(host.log, (Log{"Click"}));
  EXPECT_FALSE(check.Value());
}

TEST(CheckBoxModel, DoubleClickRaisesDblClickOnlyWhileInputIsEnabled) {
  RecordingHost host;
  CheckBoxModel check(host);
  check.DoubleClick();
  EXPECT_EQ(host.log, (Log{"DblClick"}));
  check.SetEnabled(false);
  check.DoubleClick();
  EXPECT_EQ(host.log, (Log{"DblClick"}));
}

TEST(CheckBoxModel, ProgramSetsValue) {
  RecordingHost host;
  CheckBoxModel check(host);
  // Enabled: the idle picture of the new value, Click, hover tracking on.
  check.SetValue(true);
  EXPECT_TRUE(check.Value());
  EXPECT_EQ(host.picture, CheckPicture::IdleChecked);
  EXPECT_EQ(host.log, (Log{"Click"}));
  EXPECT_TRUE(host.timer);
  // Setting the same value again still raises Click.
  check.SetValue(true);
  EXPECT_EQ(host.log.size(), 2u);

  // Disabled: the disabled picture, and nothing raised.
  check.SetEnabled(false);
  host.log.clear();
  check.SetValue(false);
  EXPECT_FALSE(check.Value());
  EXPECT_EQ(host.picture, CheckPicture::DisabledNoValue);
  EXPECT_TRUE(host.log.empty());
  EXPECT_FALSE(host.timer);
}

TEST(CheckBoxModel, DisabledControlIgnoresInputAndStopsHovering) {
  RecordingHost host;
  CheckBoxModel check(host);
  check.SetValue(true);
  host.log.clear();
  check.SetEnabled(false);
  EXPECT_FALSE(check.Enabled());
  EXPECT_FALSE(check.InputEnabled());
  EXPECT_EQ(host.picture, CheckPicture::DisabledChecked);
  EXPECT_FALSE(host.timer);

  check.ButtonDown(kCheckLeftButton, 0, 1, 1);
  check.ButtonUp(kCheckLeftButton);
  EXPECT_TRUE(check.Value());
  EXPECT_TRUE(host.log.empty());

  // A move starts the timer, but its first tick stops it without a picture.
  check.PointerMove();
  EXPECT_TRUE(host.timer);
  host.pointerOver = true;
  check.TimerTick();
  EXPECT_FALSE(host.timer);
  EXPECT_EQ(host.picture, CheckPicture::DisabledChecked);

  check.SetEnabled(true);
  EXPECT_TRUE(check.InputEnabled());
  EXPECT_EQ(host.picture, CheckPicture::IdleChecked);
  EXPECT_TRUE(host.log.empty());
}

TEST(CheckBoxModel, HoverTimerShowsOverThenIdleAndStops) {
  RecordingHost host;
  CheckBoxModel check(host);
  check.PointerMove();
  host.pointerOver = true;
  check.TimerTick();
  EXPECT_EQ(host.picture, CheckPicture::MouseoverNoValue);
  EXPECT_TRUE(host.timer);
  check.TimerTick();
  EXPECT_TRUE(host.timer);
  host.pointerOver = false;
  check.TimerTick();
  EXPECT_EQ(host.picture, CheckPicture::IdleNoValue);
  EXPECT_FALSE(host.timer);
}

TEST(CheckBoxModel, DisablingInMidPressDoesNotLeaveHoverDead) {
  RecordingHost host;
  CheckBoxModel check(host);
  check.ButtonDown(kCheckLeftButton, 0, 1, 1);
  check.SetEnabled(false);
  check.ButtonUp(kCheckLeftButton);
  check.SetEnabled(true);
  EXPECT_FALSE(check.Down());
  check.PointerMove();
  EXPECT_TRUE(host.timer);
}

}  // namespace
}  // namespace tw
