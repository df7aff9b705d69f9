#include "program/window_place.h"

#include <gtest/gtest.h>

#include <vector>

namespace tw {
namespace {

TEST(WindowPlace, CentredOnItsOwnerAndKeptOnTheOwnersMonitor) {
  const PlaceRect primary{0, 0, 1280, 984};   // a taskbar below
  const PlaceRect left{-1920, -200, 0, 880};  // a monitor left of and above the primary
  struct Case {
    const char* what;
    PlaceRect around;
    int width, height;
    PlaceRect work;
    PlacePoint expected;
  };
  const std::vector<Case> cases = {
      {"on the work area", primary, 400, 300, primary, {440, 342}},
      {"on a monitor left of the primary", left, 400, 300, left, {-1160, 190}},
      {"over an owner near the left edge", {-1900, -190, -1700, -90}, 400, 300, left, {-1920, -200}},
      {"over an owner near the right edge", {1200, 900, 1280, 984}, 400, 300, primary, {880, 684}},
      {"larger than the work area: its caption stays in", primary, 1400, 1100, primary, {0, 0}},
      {"larger than a negative work area", left, 2000, 1200, left, {-1920, -200}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CentreWindow(c.around, c.width, c.height, c.work), c.expected) << c.what;
  }
}

}  // namespace
}  // namespace tw
