// The arithmetic of CInfoTip, the program's own balloon tip: the texts it
// draws, its size, where it goes near the screen edges, its text area and
// separator, the fonts it picks and how its drop shadow darkens the screen.
#pragma once

#include <string>
#include <string_view>

#include "controls/xp_button_model.h"

namespace tw {

inline constexpr int kColorInfoText = 23;
inline constexpr int kColorInfoBk = 24;

enum class InfoTipAlignment { Left = 0, Centre = 1, Right = 2 };

struct InfoTipProperties {
  std::string Text;   // cp1251; used when Show gets an empty message
  std::string Title;  // cp1251; used when Show gets an empty title
  bool ShowTitle = false;
  int TitleAlignment = 0;  // 0 left, 1 centre, 2 right
  int TextAlignment = 0;
  Color TitleColor = SystemColor(kColorInfoText);
  Color ForeColor = SystemColor(kColorInfoText);
  Color BackColor = SystemColor(kColorInfoBk);
  int BorderStyle = 0;  // 0 raised 3-D edge, 1 line in BorderColor, other: none
  Color BorderColor = SystemColor(kColor3dDkShadow);
  int Padding = 5;
  int TabSize = 8;
  bool DropShadow = true;
  bool UseSystemFont = true;
  std::string FontName = "Arial";
  int FontSize = 8;  // pixels
  bool FontBold = false;
  bool FontItalic = false;
  bool FontUnderline = false;
  bool FontStrikethrough = false;
  // Kept for callers that set them; the tip never hides by itself.
  bool UseTimeOut = true;
  int TimeOut = 2500;
};

inline constexpr const char* kInfoTipVersion = "1.0.1";
inline constexpr int kInfoTipPointerGap = 22;
inline constexpr int kInfoTipShadow = 4;

// Every tab becomes `tabSize` spaces (none when tabSize <= 0).
std::string ExpandTipTabs(std::string_view message, int tabSize);
// Titles lose their tabs.
std::string RemoveTipTabs(std::string_view title);

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};
struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

// `text` is the measured message, `titleHeight` the title's height measured
// with the text font. The title never widens the body.
Size InfoTipBodySize(Size text, int titleHeight, int padding, bool showTitle);
// The sizes below are 100 % values scaled for the tip's `dpi`; `padding` is
// given already scaled (the tip's Padding property is a 100 % value).
// The whole window: the body, plus the shadow bands right and below.
Size InfoTipWindowSize(Size body, bool dropShadow, int dpi = kDefaultDpi);
// Below-right of the pointer (22 pixels at 100 %); moved left / above the
// pointer at the right and bottom edges of `work`, the work area of the
// monitor the tip's owner is on.
Point PlaceInfoTip(Point pointer, Size body, int padding, const Rect& work, int dpi = kDefaultDpi);

// The body shrunk by padding left and right and padding/2 top and bottom.
Rect InfoTipTextArea(Size body, int padding);
struct InfoTipSeparator {
  int y = 0;        // the line, from area.left to area.right
  int textTop = 0;  // where the message starts below it
};
InfoTipSeparator PlaceTipSeparator(const Rect& area, int titleHeight, int padding);

// The font description a tip builds from the status-bar font.
struct TipFont {
  std::string face;
  int height = 0;  // negative: character height in pixels, as in LOGFONT
  int weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  int charSet = 0;
  bool operator==(const TipFont&) const = default;
};
TipFont ChooseTipFont(const InfoTipProperties& props, const TipFont& statusFont, int dpiY, bool title);

// A value whose top byte is 0x80 is the system colour of its low byte; any
// other is a direct 0x00BBGGRR colour.
Color ResolveTipColor(Color color, const SystemColorSource& system);

// Each of red, green, blue becomes c - floor(c * amount / 255).
Color DarkenColor(Color color, int amount);
// Darkening of the pixel at (column, row) of a window `width` × `height`
// with a drop shadow; 0 outside the bands and where the band copies the
// screen unchanged.
int ShadowAmount(int column, int row, int width, int height, int dpi = kDefaultDpi);

}  // namespace tw
