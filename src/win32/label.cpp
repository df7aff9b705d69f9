#include "win32/label.h"

#include "win32/wide_text.h"
#include "win32/window.h"

namespace tw::win {

HFONT GuiFont() noexcept { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

HWND CreateLabel(HWND parent, int id, std::string_view text, int x, int y, int width, int height,
                 DWORD extraStyle, HFONT font) noexcept {
  std::wstring wide;
  try {
    wide = Widen(text);
  } catch (...) {
    // Out of memory: the label starts empty rather than not at all.
  }
  const HWND label = CreateWindowExW(
      0, L"STATIC", wide.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | extraStyle, x, y, width,
      height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ProgramInstance(), nullptr);
  SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font != nullptr ? font : GuiFont()), FALSE);
  return label;
}

bool SetLinkCursor(HWND under, HWND link) noexcept {
  if (link == nullptr || under != link) return false;
  SetCursor(LoadCursorW(nullptr, IDC_HAND));
  return true;
}

}  // namespace tw::win
