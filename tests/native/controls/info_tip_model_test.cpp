#include "controls/info_tip_model.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace tw {
namespace {

TEST(InfoTipText, TabsBecomeSpacesInTheMessageAndVanishFromTheTitle) {
  EXPECT_EQ(ExpandTipTabs("a\tb", 8), "a        b");
  EXPECT_EQ(ExpandTipTabs("\t\t", 2), "    ");
  EXPECT_EQ(ExpandTipTabs("a\tb", 0), "ab");
  EXPECT_EQ(ExpandTipTabs("a\tb", -3), "ab");
  EXPECT_EQ(ExpandTipTabs("line\r\nnext", 8), "line\r\nnext");
  EXPECT_EQ(RemoveTipTabs("\tID\t - x\t"), "ID - x");
}

TEST(InfoTipSize, BodyAndWindow) {
  // Title counted only when shown, and it never widens the body.
  EXPECT_EQ(InfoTipBodySize({100, 26}, 13, 5, false), (Size{110, 31}));
  EXPECT_EQ(InfoTipBodySize({100, 26}, 13, 5, true), (Size{110, 49}));
  EXPECT_EQ(InfoTipBodySize({0, 0}, 0, 0, true), (Size{0, 0}));
  EXPECT_EQ(InfoTipWindowSize({110, 49}, false), (Size{110, 49}));
  EXPECT_EQ(InfoTipWindowSize({110, 49}, true), (Size{114, 53}));
}

TEST(InfoTipPlacement, BelowThePointerOrInsideTheScreenEdges) {
  const Rect screen{0, 0, 1024, 768};
  const Size body{200, 50};
  struct Case {
    Point pointer;
    Point expected;
  };
  const std::vector<Case> cases = {
      {{100, 100}, {100, 122}},
      // Exactly touching the right edge still fits.
      {{824, 100}, {824, 122}},
      {{825, 100}, {1024 - 200 - 5, 122}},
      // Bottom: y + 22 + 50 may reach 768 but not exceed it.
      {{100, 696}, {100, 718}},
      {{100, 697}, {100, 697 - 5 - 50}},
      // Both edges at once.
      {{1020, 760}, {819, 705}},
  };
  // On a monitor left of the primary the right edge is at 0.
  EXPECT_EQ(PlaceInfoTip({-300, 100}, body, 5, {-1280, 0, 0, 1024}), (Point{-300, 122}));
  EXPECT_EQ(PlaceInfoTip({-100, 100}, body, 5, {-1280, 0, 0, 1024}), (Point{-205, 122}));
  for (const Case& c : cases) {
    const Point at = PlaceInfoTip(c.pointer, body, 5, screen);
    EXPECT_EQ(at, c.expected) << "pointer " << c.pointer.x << "," << c.pointer.y << " got " << at.x << ","
                              << at.y;
  }
}

TEST(InfoTipLayout, TextAreaAndSeparator) {
  // Padding 5: 5 pixels left and right, 2 top and bottom (2.5 rounds to even).
  EXPECT_EQ(InfoTipTextArea({110, 49}, 5), (Rect{5, 2, 105, 47}));
  EXPECT_EQ(InfoTipTextArea({110, 49}, 7), (Rect{7, 4, 103, 45}));  // 3.5 -> 4
  EXPECT_EQ(InfoTipTextArea({110, 49}, 0), (Rect{0, 0, 110, 49}));

  const InfoTipSeparator s = PlaceTipSeparator({5, 2, 105, 47}, 13, 5);
  EXPECT_EQ(s.y, 18);        // 2 + 13 + 2.5 = 17.5 -> 18
  EXPECT_EQ(s.textTop, 20);  // 18 + 2.5 = 20.5 -> 20
  const InfoTipSeparator t = PlaceTipSeparator({5, 2, 105, 47}, 14, 5);
  EXPECT_EQ(t.y, 18);  // 18.5 -> 18
  EXPECT_EQ(t.textTop, 20);
}

TEST(InfoTipFont, SystemOrOwnFont) {
  const TipFont status{"Tahoma", -11, 400, true, false, true, 204};
  InfoTipProperties props;

  TipFont text = ChooseTipFont(props, status, 96, false);
  EXPECT_EQ(text, (TipFont{"Tahoma", -11, 400, true, false, true, 204}));
  // The title is always black-weight, in the same face.
  TipFont title = ChooseTipFont(props, status, 96, true);
  EXPECT_EQ(title.weight, 900);
  EXPECT_EQ(title.face, "Tahoma");
  // A cell-height status font still gives a character height.
  EXPECT_EQ(ChooseTipFont(props, {"Tahoma", 13, 400, false, false, false, 0}, 96, false).height, -13);
  // Other resolutions keep the pixel size.
  EXPECT_EQ(ChooseTipFont(props, status, 120, false).height, -11);
  EXPECT_EQ(ChooseTipFont(props, status, 0, false).height, -11);

  props.UseSystemFont = false;
  props.FontName = "Verdana";
  props.FontSize = 12;
  props.FontUnderline = true;
  text = ChooseTipFont(props, status, 96, false);
  // Not bold means weight 300, not the usual 400; the charset is the status font's.
  EXPECT_EQ(text, (TipFont{"Verdana", -12, 300, false, true, false, 204}));
  props.FontBold = true;
  EXPECT_EQ(ChooseTipFont(props, status, 96, false).weight, 900);
  // The own size is a 100 % size; the status font arrives made for the DPI.
  EXPECT_EQ(ChooseTipFont(props, status, 144, false).height, -18);
}

TEST(InfoTipScale, GapShadowAndBandsAt200Percent) {
  EXPECT_EQ(PlaceInfoTip({100, 100}, {50, 20}, 10, {0, 0, 1280, 1024}, 192), (Point{100, 144}));
  EXPECT_EQ(InfoTipWindowSize({110, 49}, true, 192), (Size{118, 57}));
  const int w = 80;
  const int h = 60;
  const std::vector<std::tuple<int, int, int>> cases = {
      {w - 9, 20, 0},    {w - 8, 16, 60},    {w - 1, 7, 0}, {w - 1, 8, 3},
      {w - 1, h - 1, 3}, {w - 9, h - 1, 15}, {7, h - 1, 0}, {8, h - 8, 12},
  };
  for (const auto& [column, row, amount] : cases) {
    EXPECT_EQ(ShadowAmount(column, row, w, h, 192), amount) << "at " << column << "," << row;
  }
}

// Only a top byte of exactly 0x80 names a system colour, by the low byte;
// the button's rule (top bit set) does not hold here.
TEST(InfoTipColor, TopByte0x80IsTheSystemColourOfTheLowByte) {
  const SystemColorSource system = [](int index) { return static_cast<Color>(0xAA0000 + index); };
  const std::pair<Color, Color> cases[] = {
      {0x80000018u, 0xAA0018u}, {0x80001218u, 0xAA0018u}, {0x81000005u, 0x000005u},
      {0xC0112233u, 0x112233u}, {0x00112233u, 0x112233u},
  };
  for (const auto& [value, expected] : cases) EXPECT_EQ(ResolveTipColor(value, system), expected) << value;
}

TEST(InfoTipShadow, DarkenEachChannel) {
  EXPECT_EQ(DarkenColor(Rgb(255, 255, 255), 60), Rgb(195, 195, 195));
  EXPECT_EQ(DarkenColor(Rgb(200, 100, 1), 15), Rgb(189, 95, 1));  // floor(200*15/255)=11
  EXPECT_EQ(DarkenColor(Rgb(10, 20, 30), 0), Rgb(10, 20, 30));
  EXPECT_EQ(DarkenColor(Rgb(10, 20, 30), 255), Rgb(0, 0, 0));
}

TEST(InfoTipShadow, BandAmounts) {
  const int w = 40;
  const int h = 30;
  // (column, row, amount)
  const std::vector<std::tuple<int, int, int>> cases = {
      {0, 0, 0},          {20, 10, 0},        {35, 25, 0},  // body
      {w - 1, 0, 0},      {w - 1, 3, 0},                    // top of the right band copies
      {w - 1, 4, 3},      {w - 4, 4, 12},     {w - 2, 7, 24},    {w - 1, 8, 15},     {w - 4, 8, 60},
      {w - 3, h - 5, 45}, {w - 4, h - 4, 48}, {w - 1, h - 1, 3},  // fading, corner in the right band
      {0, h - 1, 0},      {3, h - 4, 0},                          // left of the bottom band copies
      {4, h - 1, 3},      {7, h - 4, 48},     {8, h - 1, 15},    {w - 5, h - 4, 60}, {w - 5, h - 5, 0},
      {-1, 0, 0},         {w, 0, 0},
  };
  for (const auto& [column, row, amount] : cases) {
    EXPECT_EQ(ShadowAmount(column, row, w, h), amount) << "at " << column << "," << row;
  }
}

}  // namespace
}  // namespace tw
