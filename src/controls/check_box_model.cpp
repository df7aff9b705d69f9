#include "controls/check_box_model.h"

namespace tw {

CheckPicture CheckPictureFor(CheckState state, bool value) {
  switch (state) {
    case CheckState::Idle:
      return value ? CheckPicture::IdleChecked : CheckPicture::IdleNoValue;
    case CheckState::Mouseover:
      return value ? CheckPicture::MouseoverChecked : CheckPicture::MouseoverNoValue;
    case CheckState::Pushed:
      return value ? CheckPicture::PushedChecked : CheckPicture::PushedNoValue;
    case CheckState::Disabled:
      return value ? CheckPicture::DisabledChecked : CheckPicture::DisabledNoValue;
  }
  return CheckPicture::IdleNoValue;
}

void CheckBoxModel::Show(CheckPicture picture) {
  shown_ = picture;
  host_.ShowPicture(picture);
}

void CheckBoxModel::SetValue(bool value) {
  value_ = value;
  Show(CheckPictureFor(enabled_ ? CheckState::Idle : CheckState::Disabled, value_));
  // The window's Click handler runs for the program's own changes too.
  ButtonUp(0);
}

void CheckBoxModel::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (enabled) {
    Show(CheckPictureFor(CheckState::Idle, value_));
    inputEnabled_ = true;
  } else {
    Show(CheckPictureFor(CheckState::Disabled, value_));
    SetHoverTimer(false);
    inputEnabled_ = false;
    // A press in progress is abandoned; otherwise hovering would stay off
    // after the control is enabled again.
    down_ = false;
    spaceDown_ = false;
  }
}

void CheckBoxModel::PointerMove() {
  // Starting a running timer again would restart its count, and a pointer
  // that keeps moving would never see the pointer-over picture.
  if (!down_ && !hoverTimer_) SetHoverTimer(true);
}

void CheckBoxModel::SetHoverTimer(bool enabled) {
  hoverTimer_ = enabled;
  host_.SetHoverTimer(enabled);
}

void CheckBoxModel::ButtonDown(int button, int shift, float x, float y) {
  if (button != kCheckLeftButton || !inputEnabled_) return;
  host_.RaiseMouseDown(button, shift, x, y);
  SetHoverTimer(false);
  // The pushed picture shows the value before the toggle.
  Show(CheckPictureFor(CheckState::Pushed, value_));
  value_ = !value_;
  down_ = true;
}

void CheckBoxModel::ButtonUp(int button) {
  if (button == kCheckRightButton || !inputEnabled_) return;
  host_.RaiseClick();
  down_ = false;
  SetHoverTimer(true);
}

void CheckBoxModel::DoubleClick() {
  if (inputEnabled_) host_.RaiseDblClick();
}

void CheckBoxModel::SpaceDown() {
  // Auto-repeat and a press already held by the pointer toggle nothing more.
  if (spaceDown_ || down_ || !inputEnabled_) return;
  spaceDown_ = true;
  ButtonDown(kCheckLeftButton, 0, 0.0f, 0.0f);
}

void CheckBoxModel::SpaceUp() {
  if (!spaceDown_) return;
  spaceDown_ = false;
  ButtonUp(kCheckLeftButton);
}

void CheckBoxModel::TimerTick() {
  if (!enabled_) {
    SetHoverTimer(false);
    return;
  }
  if (host_.PointerOverPicture()) {
    Show(CheckPictureFor(CheckState::Mouseover, value_));
  } else {
    Show(CheckPictureFor(CheckState::Idle, value_));
    SetHoverTimer(false);
  }
}

}  // namespace tw
