// Where a window opens: centred on what it belongs to (its owner, or the
// work area of the monitor its owner is on) and moved into that work area.
#pragma once

namespace tw {

struct PlaceRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};
struct PlacePoint {
  int x = 0;
  int y = 0;
  bool operator==(const PlacePoint&) const = default;
};

// The top-left corner of a window `width` x `height` centred on `around`,
// moved inside `work` where it sticks out. A window larger than the work
// area keeps its caption in it: its top-left corner stays inside. Monitors
// left of or above the primary have negative coordinates.
PlacePoint CentreWindow(const PlaceRect& around, int width, int height, const PlaceRect& work);

}  // namespace tw
