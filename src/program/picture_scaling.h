// Resizing the program's pictures for a display scale: an area filter on
// coverage-weighted colours, and the white-key rule of the button pictures.
#pragma once

#include <cstdint>
#include <vector>

namespace tw {

// Pixels as 0xAARRGGBB, rows top to bottom. In a stored picture the alpha is
// 255 on every pixel, except in a white-keyed one, where it is 0 on the
// transparency colour.
struct PicturePixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

// The light button-face grey that the soft edges of white-keyed pictures are
// blended with (assets/make-assets uses the same).
inline constexpr std::uint32_t kPictureEdgeFace = 0xe6e6e6;

// `stored` resized to width x height by averaging the area each new pixel
// covers, returned opaque (alpha 255). A picture with any alpha below 255 is
// white-keyed and comes back under the rule it was stored with: a pixel less
// than half covered is pure white (0xFFFFFF), the rest is blended with
// kPictureEdgeFace and kept at 254 or below in every channel, so the filter
// cannot make a near-white halo or a stray transparent pixel.
PicturePixels ScalePicture(const PicturePixels& stored, int width, int height);

}  // namespace tw
