#include "controls/list_header_model.h"

namespace tw {

int TabStopFromRightEdge(int rightEdgePixels, int averageCharWidth) {
  // Kept in integers so no rounding of a double can move a stop by one unit.
  const long long divisor = averageCharWidth > 0 ? averageCharWidth : kClassicAverageCharWidth;
  const long long numerator = 4LL * rightEdgePixels;
  long long quotient = numerator / divisor;
  long long remainder = numerator % divisor;
  if (remainder < 0) {  // floor division for edges left of the list
    remainder += divisor;
    quotient -= 1;
  }
  if (2 * remainder > divisor || (2 * remainder == divisor && quotient % 2 != 0)) quotient += 1;
  return static_cast<int>(quotient);
}

std::vector<int> TabStopsForColumns(const std::vector<int>& rightEdges, int averageCharWidth) {
  std::vector<int> stops;
  if (rightEdges.size() < 2) return stops;
  stops.reserve(rightEdges.size() - 1);
  for (std::size_t i = 0; i + 1 < rightEdges.size(); ++i) {
    stops.push_back(TabStopFromRightEdge(rightEdges[i], averageCharWidth));
  }
  return stops;
}

}  // namespace tw
