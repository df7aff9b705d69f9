#include "controls/list_header_model.h"

namespace tw {

int TabStopFromRightEdge(int rightEdgePixels) {
  // edge / 1.5 == 2 * edge / 3, kept in integers so no rounding of a double
  // can move a stop by one unit.
  const long long numerator = 2LL * rightEdgePixels;
  long long quotient = numerator / 3;
  long long remainder = numerator % 3;
  if (remainder < 0) {  // floor division for edges left of the list
    remainder += 3;
    quotient -= 1;
  }
  if (2 * remainder > 3 || (2 * remainder == 3 && quotient % 2 != 0)) quotient += 1;
  return static_cast<int>(quotient);
}

std::vector<int> TabStopsForColumns(const std::vector<int>& rightEdges) {
  std::vector<int> stops;
  if (rightEdges.size() < 2) return stops;
  stops.reserve(rightEdges.size() - 1);
  for (std::size_t i = 0; i + 1 < rightEdges.size(); ++i)
    stops.push_back(TabStopFromRightEdge(rightEdges[i]));
  return stops;
}

}  // namespace tw
