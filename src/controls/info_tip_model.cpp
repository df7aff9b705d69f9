#include "controls/info_tip_model.h"

#include <cstdlib>

namespace tw {

std::string ExpandTipTabs(std::string_view message, int tabSize) {
  const std::string spaces(tabSize > 0 ? static_cast<std::size_t>(tabSize) : 0, ' ');
  std::string out;
  out.reserve(message.size());
  for (const char c : message) {
    if (c == '\t') {
      out += spaces;
    } else {
      out += c;
    }
  }
  return out;
}

std::string RemoveTipTabs(std::string_view title) {
  std::string out;
  out.reserve(title.size());
  for (const char c : title) {
    if (c != '\t') out += c;
  }
  return out;
}

Size InfoTipBodySize(Size text, int titleHeight, int padding, bool showTitle) {
  return {text.width + 2 * padding, text.height + padding + (showTitle ? padding + titleHeight : 0)};
}

Size InfoTipWindowSize(Size body, bool dropShadow, int dpi) {
  if (!dropShadow) return body;
  const int band = ScaleToDpi(kInfoTipShadow, dpi);
  return {body.width + band, body.height + band};
}

Point PlaceInfoTip(Point pointer, Size body, int padding, const Rect& work, int dpi) {
  Point at{pointer.x, pointer.y + ScaleToDpi(kInfoTipPointerGap, dpi)};
  if (at.x + body.width > work.right) at.x = work.right - body.width - padding;
  if (at.y + body.height > work.bottom) at.y = pointer.y - padding - body.height;
  return at;
}

Rect InfoTipTextArea(Size body, int padding) {
  const int half = RoundHalfEven(padding / 2.0);
  return {padding, half, body.width - padding, body.height - half};
}

InfoTipSeparator PlaceTipSeparator(const Rect& area, int titleHeight, int padding) {
  InfoTipSeparator s;
  s.y = RoundHalfEven(area.top + titleHeight + padding / 2.0);
  s.textTop = RoundHalfEven(s.y + padding / 2.0);
  return s;
}

TipFont ChooseTipFont(const InfoTipProperties& props, const TipFont& statusFont, int dpiY, bool title) {
  if (dpiY <= 0) dpiY = 96;
  TipFont font;
  font.charSet = statusFont.charSet;
  // A positive LOGFONT height is a cell height; either way its magnitude is
  // the size the status bar uses.
  // The status font comes made for the DPI; FontSize is a 100 % size.
  const int pixels = props.UseSystemFont ? std::abs(statusFont.height) : ScaleToDpi(props.FontSize, dpiY);
  // The size goes through points at the screen's resolution and back.
  const double points = pixels * 72.0 / dpiY;
  font.height = -RoundHalfEven(points * dpiY / 72.0);
  if (props.UseSystemFont) {
    font.face = statusFont.face;
    font.italic = statusFont.italic;
    font.underline = statusFont.underline;
    font.strikeOut = statusFont.strikeOut;
    font.weight = statusFont.weight;
  } else {
    font.face = props.FontName;
    font.italic = props.FontItalic;
    font.underline = props.FontUnderline;
    font.strikeOut = props.FontStrikethrough;
    font.weight = props.FontBold ? 900 : 300;
  }
  if (title) font.weight = 900;
  return font;
}

Color ResolveTipColor(Color color, const SystemColorSource& system) {
  if ((color >> 24) == 0x80) return system(static_cast<int>(color & 0xFF));
  return color & 0x00FFFFFFu;
}

Color DarkenColor(Color color, int amount) {
  auto channel = [&](int shift) {
    const int c = static_cast<int>((color >> shift) & 0xFF);
    return static_cast<Color>(c - c * amount / 255) << shift;
  };
  return channel(0) | channel(8) | channel(16);
}

int ShadowAmount(int column, int row, int width, int height, int dpi) {
  if (column < 0 || row < 0 || column >= width || row >= height) return 0;
  if (dpi <= 0) dpi = kDefaultDpi;
  const int band = ScaleToDpi(kInfoTipShadow, dpi);
  // Distances from the window's edges in 100 % pixels, so the bands keep
  // their shape at every scale: from the top or left rounded down, from
  // the right or bottom (counted from 1) rounded up.
  auto near = [dpi](int pixels) { return pixels * kDefaultDpi / dpi; };
  auto far = [dpi](int pixels) { return (pixels * kDefaultDpi + dpi - 1) / dpi; };
  // The right band, bottom-right corner included.
  if (width - column <= band) {
    const int i = far(width - column);
    const int r = near(row);
    const int b = far(height - row);
    int amount = 0;
    if (r >= 4 && r <= 7) amount = 3 * i * (r - 3);
    if (r >= 8 && b >= 5) amount = 15 * i;
    if (b <= 4) amount = 3 * i * b;
    return amount;
  }
  if (height - row <= band) {
    const int d = far(height - row);
    const int c = near(column);
    int amount = 0;
    if (c >= 4 && c <= 7) amount = 3 * (c - 3) * d;
    if (c >= 8 && far(width - column) >= 5) amount = 15 * d;
    return amount;
  }
  return 0;
}

}  // namespace tw
