#include "controls/xp_button_model.h"

#include <algorithm>
#include <cmath>

namespace tw {

namespace {

int Channel(Color color, int shift) { return static_cast<int>((color >> shift) & 0xFF); }

int Half(int value) { return RoundHalfEven(value / 2.0); }

DrawOp Line(int x1, int y1, int x2, int y2, Color color) {
  return {DrawOp::Kind::Line, {x1, y1, x2, y2}, color};
}
DrawOp Frame(Rect r, Color color) { return {DrawOp::Kind::Frame, r, color}; }
DrawOp Fill(Rect r, Color color) { return {DrawOp::Kind::Fill, r, color}; }
DrawOp Pixel(int x, int y, Color color) { return {DrawOp::Kind::Pixel, {x, y, x + 1, y + 1}, color}; }

void RoundCorners(DrawList& ops, int w, int h, Color face) {
  for (const auto& [x, y] :
       {std::pair{0, 0}, std::pair{0, h - 2}, std::pair{w - 2, 0}, std::pair{w - 2, h - 2}}) {
    ops.push_back(Fill({x, y, x + 2, y + 2}, face));
  }
}

}  // namespace

Color ShiftColor(Color color, int d) {
  auto clamp = [d](int v) { return std::clamp(v + d, 0, 255); };
  return Rgb(clamp(Channel(color, 0)), clamp(Channel(color, 8)), clamp(Channel(color, 16)));
}

int RoundHalfEven(double value) {
  const double lower = std::floor(value);
  const double fraction = value - lower;
  if (fraction > 0.5) return static_cast<int>(lower) + 1;
  if (fraction < 0.5) return static_cast<int>(lower);
  const int even = static_cast<int>(lower);
  return even % 2 == 0 ? even : even + 1;
}

char LowerCp1251(char c) {
  const auto u = static_cast<unsigned char>(c);
  unsigned char lower = u;
  if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDF)) {
    lower = static_cast<unsigned char>(u + 0x20);
  } else {
    switch (u) {
      case 0x80:
        lower = 0x90;
        break;  // Ђ
      case 0x81:
        lower = 0x83;
        break;  // Ѓ
      case 0x8A:
        lower = 0x9A;
        break;  // Љ
      case 0x8C:
        lower = 0x9C;
        break;  // Њ
      case 0x8D:
        lower = 0x9D;
        break;  // Ќ
      case 0x8E:
        lower = 0x9E;
        break;  // Ћ
      case 0x8F:
        lower = 0x9F;
        break;  // Џ
      case 0xA1:
        lower = 0xA2;
        break;  // Ў
      case 0xA3:
        lower = 0xBC;
        break;  // Ј
      case 0xA5:
        lower = 0xB4;
        break;  // Ґ
      case 0xA8:
        lower = 0xB8;
        break;  // Ё
      case 0xAA:
        lower = 0xBA;
        break;  // Є
      case 0xAF:
        lower = 0xBF;
        break;  // Ї
      case 0xB2:
        lower = 0xB3;
        break;  // І
      case 0xBD:
        lower = 0xBE;
        break;  // Ѕ
      default:
        break;
    }
  }
  return static_cast<char>(lower);
}

std::optional<char> AccessKey(std::string_view caption) {
  if (caption.size() <= 1) return std::nullopt;
  std::size_t p = caption.find('&');
  if (p == std::string_view::npos || p + 1 >= caption.size()) return std::nullopt;
  if (caption[p + 1] != '&') return LowerCp1251(caption[p + 1]);
  // An escaped "&&": look once more, after it.
  p = caption.find('&', p + 2);
  if (p == std::string_view::npos || p + 1 >= caption.size() || caption[p + 1] == '&') return std::nullopt;
  return LowerCp1251(caption[p + 1]);
}

int EnlargedSide(int side, int dpi) {
  const int minimum = TwipsToPixels(kMinimumSideTwips, dpi);
  return side < minimum ? minimum : side;
}

XpButtonLayout LayoutXpButton(int width, int height, int picturePosition, bool hasCaption, int textWidth,
                              int textHeight, bool hasPicture, int pictureWidth, int pictureHeight, int dpi) {
  const Rect inner = InnerRect(width, height, dpi);
  const int d = inner.left;                   // the inset
  const int gap = ScaleToDpi(kXpInset, dpi);  // between picture and caption
  const int iW = inner.Width();
  const int iH = inner.Height();
  const int pW = pictureWidth;
  const int pH = pictureHeight;
  auto at = [](int left, int top, int w, int h) { return Rect{left, top, left + w, top + h}; };
  XpButtonLayout layout;
  const Rect centredPicture = at(d + Half(iW - pW), d + Half(iH - pH), pW, pH);
  if (!hasCaption) {
    layout.picture = centredPicture;
    return layout;
  }
  const int tW = textWidth;
  const int tH = textHeight;
  layout.caption = at(d + Half(iW - tW), d + Half(iH - tH), tW, tH);
  if (!hasPicture) return layout;
  const int blockLeft = d + Half(iW - (pW + tW + gap));
  const int blockTop = d + Half(iH - (pH + tH + gap));
  switch (static_cast<PicturePosition>(picturePosition)) {
    case PicturePosition::Left:
      layout.picture = at(blockLeft, d + Half(iH - pH), pW, pH);
      layout.caption = at(layout.picture.right + gap, d + Half(iH - tH), tW, tH);
      break;
    case PicturePosition::Right:
      layout.caption = at(blockLeft, d + Half(iH - tH), tW, tH);
      layout.picture = at(layout.caption.right + gap, d + Half(iH - pH), pW, pH);
      break;
    case PicturePosition::Below:
      layout.caption = at(d + Half(iW - tW), blockTop, tW, tH);
      layout.picture = at(d + Half(iW - pW), layout.caption.bottom + gap, pW, pH);
      break;
    case PicturePosition::Above:
      layout.picture = at(d + Half(iW - pW), blockTop, pW, pH);
      layout.caption = at(d + Half(iW - tW), layout.picture.bottom + gap, tW, tH);
      break;
    default:  // an unknown position keeps both centred
      layout.picture = centredPicture;
      break;
  }
  return layout;
}

DrawList DrawClassicFrame(int style, const XpButtonFlags& flags, int width, int height,
                          const SystemColorSource& system) {
  const Color light = system(kColor3dHighlight);
  if (flags.pressed) {  // sunken: black left and top, light right and bottom
    return {Frame({0, 0, width, height}, light), Frame({0, 0, width + 1, height + 1}, kBlack)};
  }
  if (flags.hovered || style == 0) {  // raised
    return {Frame({0, 0, width, height}, kBlack), Frame({0, 0, width + 1, height + 1}, light)};
  }
  return {};
}

DrawList DrawXpFace(XpButtonProperties& props, const XpButtonFlags& flags, int width, int height,
                    const SystemColorSource& system) {
  DrawList ops;
  const int w = width;
  const int h = height;
  const Color face = system(kColorBtnFace);
  const Color light = ShiftColor(face, 48);
  const Color dark = system(kColor3dDkShadow);
  if (!props.Enabled) {
    ops.push_back(Fill({0, 0, w, h}, ShiftColor(light, -24)));
    ops.push_back(Frame({0, 0, w, h}, ShiftColor(light, -84)));
    RoundCorners(ops, w, h, face);
    const Color corner = ShiftColor(light, -72);
    for (const auto& [x, y] :
         {std::pair{1, 1}, std::pair{1, h - 2}, std::pair{w - 2, 1}, std::pair{w - 2, h - 2}}) {
      ops.push_back(Pixel(x, y, corner));
    }
    return ops;
  }
  if (props.XPDefaultColors) {
    props.XPColor_Pressed = kXpDefaultPressed;
    props.XPColor_Hover = kXpDefaultHover;
  }
  if (h == 0) return ops;
  if (flags.pressed) {
    const Color base = ShiftColor(light, -32);
    for (int i = 1; i <= h; ++i) {
      ops.push_back(Line(0, h - i, w, h - i, ShiftColor(base, RoundHalfEven(-25.0 * i / h))));
    }
    ops.push_back(Frame({0, 0, w, h}, dark));
  } else {
    for (int i = 1; i <= h; ++i) {
      ops.push_back(Line(0, i, w, i, ShiftColor(kWhite, RoundHalfEven(-50.0 * i / h))));
    }
    ops.push_back(Frame({0, 0, w, h}, dark));
    if (flags.focused || flags.hovered) {
      const Color c = ResolveColor(flags.hovered ? props.XPColor_Hover : props.XPColor_Pressed, system);
      ops.push_back(Frame({1, 2, w - 1, h - 2}, c));
      ops.push_back(Line(2, h - 2, w - 2, h - 2, ShiftColor(c, -40)));
      ops.push_back(Line(2, 1, w - 2, 1, ShiftColor(c, 90)));
      ops.push_back(Line(1, 2, w - 1, 2, ShiftColor(c, 35)));
      ops.push_back(Line(2, 3, 2, h - 3, ShiftColor(c, 20)));
      ops.push_back(Line(w - 3, 3, w - 3, h - 3, ShiftColor(c, 20)));
      ops.push_back(Pixel(3, h - 4, c));
      ops.push_back(Pixel(w - 4, h - 4, c));
      ops.push_back(Pixel(w - 4, 3, ShiftColor(c, 35)));
      ops.push_back(Pixel(3, 3, ShiftColor(c, 35)));
    }
  }
  // The inner corner pixels keep the face colour of the rounded corners.
  RoundCorners(ops, w, h, face);
  return ops;
}

void XpButtonStateMachine::SetTimer(bool enabled) {
  timerEnabled_ = enabled;
  host_.SetTrackingTimer(enabled);
}

void XpButtonStateMachine::OnMouseMove() {
  if (!timerEnabled_) SetTimer(true);
}

void XpButtonStateMachine::OnTimerTick() {
  const bool over = host_.PointerOverControl();
  if (over && !flags_.hovered) {
    host_.ReleaseMouse();
    flags_.hovered = true;
    host_.RaiseMouseIn();
    host_.Refresh();
    host_.CaptureMouse();
  } else if (!over && flags_.hovered) {
    flags_.hovered = false;
    flags_.pressed = false;
    SetTimer(false);
    host_.RaiseMouseOut();
    host_.Refresh();
    host_.ReleaseMouse();
  }
}

void XpButtonStateMachine::OnButtonDown(int button, int shift, float x, float y) {
  if (button == kLeftButton) {
    flags_.pressed = true;
    host_.Refresh();
  }
  host_.RaiseMouseDown(button, shift, x, y);
}

void XpButtonStateMachine::OnButtonUp(int button, int shift, float x, float y) {
  if (button != kLeftButton) {
    flags_.pressed = false;
    flags_.hovered = false;
    host_.RaiseMouseUp(button, shift, x, y);
    return;
  }
  Release(shift, x, y, false);
}

void XpButtonStateMachine::Release(int shift, float x, float y, bool keyboardClick) {
  flags_.pressed = false;
  flags_.hovered = false;
  host_.Refresh();
  // A key released on the focused button clicks wherever the pointer is;
  // the pointer path asks what lies under the pointer.
  if (keyboardClick || host_.PointerOverControl()) host_.RaiseClick();
  host_.RaiseMouseUp(kLeftButton, shift, x, y);
}

void XpButtonStateMachine::OnKeyDown(int key, int shift) {
  if (flags_.focused && (key == kSpaceKey || key == kEnterKey) && !flags_.focusCue) {
    flags_.focusCue = true;
    host_.Refresh();
  }
  if (!flags_.pressed && key == kSpaceKey) {
    spaceDown_ = flags_.focused;
    flags_.pressed = true;
    flags_.hovered = true;
    host_.Refresh();
  }
  if (key == kEnterKey && flags_.focused && !enterDown_) {
    enterDown_ = true;
    host_.RaiseClick();
  }
  host_.RaiseKeyDown(key, shift);
}

void XpButtonStateMachine::OnKeyUp(int key, int shift) {
  if (key == kSpaceKey) {
    const bool keyboardClick = spaceDown_ && flags_.focused;
    spaceDown_ = false;
    flags_.pressed = false;
    flags_.hovered = false;
    host_.Refresh();
    Release(shift, 0, 0, keyboardClick);
  }
  if (key == kEnterKey) enterDown_ = false;
  host_.RaiseKeyUp(key, shift);
}

bool XpButtonStateMachine::OnAccessKey(char key, std::string_view caption, bool enabled) {
  const std::optional<char> own = AccessKey(caption);
  if (!enabled || !own || *own != LowerCp1251(key)) return false;
  host_.RaiseClick();
  return true;
}

void XpButtonStateMachine::OnFocus(bool gained, bool byKeyboard) {
  spaceDown_ = false;
  enterDown_ = false;
  if (gained) {
    flags_.hovered = false;
    flags_.focused = true;
    flags_.focusCue = byKeyboard;
  } else {
    flags_ = {};
  }
  host_.Refresh();
}

void XpButtonStateMachine::OnEnabledChanged() {
  flags_ = {};
  spaceDown_ = false;
  enterDown_ = false;
  host_.Refresh();
}

}  // namespace tw
