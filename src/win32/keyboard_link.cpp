#include "win32/keyboard_link.h"

#include <oleacc.h>

#include <string>

#include "text/cp1251.h"
#include "win32/accessible.h"
#include "win32/focus_cue.h"
#include "win32/gdi.h"
#include "win32/wide_text.h"

namespace tw::win {
namespace {

constexpr UINT_PTR kLinkSubclassId = 0x4C4E4B;  // "LNK"

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

void Click(HWND link) {
  SendMessageW(GetParent(link), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(link), STN_CLICKED),
               reinterpret_cast<LPARAM>(link));
}

// The cue goes around the text, not the whole width of the label.
void DrawCue(HWND link) {
  const std::wstring text = TextOf(link);
  RECT client{};
  GetClientRect(link, &client);
  const HDC dc = GetDC(link);
  if (dc == nullptr) return;
  {
    SelectObjectRestorer font(dc, reinterpret_cast<HFONT>(SendMessageW(link, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    RECT cue = client;
    if (size.cx + 2 < client.right) cue.right = size.cx + 2;
    DrawFocusCue(dc, cue);
  }
  ReleaseDC(link, dc);
}

LRESULT CALLBACK LinkProc(HWND link, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) noexcept {
  switch (msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(link, nullptr, TRUE);
      break;
    case WM_PAINT: {
      const LRESULT result = DefSubclassProc(link, msg, wParam, lParam);
      if (GetFocus() == link) DrawCue(link);
      return result;
    }
    case WM_KEYDOWN:
      // Enter once per press; its auto-repeat opens nothing more.
      if (wParam == VK_RETURN && (lParam & (1 << 30)) == 0) {
        Click(link);
        return 0;
      }
      break;
    case WM_GETOBJECT:
      return AnswerGetObject(link, wParam, lParam);
    case kAccessibleFactsMessage: {
      auto* facts = reinterpret_cast<AccessibleFacts*>(lParam);
      facts->role = ROLE_SYSTEM_LINK;
      facts->state = STATE_SYSTEM_LINKED;
      facts->name = TextOf(link);
      facts->defaultAction = Widen(cp1251("Перейти"));
      return 1;
    }
    case kAccessibleDoDefaultMessage:
      Click(link);
      return 0;
    case WM_NCDESTROY:
      RemoveWindowSubclass(link, LinkProc, kLinkSubclassId);
      break;
    default:
      break;
  }
  return DefSubclassProc(link, msg, wParam, lParam);
}

}  // namespace

void MakeKeyboardLink(HWND label) noexcept {
  if (label == nullptr) return;
  SetWindowLongPtrW(label, GWL_STYLE, GetWindowLongPtrW(label, GWL_STYLE) | WS_TABSTOP);
  SetWindowSubclass(label, LinkProc, kLinkSubclassId, 0);
}

}  // namespace tw::win
