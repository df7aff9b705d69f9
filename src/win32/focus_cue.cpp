#include "win32/focus_cue.h"

namespace tw::win {

void DrawFocusCue(HDC dc, const RECT& rect) noexcept {
  // The cue is drawn with XOR: black and white text colours make it show on
  // any picture behind it.
  const COLORREF text = SetTextColor(dc, RGB(0, 0, 0));
  const COLORREF back = SetBkColor(dc, RGB(255, 255, 255));
  DrawFocusRect(dc, &rect);
  SetTextColor(dc, text);
  SetBkColor(dc, back);
}

bool FocusFromPointer() noexcept {
  return GetKeyState(VK_LBUTTON) < 0 || GetKeyState(VK_RBUTTON) < 0 || GetKeyState(VK_MBUTTON) < 0;
}

}  // namespace tw::win
