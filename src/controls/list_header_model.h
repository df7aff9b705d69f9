// The arithmetic of the list header: where a list box's tab stops go so
// that tab-separated columns line up under the header's column edges.
#pragma once

#include <vector>

namespace tw {

// A column's right edge in pixels as a list box tab stop in dialog units:
// the edge divided by 1.5, rounded to the nearest integer, halves to even.
int TabStopFromRightEdge(int rightEdgePixels);

// The tab stops for a header whose columns end at `rightEdges` (in column
// order): one per column but the last, which needs none.
std::vector<int> TabStopsForColumns(const std::vector<int>& rightEdges);

}  // namespace tw
