#include "controls/xp_button.h"

#include <oleacc.h>

#include <utility>

#include "text/cp1251.h"
#include "win32/accessible.h"
#include "win32/dpi.h"
#include "win32/dpi_layout.h"
#include "win32/focus_cue.h"
#include "win32/gdi.h"
#include "win32/handle.h"
#include "win32/picture.h"
#include "win32/wide_text.h"

namespace tw {

namespace {

constexpr wchar_t kClassName[] = L"TallywickXpB";
constexpr UINT_PTR kTrackingTimerId = 1;
constexpr UINT kTrackingIntervalMs = 10;

Color SystemColorNow(int index) { return static_cast<Color>(GetSysColor(index)); }

int ShiftState() {
  int shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= 1;
  if (GetKeyState(VK_CONTROL) < 0) shift |= 2;
  if (GetKeyState(VK_MENU) < 0) shift |= 4;
  return shift;
}

void Execute(HDC dc, const DrawList& ops) {
  for (const DrawOp& op : ops) {
    const RECT r{op.rect.left, op.rect.top, op.rect.right, op.rect.bottom};
    switch (op.kind) {
      case DrawOp::Kind::Fill:
      case DrawOp::Kind::Frame: {
        win::Brush brush(CreateSolidBrush(op.color));
        op.kind == DrawOp::Kind::Fill ? FillRect(dc, &r, brush.Get()) : FrameRect(dc, &r, brush.Get());
        break;
      }
      case DrawOp::Kind::Line: {
        win::Pen pen(CreatePen(PS_SOLID, 1, op.color));
        win::SelectObjectRestorer selected(dc, pen.Get());
        MoveToEx(dc, r.left, r.top, nullptr);
        LineTo(dc, r.right, r.bottom);
        break;
      }
      case DrawOp::Kind::Pixel:
        SetPixel(dc, r.left, r.top, op.color);
        break;
    }
  }
}

SIZE PictureSize(const XpPicture& picture) {
  if (picture.bitmap != nullptr) {
    BITMAP info{};
    if (GetObjectW(picture.bitmap, sizeof(info), &info) != 0) return {info.bmWidth, std::abs(info.bmHeight)};
  } else if (picture.icon != nullptr) {
    ICONINFO info{};
    if (GetIconInfo(picture.icon, &info)) {
      win::Bitmap mask(info.hbmMask);
      win::Bitmap color(info.hbmColor);
      BITMAP bm{};
      GetObjectW(info.hbmMask, sizeof(bm), &bm);
      // A monochrome icon keeps its two masks one above the other.
      return {bm.bmWidth, color ? bm.bmHeight : bm.bmHeight / 2};
    }
  }
  return {0, 0};
}

BOOL CALLBACK OfferAccessKey(HWND child, LPARAM lParam) {
  auto* state = reinterpret_cast<std::pair<char, bool>*>(lParam);
  wchar_t name[32] = {};
  GetClassNameW(child, name, 32);
  if (lstrcmpW(name, kClassName) == 0 && IsWindowVisible(child) &&
      SendMessageW(child, kXpAccessKeyMessage, static_cast<unsigned char>(state->first), 0) == 1) {
    state->second = true;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

bool DispatchAccessKey(HWND root, wchar_t character) noexcept {
  try {
    const std::string narrow = win::Narrow(std::wstring_view(&character, 1));
    std::pair<char, bool> state{narrow[0], false};
    EnumChildWindows(root, OfferAccessKey, reinterpret_cast<LPARAM>(&state));
    return state.second;
  } catch (...) {
    return false;
  }
}

XpButton::XpButton() : states_(*this), timer_(kTrackingTimerId, kTrackingIntervalMs) {}

XpButton::~XpButton() { Destroy(); }

bool XpButton::Create(HWND parent, int id, int x, int y, int width, int height,
                      const XpButtonProperties& props, bool visible) {
  props_ = props;
  dpi_ = win::DpiOf(parent);
  ownFont_ = win::GuiFontFor(dpi_);
  font_ = ownFont_.Get();
  DWORD style = WS_CHILD | WS_TABSTOP | WS_CLIPSIBLINGS;
  if (visible) style |= WS_VISIBLE;
  if (!props.Enabled) style |= WS_DISABLED;
  if (!CreateWindowOf(kClassName, 0, style, win::Widen(props.Caption), x, y, width, height, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)))) {
    return false;
  }
  timer_.Attach(Handle());
  return true;
}

void XpButton::SetBackgroundPainter(BackgroundPainter painter) {
  background_ = std::move(painter);
  Refresh();
}

void XpButton::SetCaption(std::string caption) {
  props_.Caption = std::move(caption);
  if (Handle() != nullptr) SetWindowTextW(Handle(), win::Widen(props_.Caption).c_str());
  Refresh();
}

void XpButton::SetButtonStyle(int style) {
  props_.ButtonStyle = style;
  Refresh();
}

void XpButton::SetPicturePosition(int position) {
  props_.PicturePosition = position;
  Refresh();
}

void XpButton::SetShowFocusRect(bool show) {
  props_.ShowFocusRect = show;
  Refresh();
}

void XpButton::SetMaskColor(Color color) {
  props_.MaskColor = color;
  Refresh();
}

void XpButton::SetUseMaskColor(bool use) {
  props_.UseMaskColor = use;
  Refresh();
}

void XpButton::SetAccessibleName(std::string name) { accessibleName_ = std::move(name); }

LRESULT XpButton::OnAccessibleFacts(LPARAM lParam) {
  auto* facts = reinterpret_cast<win::AccessibleFacts*>(lParam);
  facts->role = ROLE_SYSTEM_PUSHBUTTON;
  facts->name =
      accessibleName_.empty() ? win::SpokenText(win::Widen(props_.Caption)) : win::Widen(accessibleName_);
  facts->defaultAction = win::Widen(cp1251("Нажать"));
  return 1;
}

void XpButton::SetPicture(XpPicture picture) {
  picture_ = picture;
  if (!picture.Empty()) {
    const SIZE size = PictureSize(picture);
    props_.PictureWidth = size.cx;
    props_.PictureHeight = size.cy;
  }
  Refresh();
}

bool XpButton::EnabledCtrl() const {
  return Handle() != nullptr ? IsWindowEnabled(Handle()) != FALSE : props_.Enabled;
}

void XpButton::SetEnabledCtrl(bool enabled) {
  props_.Enabled = enabled;
  if (Handle() != nullptr) EnableWindow(Handle(), enabled ? TRUE : FALSE);
  states_.OnEnabledChanged();
}

void XpButton::Refresh() {
  if (Handle() == nullptr) return;
  InvalidateRect(Handle(), nullptr, FALSE);
  UpdateWindow(Handle());
}

void XpButton::Render(HDC dc) {
  const int w = width_;
  const int h = height_;
  const RECT all{0, 0, w, h};
  if (background_) {
    POINT origin{0, 0};
    MapWindowPoints(Handle(), GetParent(Handle()), &origin, 1);
    background_(dc, origin, w, h);
  } else {
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
  }
  const XpButtonFlags flags = states_.Flags();
  if (props_.ButtonStyle == 3) {
    Execute(dc, DrawXpFace(props_, flags, w, h, SystemColorNow));
  } else {
    Execute(dc, DrawClassicFrame(props_.ButtonStyle, flags, w, h, SystemColorNow));
  }

  win::SelectObjectRestorer font(dc, font_);
  const bool hasCaption = !props_.Caption.empty();
  int textWidth = 0;
  int textHeight = 0;
  if (hasCaption) {
    const std::wstring text = win::Widen(props_.Caption);
    const Rect inner = InnerRect(w, h, static_cast<int>(dpi_));
    RECT measure{inner.left, inner.top, inner.right, inner.bottom};
    DRAWTEXTPARAMS params{sizeof(DRAWTEXTPARAMS), 1, 1, 1, 0};
    DrawTextExW(dc, const_cast<wchar_t*>(text.c_str()), static_cast<int>(text.size()), &measure,
                DT_CALCRECT | DT_WORDBREAK | DT_VCENTER | DT_CENTER, &params);
    textWidth = measure.right - measure.left;
    textHeight = measure.bottom - measure.top;
  }
  const XpButtonLayout layout =
      LayoutXpButton(w, h, props_.PicturePosition, hasCaption, textWidth, textHeight, !picture_.Empty(),
                     props_.PictureWidth, props_.PictureHeight, static_cast<int>(dpi_));
  if (hasCaption) DrawCaption(dc, layout.caption);
  if (!picture_.Empty()) DrawPicture(dc, layout.picture);

  if (ShowsFocusRect(props_, flags)) {
    const Rect inner = InnerRect(w, h, static_cast<int>(dpi_));
    win::DrawFocusCue(dc, {inner.left, inner.top, inner.right, inner.bottom});
  }
}

void XpButton::DrawCaption(HDC dc, const Rect& rect) {
  const std::wstring text = win::Widen(props_.Caption);
  DRAWTEXTPARAMS params{sizeof(DRAWTEXTPARAMS), 1, 1, 1, 0};
  const UINT format = DT_WORDBREAK | DT_VCENTER | DT_CENTER;
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor = GetTextColor(dc);
  auto draw = [&](RECT r) {
    DrawTextExW(dc, const_cast<wchar_t*>(text.c_str()), static_cast<int>(text.size()), &r, format, &params);
  };
  if (EnabledCtrl()) {
    const int d = states_.Flags().pressed ? 1 : 0;
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    draw({rect.left + d, rect.top + d, rect.right + d, rect.bottom + d});
  } else {
    SetTextColor(dc, GetSysColor(COLOR_3DHIGHLIGHT));
    draw({rect.left + 1, rect.top + 1, rect.right + 1, rect.bottom});
    SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    draw({rect.left, rect.top, rect.right, rect.bottom});
  }
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
}

void XpButton::DrawPicture(HDC dc, const Rect& layoutRect) {
  const Rect rect = states_.Flags().pressed ? layoutRect.Moved(1, 1) : layoutRect;
  const int w = rect.Width();
  const int h = rect.Height();
  if (!EnabledCtrl()) {
    if (picture_.bitmap != nullptr) {
      DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(picture_.bitmap), 0, rect.left, rect.top, 0,
                 0, DST_BITMAP | DSS_DISABLED);
    } else {
      DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(picture_.icon), 0, rect.left, rect.top, 0, 0,
                 DST_ICON | DSS_DISABLED);
    }
    return;
  }
  if (picture_.bitmap != nullptr) {
    win::MemoryDc source(CreateCompatibleDC(dc));
    win::SelectObjectRestorer selected(source.Get(), picture_.bitmap);
    // Without an own mask colour the picture's top-left pixel is the
    // transparent one, and MaskColor reads back as that colour.
    if (!props_.UseMaskColor) props_.MaskColor = GetPixel(source.Get(), 0, 0) & 0xFFFFFF;
    TransparentBlt(dc, rect.left, rect.top, w, h, source.Get(), 0, 0, w, h, props_.MaskColor);
  } else if (picture_.icon != nullptr) {
    DrawIconEx(dc, rect.left, rect.top, picture_.icon, w, h, 0, nullptr, DI_NORMAL);
  }
}

void XpButton::OnSize(int width, int height) {
  width_ = width;
  height_ = height;
  const int grownWidth = EnlargedSide(width, static_cast<int>(dpi_));
  const int grownHeight = EnlargedSide(height, static_cast<int>(dpi_));
  if (grownWidth != width || grownHeight != height) {
    SetWindowPos(Handle(), nullptr, 0, 0, grownWidth, grownHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return;  // the resize comes back with the new size
  }
  Refresh();
}

void XpButton::OnPaint() {
  win::PaintDc paint(Handle());
  if (width_ <= 0 || height_ <= 0) return;
  win::OffscreenSurface surface(paint.Get(), width_, height_);
  Render(surface.Dc());
  BitBlt(paint.Get(), 0, 0, width_, height_, surface.Dc(), 0, 0, SRCCOPY);
}

void XpButton::OnButtonDown(int button, WPARAM, LPARAM lParam) {
  if (button == kLeftButton && GetFocus() != Handle()) {
    pointerFocus_ = true;
    SetFocus(Handle());
    pointerFocus_ = false;
  }
  // Keep the release coming here even when it happens outside.
  if (GetCapture() != Handle()) SetCapture(Handle());
  states_.OnButtonDown(button, ShiftState(), static_cast<float>(GET_X_LPARAM(lParam)),
                       static_cast<float>(GET_Y_LPARAM(lParam)));
}

void XpButton::OnButtonUp(int button, WPARAM, LPARAM lParam) {
  states_.OnButtonUp(button, ShiftState(), static_cast<float>(GET_X_LPARAM(lParam)),
                     static_cast<float>(GET_Y_LPARAM(lParam)));
  // The release has cleared the hover; the next tick captures again if the
  // pointer is still here.
  if (Handle() != nullptr && GetCapture() == Handle()) ReleaseCapture();
}

LRESULT XpButton::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SIZE:
      OnSize(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_PRINTCLIENT:
      Render(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_MOUSEMOVE:
      states_.OnMouseMove();
      return 0;
    case WM_TIMER:
      if (wParam == kTrackingTimerId) states_.OnTimerTick();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      OnButtonDown(kLeftButton, wParam, lParam);
      return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      OnButtonDown(2, wParam, lParam);
      return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      OnButtonDown(4, wParam, lParam);
      return 0;
    case WM_LBUTTONUP:
      OnButtonUp(kLeftButton, wParam, lParam);
      return 0;
    case WM_RBUTTONUP:
      OnButtonUp(2, wParam, lParam);
      return 0;
    case WM_MBUTTONUP:
      OnButtonUp(4, wParam, lParam);
      return 0;
    case WM_KEYDOWN:
      states_.OnKeyDown(static_cast<int>(wParam), ShiftState());
      return 0;
    case WM_KEYUP:
      states_.OnKeyUp(static_cast<int>(wParam), ShiftState());
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTCHARS | DLGC_BUTTON;
    case WM_SYSCHAR:
      if (DispatchAccessKey(GetAncestor(Handle(), GA_ROOT), static_cast<wchar_t>(wParam))) return 0;
      break;
    case kXpAccessKeyMessage:
      return states_.OnAccessKey(static_cast<char>(wParam), props_.Caption, EnabledCtrl()) ? 1 : 0;
    case WM_SETFOCUS:
      states_.OnFocus(true, !pointerFocus_ && !win::FocusFromPointer());
      if (events.Focus) events.Focus(true);
      return 0;
    case WM_KILLFOCUS:
      states_.OnFocus(false);
      if (events.Focus) events.Focus(false);
      return 0;
    case WM_GETOBJECT:
      return win::AnswerGetObject(Handle(), wParam, lParam);
    case win::kAccessibleFactsMessage:
      return OnAccessibleFacts(lParam);
    case BM_CLICK:  // a window's Enter, or a reader's default action
    case win::kAccessibleDoDefaultMessage:
      if (EnabledCtrl()) RaiseClick();
      return 0;
    case WM_ENABLE:
      props_.Enabled = wParam != FALSE;
      states_.OnEnabledChanged();
      return 0;
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam) != 0) Refresh();
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case win::kSetDpiMessage:
      if (wParam != 0 && wParam != dpi_) {
        dpi_ = static_cast<UINT>(wParam);
        const bool own = font_ == ownFont_.Get();
        ownFont_ = win::GuiFontFor(dpi_);
        if (own) font_ = ownFont_.Get();
        Refresh();
      }
      return 0;
    case WM_DESTROY:
      timer_.Stop();
      break;
    default:
      break;
  }
  return Default(msg, wParam, lParam);
}

bool XpButton::PointerOverControl() {
  POINT pointer{};
  return GetCursorPos(&pointer) && WindowFromPoint(pointer) == Handle();
}

void XpButton::CaptureMouse() { SetCapture(Handle()); }

void XpButton::ReleaseMouse() {
  if (GetCapture() == Handle()) ReleaseCapture();
}

void XpButton::SetTrackingTimer(bool enabled) { timer_.SetEnabled(enabled); }

void XpButton::RaiseClick() {
  if (events.Click) events.Click();
}

void XpButton::RaiseMouseIn() {
  int unused = 0;
  if (events.MouseIn) events.MouseIn(unused);
}

void XpButton::RaiseMouseOut() {
  int unused = 0;
  if (events.MouseOut) events.MouseOut(unused);
}

void XpButton::RaiseMouseDown(int button, int shift, float x, float y) {
  if (events.MouseDown) events.MouseDown(button, shift, x, y);
}

void XpButton::RaiseMouseUp(int button, int shift, float x, float y) {
  if (events.MouseUp) events.MouseUp(button, shift, x, y);
}

void XpButton::RaiseKeyDown(int& key, int& shift) {
  if (events.KeyDown) events.KeyDown(key, shift);
}

void XpButton::RaiseKeyUp(int& key, int& shift) {
  if (events.KeyUp) events.KeyUp(key, shift);
}

void XpHoverPictures::Attach(XpButton& button) {
  button_ = &button;
  button.events.MouseIn = [this](int&) { button_->SetPicture({Hover(), nullptr}); };
  button.events.MouseOut = [this](int&) { button_->SetPicture({Normal(), nullptr}); };
  button.SetPicture({Normal(), nullptr});
}

void XpHoverPictures::Load(UINT dpi, win::RetiredGdi& retired) {
  const bool hovered = button_ != nullptr && Hover() != nullptr && button_->Picture().bitmap == Hover();
  retired.Keep(normal_);
  retired.Keep(hover_);
  normal_.Reset(win::LoadPicture(ids_[0], dpi));
  hover_.Reset(win::LoadPicture(ids_[1], dpi));
  if (button_ != nullptr) button_->SetPicture({hovered ? Hover() : Normal(), nullptr});
}

}  // namespace tw
