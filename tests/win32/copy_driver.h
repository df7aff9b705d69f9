// Copying from a list box as the user does it: Ctrl+C, and the context menu
// answered with the keyboard; the clipboard read back as Unicode text.
#pragma once

#include <string>

#include "wait.h"
#include "win32/windows_headers.h"

namespace tw::test {

inline std::wstring ClipboardText() {
  std::wstring text = L"<no text>";
  if (!OpenClipboard(nullptr)) return L"<clipboard busy>";
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT); data != nullptr) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data)); chars != nullptr) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

inline void ClearClipboard() {
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
}

// Ctrl+C to `list` with row `row` selected.
inline void PressCtrlC(HWND list, int row) {
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
  SetFocus(list);
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  const BYTE saved = keys[VK_CONTROL];
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  SendMessageW(list, WM_KEYDOWN, 'C', 1);
  SendMessageW(list, WM_CHAR, 0x03, 1);
  keys[VK_CONTROL] = saved;
  SetKeyboardState(keys);
}

namespace detail {
inline int& MenuDowns() {
  static int downs = 0;
  return downs;
}
// Runs inside the menu's own loop: moves down to the wanted item and picks it.
inline void CALLBACK AnswerMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  const HWND menu = FindWindowW(L"#32768", nullptr);
  if (menu == nullptr || !IsWindowVisible(menu)) return;
  KillTimer(nullptr, timer);
  for (int i = 0; i < MenuDowns(); ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
}
}  // namespace detail

// A right click on row `row` of `list`, then menu item `item` (1:
// "Копировать", 2: "Копировать всё") chosen.
inline void ChooseFromContextMenu(HWND list, int row, int item) {
  RECT rect{};
  SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
  POINT at{rect.left + 5, (rect.top + rect.bottom) / 2};
  ClientToScreen(list, &at);
  detail::MenuDowns() = item;
  SetTimer(nullptr, 0, 50, &detail::AnswerMenu);
  SendMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(at.x, at.y));
  PumpMessages();
}

}  // namespace tw::test
