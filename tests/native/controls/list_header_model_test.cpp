#include "controls/list_header_model.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(ListHeaderTabStops, RightEdgeOverOneAndAHalfRoundedToNearest) {
  struct Case {
    int edge;
    int stop;
  } const cases[] = {
      {0, 0},
      {1, 1},  // 0.67 rounds up
      {2, 1},  // 1.33 rounds down
      {3, 2},
      {127, 85},   // the report's first column
      {128, 85},   // 85.33
      {254, 169},  // 169.33: both columns of the report
      {300, 200},
      {-2, -1},  // -1.33: a column scrolled left of the list
      {-1, -1},  // -0.67
      {1000000, 666667},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TabStopFromRightEdge(c.edge), c.stop) << "right edge " << c.edge;
  }
}

TEST(ListHeaderTabStops, FollowTheListFontsAverageWidth) {
  // A unit is a quarter of the average character width.
  EXPECT_EQ(TabStopFromRightEdge(127, 7), 73);  // 72.57
  EXPECT_EQ(TabStopFromRightEdge(127, 8), 64);  // 63.5: halves go to even
  EXPECT_EQ(TabStopFromRightEdge(125, 8), 62);  // 62.5
  EXPECT_EQ(TabStopFromRightEdge(254, 6), TabStopFromRightEdge(254));
  EXPECT_EQ(TabStopFromRightEdge(127, 0), 85) << "no measured width: the classic font";
  EXPECT_EQ(TabStopsForColumns({127, 254}, 7), (std::vector<int>{73}));
}

TEST(ListHeaderTabStops, EveryColumnButTheLast) {
  EXPECT_TRUE(TabStopsForColumns({}).empty());
  EXPECT_TRUE(TabStopsForColumns({127}).empty()) << "one column sets no stops";
  EXPECT_EQ(TabStopsForColumns({127, 254}), (std::vector<int>{85}));
  EXPECT_EQ(TabStopsForColumns({50, 100, 200, 260}), (std::vector<int>{33, 67, 133}));
}

}  // namespace
}  // namespace tw
