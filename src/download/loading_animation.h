// The busy sign of the download window: three running dots and a blinking
// image, driven by Timer1 (750 ms), Timer2 (75 ms) and Timer3 (200 ms).
//   Timer1 tick: stop Timer1, start Timer2.
//   Timer2 tick: hide the dots; after the third dot (AnimStep > 2) reset
//                AnimStep, stop Timer2, start Timer3; else light dot AnimStep.
//   Timer3 tick: show the image when hidden; when shown hide it, stop Timer3,
//                start Timer1.
#pragma once

namespace tw {

enum class LoadingTimer { Timer1 = 1, Timer2 = 2, Timer3 = 3 };

inline constexpr unsigned kTimer1Ms = 750;
inline constexpr unsigned kTimer2Ms = 75;
inline constexpr unsigned kTimer3Ms = 200;
inline constexpr int kDotCount = 3;

class AnimationView {
 public:
  virtual ~AnimationView() = default;
  virtual void StartTimer(LoadingTimer timer, unsigned milliseconds) = 0;
  virtual void StopTimer(LoadingTimer timer) = 0;
  virtual void SetDotVisible(int index, bool visible) = 0;  // S1(0..2)
  virtual void SetImageVisible(bool visible) = 0;           // I1
};

class LoadingAnimation {
 public:
  explicit LoadingAnimation(AnimationView& view) : view_(view) {}

  void Start();  // Timer1 on, as when the window opens
  void Stop();   // StopAnimation: all timers off, dots and image hidden
  // A tick of a timer that is not running (one already queued when it was
  // stopped) changes nothing.
  void OnTimer(LoadingTimer timer);

  int AnimStep() const { return animStep_; }
  bool Running(LoadingTimer timer) const { return running_[Index(timer)]; }
  bool ImageVisible() const { return imageVisible_; }

 private:
  static int Index(LoadingTimer timer) { return static_cast<int>(timer) - 1; }
  void Enable(LoadingTimer timer, bool on);
  void HideDots();

  AnimationView& view_;
  bool running_[3] = {false, false, false};
  bool imageVisible_ = false;
  int animStep_ = 0;
};

}  // namespace tw
