// The arithmetic of the list header: where a list box's tab stops go so
// that tab-separated columns line up under the header's column edges.
#pragma once

#include <vector>

namespace tw {

// A list box reads its tab stops in dialog units, a quarter of its font's
// average character width each. With the 6-pixel average of the classic GUI
// font a unit is 1.5 pixels.
inline constexpr int kClassicAverageCharWidth = 6;

// A column's right edge in pixels as a tab stop: edge * 4 / average width
// (edge / 1.5 for the classic font), rounded to the nearest integer, halves
// to even.
int TabStopFromRightEdge(int rightEdgePixels, int averageCharWidth = kClassicAverageCharWidth);

// The tab stops for a header whose columns end at `rightEdges` (in column
// order): one per column but the last, which needs none.
std::vector<int> TabStopsForColumns(const std::vector<int>& rightEdges,
                                    int averageCharWidth = kClassicAverageCharWidth);

}  // namespace tw
