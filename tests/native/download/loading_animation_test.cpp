#include "download/loading_animation.h"

#include <gtest/gtest.h>

#include "fakes.h"

namespace tw {
namespace {

std::string Frame(const testing::FakeView& v) {
  std::string s;
  for (const bool d : v.dots) s += d ? 'o' : '.';
  s += v.image ? " I " : " - ";
  for (int t = 0; t < 3; ++t) s += v.timers[t] ? char('1' + t) : '_';
  return s;
}

TEST(LoadingAnimation, OneFullCycleTickByTick) {
  testing::FakeView view;
  LoadingAnimation anim(view);
  anim.Start();
  std::vector<std::string> frames = {Frame(view)};
  const LoadingTimer ticks[] = {LoadingTimer::Timer1, LoadingTimer::Timer2, LoadingTimer::Timer2,
                                LoadingTimer::Timer2, LoadingTimer::Timer2, LoadingTimer::Timer3,
                                LoadingTimer::Timer3};
  for (const auto t : ticks) {
    anim.OnTimer(t);
    frames.push_back(Frame(view));
  }
  const std::vector<std::string> expected = {
      "... - 1__",  // opened
      "... - _2_",  // Timer1: hands over to Timer2
      "o.. - _2_", ".o. - _2_", "..o - _2_",
      "... - __3",  // all dark, AnimStep back to 0
      "... I __3",  // Timer3 shows the image
      "... - 1__",  // and hides it, the cycle starts again
  };
  EXPECT_EQ(frames, expected);
  EXPECT_EQ(anim.AnimStep(), 0);
}

TEST(LoadingAnimation, StopHidesEverythingAndStaleTicksDoNothing) {
  testing::FakeView view;
  LoadingAnimation anim(view);
  anim.Start();
  anim.OnTimer(LoadingTimer::Timer1);
  anim.OnTimer(LoadingTimer::Timer2);
  anim.OnTimer(LoadingTimer::Timer3);  // not running: ignored
  EXPECT_EQ(Frame(view), "o.. - _2_");
  anim.Stop();
  EXPECT_EQ(Frame(view), "... - ___");
  for (const auto t : {LoadingTimer::Timer1, LoadingTimer::Timer2, LoadingTimer::Timer3}) anim.OnTimer(t);
  EXPECT_EQ(Frame(view), "... - ___");
}

}  // namespace
}  // namespace tw
