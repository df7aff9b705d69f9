// The rules of Check, the program's own picture check box: which of the
// twelve state pictures it shows and how presses, releases, double clicks,
// the hover timer and the program's own Value / Enabled changes move it.
#pragma once

namespace tw {

// The stored pictures, in the order of the resource ids (state × value).
enum class CheckPicture {
  IdleNoValue,
  IdleChecked,
  IdleGreyed,
  MouseoverNoValue,
  MouseoverChecked,
  MouseoverGreyed,
  PushedNoValue,
  PushedChecked,
  PushedGreyed,
  DisabledNoValue,
  DisabledChecked,
  DisabledGrey,
};
inline constexpr int kCheckPictureCount = 12;

enum class CheckState { Idle, Mouseover, Pushed, Disabled };
// The greyed pictures are stored with the control but never chosen here.
CheckPicture CheckPictureFor(CheckState state, bool value);

// The control is exactly as large as its picture.
inline constexpr int kCheckPictureSide = 13;

// Mouse buttons as the control's events number them.
inline constexpr int kCheckLeftButton = 1;
inline constexpr int kCheckRightButton = 2;
inline constexpr int kCheckMiddleButton = 4;

inline constexpr unsigned kCheckHoverIntervalMs = 50;

// What the model needs from the window that shows it.
class CheckBoxHost {
 public:
  virtual ~CheckBoxHost() = default;
  virtual void ShowPicture(CheckPicture picture) = 0;
  virtual void SetHoverTimer(bool enabled) = 0;
  // GetCursorPos + WindowFromPoint: is the picture the window under the pointer?
  virtual bool PointerOverPicture() = 0;
  virtual void RaiseClick() = 0;
  virtual void RaiseDblClick() = 0;
  virtual void RaiseMouseDown(int& button, int& shift, float& x, float& y) = 0;
};

class CheckBoxModel {
 public:
  explicit CheckBoxModel(CheckBoxHost& host) : host_(host) {}

  bool Value() const { return value_; }
  // Shows the idle (or disabled) picture of the new value, then behaves like
  // a release of button 0: with input enabled the window gets Click.
  void SetValue(bool value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool InputEnabled() const { return inputEnabled_; }
  bool Down() const { return down_; }
  CheckPicture Shown() const { return shown_; }

  void PointerMove();
  void ButtonDown(int button, int shift, float x, float y);
  void ButtonUp(int button);
  void DoubleClick();
  void TimerTick();
  // Space toggles the focused box as a left click does, with the same
  // events: the press on the key going down, Click on its release.
  void SpaceDown();
  void SpaceUp();

 private:
  void Show(CheckPicture picture);
  void SetHoverTimer(bool enabled);

  CheckBoxHost& host_;
  bool value_ = false;
  bool enabled_ = true;
  bool inputEnabled_ = true;
  bool down_ = false;
  bool spaceDown_ = false;
  bool hoverTimer_ = false;
  CheckPicture shown_ = CheckPicture::IdleNoValue;
};

}  // namespace tw
