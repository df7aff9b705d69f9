#include "controls/check_box.h"

#include <oleacc.h>
#include <windowsx.h>

#include <utility>

#include "program/resource_ids.h"
#include "text/cp1251.h"
#include "win32/accessible.h"
#include "win32/dpi.h"
#include "win32/dpi_layout.h"
#include "win32/focus_cue.h"
#include "win32/gdi.h"
#include "win32/picture.h"
#include "win32/wide_text.h"

namespace tw {
namespace {

constexpr wchar_t kClassName[] = L"TallywickCheck";
constexpr UINT_PTR kHoverTimerId = 1;
// Mask colour of every stored state picture.
constexpr COLORREF kMaskColor = RGB(255, 255, 255);

int ShiftState(WPARAM wParam) {
  int shift = 0;
  if ((wParam & MK_SHIFT) != 0) shift |= 1;
  if ((wParam & MK_CONTROL) != 0) shift |= 2;
  if (GetKeyState(VK_MENU) < 0) shift |= 4;
  return shift;
}

}  // namespace

CheckBox::CheckBox() : model_(*this), timer_(kHoverTimerId, kCheckHoverIntervalMs) {}

CheckBox::~CheckBox() { Destroy(); }

bool CheckBox::Create(HWND parent, int id, int x, int y, bool visible) {
  dpi_ = win::DpiOf(parent);
  LoadPictures();
  DWORD style = WS_CHILD | WS_TABSTOP | WS_CLIPSIBLINGS;
  if (visible) style |= WS_VISIBLE;
  // The control is exactly as large as its picture, whatever it is given.
  if (!CreateWindowOf(kClassName, 0, style, L"", x, y, Width(), Height(), parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)))) {
    return false;
  }
  timer_.Attach(Handle());
  return true;
}

void CheckBox::LoadPictures() {
  for (int i = 0; i < kCheckPictureCount; ++i)
    pictures_[i].Reset(win::LoadPicture(IDB_CHECK_FIRST + i, dpi_));
}

void CheckBox::SetBackgroundPainter(BackgroundPainter painter) {
  background_ = std::move(painter);
  if (Handle() != nullptr) InvalidateRect(Handle(), nullptr, FALSE);
}

void CheckBox::Render(HDC dc) {
  const RECT all{0, 0, Width(), Height()};
  if (background_) {
    POINT origin{0, 0};
    MapWindowPoints(Handle(), GetParent(Handle()), &origin, 1);
    background_(dc, origin, Width(), Height());
  } else {
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
  }
  const HBITMAP picture = pictures_[static_cast<int>(model_.Shown())].Get();
  if (picture == nullptr) return;
  BITMAP info{};
  GetObjectW(picture, sizeof(info), &info);
  win::MemoryDc source(CreateCompatibleDC(dc));
  win::SelectObjectRestorer selected(source.Get(), picture);
  TransparentBlt(dc, 0, 0, Width(), Height(), source.Get(), 0, 0, info.bmWidth, info.bmHeight, kMaskColor);
  // The box has no caption of its own, so the cue goes on the box itself.
  if (Handle() != nullptr && GetFocus() == Handle()) win::DrawFocusCue(dc, all);
}

void CheckBox::OnPaint() {
  win::PaintDc paint(Handle());
  win::OffscreenSurface surface(paint.Get(), Width(), Height());
  Render(surface.Dc());
  BitBlt(paint.Get(), 0, 0, Width(), Height(), surface.Dc(), 0, 0, SRCCOPY);
}

void CheckBox::OnButtonDown(int button, WPARAM wParam, LPARAM lParam) {
  // The release comes back here even when the pointer has left the picture.
  SetCapture(Handle());
  model_.ButtonDown(button, ShiftState(wParam), static_cast<float>(GET_X_LPARAM(lParam)),
                    static_cast<float>(GET_Y_LPARAM(lParam)));
}

LRESULT CheckBox::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_WINDOWPOSCHANGING: {
      // Resizing cannot change the control's size: it is its picture's.
      auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
      pos->cx = Width();
      pos->cy = Height();
      return 0;
    }
    case win::kSetDpiMessage:
      if (wParam != 0 && wParam != dpi_) {
        dpi_ = static_cast<UINT>(wParam);
        LoadPictures();
        SetWindowPos(Handle(), nullptr, 0, 0, Width(), Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(Handle(), nullptr, FALSE);
      }
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
      model_.PointerMove();
      return 0;
    case WM_TIMER:
      if (wParam == kHoverTimerId) model_.TimerTick();
      return 0;
    case WM_LBUTTONDOWN:
      OnButtonDown(kCheckLeftButton, wParam, lParam);
      return 0;
    case WM_RBUTTONDOWN:
      OnButtonDown(kCheckRightButton, wParam, lParam);
      return 0;
    case WM_MBUTTONDOWN:
      OnButtonDown(kCheckMiddleButton, wParam, lParam);
      return 0;
    case WM_LBUTTONDBLCLK:
      model_.DoubleClick();
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      const int button = msg == WM_LBUTTONUP   ? kCheckLeftButton
                         : msg == WM_RBUTTONUP ? kCheckRightButton
                                               : kCheckMiddleButton;
      // Let go of the pointer first: a Click handler that opens a message
      // box must not see its own release reported a second time.
      if (GetCapture() == Handle() && (wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0) {
        releasing_ = true;
        ReleaseCapture();
        releasing_ = false;
      }
      model_.ButtonUp(button);
      return 0;
    }
    case WM_CAPTURECHANGED:
      // A message box or a window switch took the pointer in mid-press: the
      // value has already changed, so the window still hears of it and the
      // pushed picture does not stay stuck.
      if (!releasing_ && model_.Down() && reinterpret_cast<HWND>(lParam) != Handle())
        model_.ButtonUp(kCheckLeftButton);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(Handle(), nullptr, FALSE);
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE) model_.SpaceDown();
      return 0;
    case WM_KEYUP:
      if (wParam == VK_SPACE) model_.SpaceUp();
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTCHARS | DLGC_BUTTON;
    case WM_GETOBJECT:
      return win::AnswerGetObject(Handle(), wParam, lParam);
    case win::kAccessibleFactsMessage:
      return OnAccessibleFacts(lParam);
    case win::kAccessibleDoDefaultMessage:
      // A reader's click is a whole click: press and release.
      model_.ButtonDown(kCheckLeftButton, 0, 0.0f, 0.0f);
      model_.ButtonUp(kCheckLeftButton);
      return 0;
    case WM_DESTROY:
      timer_.Stop();
      return 0;
    default:
      return Default(msg, wParam, lParam);
  }
}

void CheckBox::SetAccessibleName(std::string name) { accessibleName_ = std::move(name); }

LRESULT CheckBox::OnAccessibleFacts(LPARAM lParam) {
  auto* facts = reinterpret_cast<win::AccessibleFacts*>(lParam);
  facts->role = ROLE_SYSTEM_CHECKBUTTON;
  facts->state = model_.Value() ? STATE_SYSTEM_CHECKED : 0;
  facts->name = win::Widen(accessibleName_);
  facts->defaultAction = model_.Value() ? win::Widen(cp1251("Снять")) : win::Widen(cp1251("Установить"));
  return 1;
}

void CheckBox::ShowPicture(CheckPicture) {
  if (Handle() == nullptr) return;
  InvalidateRect(Handle(), nullptr, FALSE);
}

void CheckBox::SetHoverTimer(bool enabled) { timer_.SetEnabled(enabled); }

bool CheckBox::PointerOverPicture() {
  POINT p{};
  if (!GetCursorPos(&p)) return false;
  return WindowFromPoint(p) == Handle();
}

void CheckBox::RaiseClick() {
  if (events.Click) events.Click();
}

void CheckBox::RaiseDblClick() {
  if (events.DblClick) events.DblClick();
}

void CheckBox::RaiseMouseDown(int& button, int& shift, float& x, float& y) {
  if (events.MouseDown) events.MouseDown(button, shift, x, y);
}

}  // namespace tw
