#include "program/window_place.h"

#include <algorithm>

namespace tw {

namespace {

int Centre(int from, int to, int length, int workFrom, int workTo) {
  const int at = from + (to - from - length) / 2;
  // Far edge first, near edge last: the near one (the caption) wins.
  return std::max(workFrom, std::min(at, workTo - length));
}

}  // namespace

PlacePoint CentreWindow(const PlaceRect& around, int width, int height, const PlaceRect& work) {
  return {Centre(around.left, around.right, width, work.left, work.right),
          Centre(around.top, around.bottom, height, work.top, work.bottom)};
}

}  // namespace tw
