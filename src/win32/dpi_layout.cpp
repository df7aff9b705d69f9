#include "win32/dpi_layout.h"

#include <utility>

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
    // A drop-down combo's height is that of its open list.
    RECT dropped{};
    if (SendMessageW(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped)) != 0 &&
        dropped.bottom > r.bottom) {
      r.bottom = dropped.bottom;
    }
  }
  MapWindowPoints(nullptr, state->parent, reinterpret_cast<POINT*>(&r), 2);
  state->found.emplace_back(child, r);
  return TRUE;
}

}  // namespace

void DpiLayout::Capture(HWND parent) {
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

void DpiLayout::Apply(UINT dpi) {
  // The old fonts go only after every child holds a new one.
  win::Font gui = GuiFontFor(dpi);
  win::Font bold = GuiFontFor(dpi, FW_BOLD);
  win::Font link = GuiFontFor(dpi, 0, true);
  std::swap(gui_, gui);
  std::swap(bold_, bold);
  std::swap(link_, link);
  dpi_ = dpi;
  applied_ = true;
  for (const Child& child : children_) Place(child);
}

}  // namespace tw::win
