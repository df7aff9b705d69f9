#include "program/picture_scaling.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

constexpr std::uint32_t kKey = 0x00ffffff;  // transparent white, as stored
constexpr std::uint32_t kWhite = 0xffffffff;

PicturePixels Row(std::vector<std::uint32_t> pixels) {
  return {static_cast<int>(pixels.size()), 1, std::move(pixels)};
}

TEST(PictureScaling, TheSameSizeKeepsEveryPixel) {
  const PicturePixels opaque{2, 2, {0xff102030, 0xffffffff, 0xff000000, 0xfffefefe}};
  EXPECT_EQ(ScalePicture(opaque, 2, 2).pixels, opaque.pixels);
  const PicturePixels keyed{2, 2, {0xff102030, kKey, 0xfffefefe, 0xffe6e6e6}};
  EXPECT_EQ(ScalePicture(keyed, 2, 2).pixels,
            (std::vector<std::uint32_t>{0xff102030, kWhite, 0xfffefefe, 0xffe6e6e6}));
}

TEST(PictureScaling, AveragesTheAreaEachNewPixelCovers) {
  // Halving: each new pixel is the mean of two; growing by half: the middle
  // pixel of three is shared equally by both old ones.
  EXPECT_EQ(ScalePicture(Row({0xff000000, 0xffc86432, 0xff000000, 0xff000000}), 2, 1).pixels,
            (std::vector<std::uint32_t>{0xff643219, 0xff000000}));
  EXPECT_EQ(ScalePicture(Row({0xff000000, 0xffc8c8c8}), 3, 1).pixels,
            (std::vector<std::uint32_t>{0xff000000, 0xff646464, 0xffc8c8c8}));
  const auto tall = ScalePicture({1, 1, {0xff123456}}, 3, 4);
  EXPECT_EQ(tall.pixels, std::vector<std::uint32_t>(12, 0xff123456));
}

// A new pixel of a keyed picture by how much of it the drawing covers.
TEST(PictureScaling, KeyedEdgesFollowTheStoredRule) {
  struct Case {
    std::vector<std::uint32_t> four;
    std::uint32_t want;
  };
  const Case cases[] = {
      {{0xff102030, kKey, kKey, kKey}, kWhite},                  // a quarter: key
      {{0xff102030, 0xff102030, kKey, kKey}, 0xff7b838b},        // half: blended with the face
      {{0xff102030, 0xff102030, 0xff102030, kKey}, 0xff46525e},  // three quarters
      {{0xfffefefe, 0xfffefefe, 0xfffefefe, kKey}, 0xfff8f8f8},  // light drawing stays below the key
      {{0xff102030, 0xff102030, 0xff102030, 0xff102030}, 0xff102030},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScalePicture(Row(c.four), 1, 1).pixels[0], c.want) << std::hex << c.want;
  }
  // Drawn white in a keyed picture would turn transparent: it stays 254.
  EXPECT_EQ(ScalePicture(Row({0xffffffff, kKey}), 2, 1).pixels,
            (std::vector<std::uint32_t>{0xfffefefe, kWhite}));
}

}  // namespace
}  // namespace tw
