#include "win32/list_copy.h"

#include <cstring>

#include "text/cp1251.h"
#include "win32/wide_text.h"

namespace tw::win {

namespace {

constexpr UINT_PTR kSubclassId = 0x7C0B;

std::wstring LineOf(HWND list, int index) {
  const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR) return {};
  std::wstring line(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT got =
      SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(line.data()));
  line.resize(got == LB_ERR ? 0 : static_cast<std::size_t>(got));
  return line;
}

// The pointer's item becomes the selection before the menu shows, as in
// the lists of Explorer.
void SelectItemAt(HWND list, POINT screen) {
  POINT client = screen;
  ScreenToClient(list, &client);
  const LRESULT hit = SendMessageW(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(client.x, client.y));
  if (HIWORD(hit) == 0) SendMessageW(list, LB_SETCURSEL, LOWORD(hit), 0);
}

void ShowCopyMenu(HWND list, LPARAM at) {
  POINT screen{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  if (at == -1) {  // from the keyboard: under the selected line
    RECT item{};
    const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR || SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(selected),
                                           reinterpret_cast<LPARAM>(&item)) == LB_ERR) {
      GetClientRect(list, &item);
      item.bottom = item.top;
    }
    screen = {item.left + 8, item.bottom};
    ClientToScreen(list, &screen);
  } else {
    SelectItemAt(list, screen);
  }
  const HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return;
  const bool any = SendMessageW(list, LB_GETCOUNT, 0, 0) > 0;
  const bool selected = SendMessageW(list, LB_GETCURSEL, 0, 0) != LB_ERR;
  AppendMenuW(menu, MF_STRING | (selected ? 0 : MF_GRAYED), kCopyLineCommand,
              Widen(cp1251("Копировать")).c_str());
  AppendMenuW(menu, MF_STRING | (any ? 0 : MF_GRAYED), kCopyAllCommand,
              Widen(cp1251("Копировать всё")).c_str());
  const UINT chosen = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                                       screen.x, screen.y, 0, list, nullptr));
  DestroyMenu(menu);
  if (chosen == kCopyLineCommand || chosen == kCopyAllCommand) CopyListLines(list, chosen == kCopyAllCommand);
}

LRESULT CALLBACK CopySubclass(HWND list, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR) noexcept {
  try {
    switch (msg) {
      case WM_KEYDOWN:
        if (wParam == 'C' && GetKeyState(VK_CONTROL) < 0) {
          CopyListLines(list, false);
          return 0;
        }
        break;
      case WM_CHAR:
        if (wParam == 0x03) return 0;  // Ctrl+C's character is no search letter
        break;
      case WM_CONTEXTMENU:
        ShowCopyMenu(list, lParam);
        return 0;
      case WM_NCDESTROY:
        RemoveWindowSubclass(list, &CopySubclass, kSubclassId);
        break;
      default:
        break;
    }
  } catch (...) {
    return 0;
  }
  return DefSubclassProc(list, msg, wParam, lParam);
}

}  // namespace

void EnableListCopy(HWND list) noexcept { SetWindowSubclass(list, &CopySubclass, kSubclassId, 0); }

ListCopyPause::ListCopyPause(HWND list) noexcept
    : list_(list),
      paused_(list != nullptr && RemoveWindowSubclass(list, &CopySubclass, kSubclassId) != FALSE) {}

ListCopyPause::~ListCopyPause() {
  if (paused_) EnableListCopy(list_);
}

bool CopyListLines(HWND list, bool all) noexcept {
  try {
    std::wstring text;
    if (all) {
      const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
      if (count == LB_ERR || count == 0) return false;
      for (int i = 0; i < count; ++i) {
        if (i > 0) text += L"\r\n";
        text += LineOf(list, i);
      }
    } else {
      const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
      if (selected == LB_ERR) return false;
      text = LineOf(list, static_cast<int>(selected));
    }
    return SetClipboardText(list, text);
  } catch (...) {
    return false;
  }
}

bool SetClipboardText(HWND owner, std::wstring_view text) noexcept {
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (memory == nullptr) return false;
  void* target = GlobalLock(memory);
  if (target == nullptr) {
    GlobalFree(memory);
    return false;
  }
  std::memcpy(target, text.data(), text.size() * sizeof(wchar_t));
  static_cast<wchar_t*>(target)[text.size()] = L'\0';
  GlobalUnlock(memory);
  // Another program may hold the clipboard for a moment.
  bool opened = false;
  for (int attempt = 0; attempt < 10 && !opened; ++attempt) {
    opened = OpenClipboard(owner) != FALSE;
    if (!opened) Sleep(20);
  }
  if (!opened) {
    GlobalFree(memory);
    return false;
  }
  EmptyClipboard();
  const bool set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  CloseClipboard();
  if (!set) GlobalFree(memory);  // the clipboard owns it only once set
  return set;
}

}  // namespace tw::win
