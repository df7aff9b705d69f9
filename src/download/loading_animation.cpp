#include "download/loading_animation.h"

namespace tw {

void LoadingAnimation::Enable(LoadingTimer timer, bool on) {
  running_[Index(timer)] = on;
  if (!on) {
    view_.StopTimer(timer);
    return;
  }
  const unsigned ms = timer == LoadingTimer::Timer1   ? kTimer1Ms
                      : timer == LoadingTimer::Timer2 ? kTimer2Ms
                                                      : kTimer3Ms;
  view_.StartTimer(timer, ms);
}

void LoadingAnimation::HideDots() {
  for (int i = 0; i < kDotCount; ++i) view_.SetDotVisible(i, false);
}

void LoadingAnimation::Start() { Enable(LoadingTimer::Timer1, true); }

void LoadingAnimation::Stop() {
  Enable(LoadingTimer::Timer1, false);
  Enable(LoadingTimer::Timer2, false);
  Enable(LoadingTimer::Timer3, false);
  HideDots();
  imageVisible_ = false;
  view_.SetImageVisible(false);
}

void LoadingAnimation::OnTimer(LoadingTimer timer) {
  if (!Running(timer)) return;
  switch (timer) {
    case LoadingTimer::Timer1:
      Enable(LoadingTimer::Timer1, false);
      Enable(LoadingTimer::Timer2, true);
      break;
    case LoadingTimer::Timer2:
      HideDots();
      if (animStep_ > 2) {
        animStep_ = 0;
        Enable(LoadingTimer::Timer2, false);
        Enable(LoadingTimer::Timer3, true);
      } else {
        ++animStep_;
        view_.SetDotVisible(animStep_ - 1, true);
      }
      break;
    case LoadingTimer::Timer3:
      if (!imageVisible_) {
        imageVisible_ = true;
        view_.SetImageVisible(true);
      } else {
        imageVisible_ = false;
        view_.SetImageVisible(false);
        Enable(LoadingTimer::Timer3, false);
        Enable(LoadingTimer::Timer1, true);
      }
      break;
  }
}

}  // namespace tw
