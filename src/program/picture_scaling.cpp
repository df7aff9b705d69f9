#include "program/picture_scaling.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace tw {

namespace {

using Channels = std::array<float, 4>;  // premultiplied blue, green, red; alpha (0..255)

// One new pixel along an axis: the old pixels it covers, and their shares.
struct Footprint {
  int first = 0;
  std::vector<float> weights;
};

// The area each of `to` new pixels covers on `from` old ones, as shares that
// add up to 1. Growing, a new pixel lies within one or two old ones.
std::vector<Footprint> Footprints(int from, int to) {
  std::vector<Footprint> result(static_cast<std::size_t>(to));
  const double step = static_cast<double>(from) / to;
  for (int i = 0; i < to; ++i) {
    const double begin = i * step;
    const double end = (i + 1) * step;
    Footprint& f = result[static_cast<std::size_t>(i)];
    f.first = static_cast<int>(begin);
    for (int j = f.first; j < from && j < end; ++j) {
      const double covered = std::min<double>(end, j + 1) - std::max<double>(begin, j);
      f.weights.push_back(static_cast<float>(covered / step));
    }
  }
  return result;
}

Channels Premultiplied(std::uint32_t argb) {
  const float alpha = static_cast<float>(argb >> 24);
  const float share = alpha / 255.0f;
  return {static_cast<float>(argb & 0xff) * share, static_cast<float>((argb >> 8) & 0xff) * share,
          static_cast<float>((argb >> 16) & 0xff) * share, alpha};
}

std::uint32_t Channel(float value, float highest) {
  return static_cast<std::uint32_t>(std::lround(std::clamp(value, 0.0f, highest)));
}

// A filtered pixel as the picture's kind shows it.
std::uint32_t Flattened(const Channels& c, bool whiteKeyed) {
  if (!whiteKeyed)
    return 0xff000000 | Channel(c[2], 255) << 16 | Channel(c[1], 255) << 8 | Channel(c[0], 255);
  const float alpha = c[3] / 255.0f;
  if (alpha < 0.5f) return 0xffffffff;
  const float uncovered = 1.0f - alpha;
  const auto blended = [&](int channel) {
    const float face = static_cast<float>((kPictureEdgeFace >> (8 * channel)) & 0xff);
    return Channel(c[static_cast<std::size_t>(channel)] + uncovered * face, 254);
  };
  return 0xff000000 | blended(2) << 16 | blended(1) << 8 | blended(0);
}

}  // namespace

PicturePixels ScalePicture(const PicturePixels& stored, int width, int height) {
  PicturePixels result{width, height, {}};
  if (width <= 0 || height <= 0 || stored.width <= 0 || stored.height <= 0) return result;
  const bool whiteKeyed = std::any_of(stored.pixels.begin(), stored.pixels.end(),
                                      [](std::uint32_t p) { return (p >> 24) != 0xff; });

  // Across first, then down: each pass is a weighted sum of covered pixels.
  const auto across = Footprints(stored.width, width);
  std::vector<Channels> rows(static_cast<std::size_t>(width) * static_cast<std::size_t>(stored.height));
  for (int y = 0; y < stored.height; ++y) {
    const std::uint32_t* source =
        &stored.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(stored.width)];
    for (int x = 0; x < width; ++x) {
      const Footprint& f = across[static_cast<std::size_t>(x)];
      Channels sum{};
      for (std::size_t k = 0; k < f.weights.size(); ++k) {
        const Channels c = Premultiplied(source[static_cast<std::size_t>(f.first) + k]);
        for (std::size_t ch = 0; ch < 4; ++ch) sum[ch] += c[ch] * f.weights[k];
      }
      rows[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] = sum;
    }
  }
  const auto down = Footprints(stored.height, height);
  result.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    const Footprint& f = down[static_cast<std::size_t>(y)];
    for (int x = 0; x < width; ++x) {
      Channels sum{};
      for (std::size_t k = 0; k < f.weights.size(); ++k) {
        const Channels& c = rows[(static_cast<std::size_t>(f.first) + k) * static_cast<std::size_t>(width) +
                                 static_cast<std::size_t>(x)];
        for (std::size_t ch = 0; ch < 4; ++ch) sum[ch] += c[ch] * f.weights[k];
      }
      result.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                    static_cast<std::size_t>(x)] = Flattened(sum, whiteKeyed);
    }
  }
  return result;
}

}  // namespace tw
