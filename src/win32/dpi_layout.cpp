#include "win32/dpi_layout.h"

#include <utility>

#include "program/resource_ids.h"
#include "win32/window.h"

namespace tw::win {

namespace {

struct CaptureState {
  HWND parent;
  std::vector<std::pair<HWND, RECT>> found;
};

BOOL CALLBACK CaptureChild(HWND child, LPARAM lParam) {
  auto* state = reinterpret_cast<CaptureState*>(lParam);
  if (GetParent(child) != state->parent) return TRUE;  // a control's own parts move with it
  RECT r{};
  GetWindowRect(child, &r);
  wchar_t name[16] = {};
  GetClassNameW(child, name, 16);
  if (lstrcmpiW(name, L"ComboBox") == 0) {
    // A drop-down combo's height is that of its open list. Windows answers
    // TRUE and Wine CB_OKAY (0): the rectangle itself tells.
    RECT dropped{};
    SendMessageW(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    if (dropped.bottom > r.bottom) r.bottom = dropped.bottom;
  }
  MapWindowPoints(nullptr, state->parent, reinterpret_cast<POINT*>(&r), 2);
  state->found.emplace_back(child, r);
  return TRUE;
}

}  // namespace

void DpiLayout::Capture(HWND parent) {
  parent_ = parent;
  CaptureState state{parent, {}};
  EnumChildWindows(parent, CaptureChild, reinterpret_cast<LPARAM>(&state));
  for (const auto& [child, rect] : state.found) {
    if (Find(child) == nullptr) children_.push_back({child, rect, FontKind::Gui});
  }
}

void DpiLayout::Add(HWND child, const RECT& rect100, FontKind font) {
  if (Child* known = Find(child)) {
    known->rect100 = rect100;
    known->font = font;
  } else {
    children_.push_back({child, rect100, font});
  }
  if (applied_) Place(*Find(child));
}

void DpiLayout::AddPopup(HWND popup) {
  popups_.push_back(popup);
  if (applied_) SendMessageW(popup, WM_SETFONT, reinterpret_cast<WPARAM>(gui_.Get()), FALSE);
}

void DpiLayout::SetFont(HWND child, FontKind font) {
  Child* known = Find(child);
  if (known == nullptr) return;
  known->font = font;
  if (applied_ && font != FontKind::None)
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(Font(font)), TRUE);
}

void DpiLayout::Move(HWND child, const RECT& rect100) {
  Child* known = Find(child);
  if (known == nullptr) return;
  known->rect100 = rect100;
  if (applied_) Place(*known);
}

HFONT DpiLayout::Font(FontKind font) const noexcept {
  switch (font) {
    case FontKind::Gui:
      return gui_.Get();
    case FontKind::Bold:
      return bold_.Get();
    case FontKind::Link:
      return link_.Get();
    case FontKind::None:
      break;
  }
  return nullptr;
}

DpiLayout::Child* DpiLayout::Find(HWND child) noexcept {
  for (Child& c : children_) {
    if (c.hwnd == child) return &c;
  }
  return nullptr;
}

void DpiLayout::Place(const Child& child) const noexcept {
  if (!IsWindow(child.hwnd)) return;
  SendMessageW(child.hwnd, kSetDpiMessage, dpi_, 0);
  if (child.font != FontKind::None)
    SendMessageW(child.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(Font(child.font)), FALSE);
  const RECT r = Scale(child.rect100);
  SetWindowPos(child.hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(child.hwnd, nullptr, TRUE);
}

void DpiLayout::MakeFonts(UINT dpi, RetiredGdi& retired) {
  win::Font fonts[] = {GuiFontFor(dpi), GuiFontFor(dpi, FW_BOLD), GuiFontFor(dpi, 0, true)};
  for (win::Font* font : {&gui_, &bold_, &link_}) retired.Keep(*font);
  gui_ = std::move(fonts[0]);
  bold_ = std::move(fonts[1]);
  link_ = std::move(fonts[2]);
  dpi_ = dpi;
}

void DpiLayout::MakeIcons(UINT dpi, RetiredGdi& retired) {
  if (parent_ == nullptr || (GetWindowLongPtrW(parent_, GWL_STYLE) & WS_CHILD) != 0) return;
  const auto load = [dpi](int side100) {
    const int side = win::Scale(side100, dpi);
    return win::Icon(static_cast<HICON>(LoadImageW(ProgramInstance(), MAKEINTRESOURCEW(IDI_TALLYWICK),
                                                   IMAGE_ICON, side, side, LR_DEFAULTCOLOR)));
  };
  retired.Keep(smallIcon_);
  retired.Keep(bigIcon_);
  smallIcon_ = load(16);
  bigIcon_ = load(32);
  SendMessageW(parent_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
  SendMessageW(parent_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.Get()));
}

void DpiLayout::Apply() {
  applied_ = true;
  for (const Child& child : children_) Place(child);
  for (HWND popup : popups_) {
    if (IsWindow(popup)) SendMessageW(popup, WM_SETFONT, reinterpret_cast<WPARAM>(gui_.Get()), FALSE);
  }
}

void ChangeDpi(DpiLayout& layout, SIZE client100, UINT dpi, const RECT* suggested, const DpiSteps& steps) {
  const HWND window = layout.Parent();
  RetiredGdi retired;
  layout.MakeFonts(dpi, retired);
  layout.MakeIcons(dpi, retired);
  if (steps.make) steps.make(dpi, retired);
  layout.Apply();
  if (steps.laidOut) steps.laidOut(dpi);
  FitClientForDpi(window, client100, dpi, suggested);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void KeepClientSize(const DpiLayout& layout, SIZE client100, WPARAM sizeKind) noexcept {
  const HWND window = layout.Parent();
  if (sizeKind != SIZE_RESTORED || window == nullptr) return;
  RECT client{};
  GetClientRect(window, &client);
  if (client.right == layout.Scale(client100.cx) && client.bottom == layout.Scale(client100.cy)) return;
  RECT now{};
  GetWindowRect(window, &now);
  FitClientForDpi(window, client100, layout.Dpi(), &now);
}

LRESULT DpiScaledSize(HWND window, SIZE client100, WPARAM wParam, LPARAM lParam) noexcept {
  auto* size = reinterpret_cast<SIZE*>(lParam);
  const UINT dpi = LOWORD(wParam);
  if (size == nullptr || dpi == 0) return FALSE;
  *size = FrameSizeFor(client100, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)),
                       static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)), dpi);
  return TRUE;
}

}  // namespace tw::win
