// The rules of XpB, the program's own push button: layout, access key, colour
// arithmetic, the drawing of each style as a list of primitives, and how
// every input changes the focused / pressed / hovered flags.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "program/color.h"
#include "program/dpi_scale.h"

namespace tw {

// System colour indices the button uses (the COLOR_* values of user32).
inline constexpr int kColorBtnFace = 15;
inline constexpr int kColorBtnShadow = 16;
inline constexpr int kColorBtnText = 18;
inline constexpr int kColor3dHighlight = 20;
inline constexpr int kColor3dDkShadow = 21;
inline constexpr int kColor3dLight = 22;

// Adds d to red, green and blue, each clamped to 0..255.
Color ShiftColor(Color color, int d);
// Rounds to the nearest integer, ties to even.
int RoundHalfEven(double value);

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  Rect Moved(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
  bool operator==(const Rect&) const = default;
};

enum class PicturePosition { Above = 0, Left = 1, Right = 2, Below = 3 };

struct XpButtonProperties {
  std::string Caption;  // cp1251, may hold one "&" marker
  int PicturePosition = 1;
  int ButtonStyle = 2;  // 0 raised, 1 and 2 flat until hovered, 3 XP
  int PictureWidth = 32;
  int PictureHeight = 32;
  bool Enabled = true;
  bool ShowFocusRect = true;
  Color XPColor_Pressed = SystemColor(kColor3dHighlight);
  Color XPColor_Hover = SystemColor(kColor3dLight);
  bool XPDefaultColors = true;
  Color MaskColor = kBlack;
  bool UseMaskColor = false;
};

// A picture button on a window's face: the picture alone, centred, flat until
// the pointer comes, no focus frame, white as the picture's mask colour.
inline XpButtonProperties FacePictureButton() {
  XpButtonProperties props;
  props.Caption.clear();
  props.ButtonStyle = 1;
  props.PicturePosition = 0;
  props.ShowFocusRect = false;
  props.XPDefaultColors = false;
  props.MaskColor = kWhite;
  return props;
}

inline constexpr Color kXpDefaultPressed = Rgb(140, 170, 230);
inline constexpr Color kXpDefaultHover = Rgb(225, 153, 71);

// The access key of a caption, in lower case (cp1251), if it has one.
std::optional<char> AccessKey(std::string_view caption);
char LowerCp1251(char c);

// Controls smaller than 150 twips (10 pixels at 100 %) grow to 150 twips
// on resize, in pixels of the button's DPI.
inline constexpr int kMinimumSideTwips = 150;
int EnlargedSide(int side, int dpi = kDefaultDpi);

struct XpButtonLayout {
  Rect caption;  // empty when there is no caption
  Rect picture;  // meaningful when there is a picture
};
// `textWidth`/`textHeight` come from measuring the caption in the inner
// rectangle (word-wrapped, centred). The 4-pixel insets and gap are 100 %
// values, scaled for `dpi`.
XpButtonLayout LayoutXpButton(int width, int height, int picturePosition, bool hasCaption, int textWidth,
                              int textHeight, bool hasPicture, int pictureWidth, int pictureHeight,
                              int dpi = kDefaultDpi);

inline constexpr int kXpInset = 4;
// The inner (and focus) rectangle: the client area inset by 4 pixels at 100 %.
inline Rect InnerRect(int width, int height, int dpi = kDefaultDpi) {
  const int inset = ScaleToDpi(kXpInset, dpi);
  return {inset, inset, width - inset, height - inset};
}

// One drawing primitive. Line runs from (left, top) to (right, bottom),
// the end point excluded, as LineTo draws it.
struct DrawOp {
  enum class Kind { Fill, Frame, Line, Pixel };
  Kind kind;
  Rect rect;
  Color color;  // resolved
  bool operator==(const DrawOp&) const = default;
};
using DrawList = std::vector<DrawOp>;

struct XpButtonFlags {
  bool focused = false;
  bool pressed = false;
  bool hovered = false;
  bool focusCue = false;  // focused from the keyboard, or a key used since
};

// The dotted focus rectangle: where the button's own property asks for it,
// and always while the keyboard holds the button.
inline bool ShowsFocusRect(const XpButtonProperties& props, const XpButtonFlags& flags) {
  return flags.focused && (flags.focusCue || (props.ShowFocusRect && props.ButtonStyle != 3));
}

// The frame of styles 0 to 2 (nothing when flat and not hovered).
DrawList DrawClassicFrame(int style, const XpButtonFlags& flags, int width, int height,
                          const SystemColorSource& system);
// The face of style 3. With XPDefaultColors and enabled it resets the two
// XP colours of `props` first, as the button does on every such redraw.
DrawList DrawXpFace(XpButtonProperties& props, const XpButtonFlags& flags, int width, int height,
                    const SystemColorSource& system);

// What the button does in answer to its inputs. The window supplies these.
class XpButtonHost {
 public:
  virtual ~XpButtonHost() = default;
  virtual bool PointerOverControl() = 0;
  virtual void Refresh() = 0;
  virtual void CaptureMouse() = 0;
  virtual void ReleaseMouse() = 0;
  virtual void SetTrackingTimer(bool enabled) = 0;
  virtual void RaiseClick() = 0;
  virtual void RaiseMouseIn() = 0;
  virtual void RaiseMouseOut() = 0;
  virtual void RaiseMouseDown(int button, int shift, float x, float y) = 0;
  virtual void RaiseMouseUp(int button, int shift, float x, float y) = 0;
  virtual void RaiseKeyDown(int& key, int& shift) = 0;
  virtual void RaiseKeyUp(int& key, int& shift) = 0;
};

inline constexpr int kLeftButton = 1;
inline constexpr int kSpaceKey = 32;
inline constexpr int kEnterKey = 13;

// The flag changes of the button on each input.
class XpButtonStateMachine {
 public:
  explicit XpButtonStateMachine(XpButtonHost& host) : host_(host) {}
  const XpButtonFlags& Flags() const { return flags_; }
  bool TimerEnabled() const { return timerEnabled_; }

  void OnMouseMove();
  void OnTimerTick();
  void OnButtonDown(int button, int shift, float x, float y);
  void OnButtonUp(int button, int shift, float x, float y);
  void OnKeyDown(int key, int shift);
  void OnKeyUp(int key, int shift);
  // True when the key was the button's access key (and Click was raised).
  bool OnAccessKey(char key, std::string_view caption, bool enabled);
  // `byKeyboard`: the focus came by Tab or from the program, not by a click.
  void OnFocus(bool gained, bool byKeyboard = false);
  void OnEnabledChanged();

 private:
  void SetTimer(bool enabled);
  void Release(int shift, float x, float y, bool keyboardClick);
  XpButtonHost& host_;
  XpButtonFlags flags_;
  bool timerEnabled_ = false;
  bool spaceDown_ = false;  // Space went down on the focused button
  bool enterDown_ = false;  // Enter is held: its repeats click no more
};

}  // namespace tw
