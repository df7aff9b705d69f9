// Polling with a deadline while the thread's messages keep flowing.
#pragma once

#include <functional>

#include "win32/windows_headers.h"

namespace tw::test {

inline void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

inline bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 5000) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    PumpMessages();
    if (condition()) return true;
    if (GetTickCount64() > deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

// Puts the real pointer on (x, y) of `hwnd`'s client area and tells the
// window under it, as a move of the mouse would.
inline void MovePointerTo(HWND hwnd, int x, int y) {
  POINT p{x, y};
  ClientToScreen(hwnd, &p);
  SetCursorPos(p.x, p.y);
  const HWND target = GetCapture() != nullptr ? GetCapture() : hwnd;
  POINT local = p;
  ScreenToClient(target, &local);
  SendMessageW(target, WM_MOUSEMOVE, 0, MAKELPARAM(local.x, local.y));
}

inline void MovePointerAway() { SetCursorPos(1270, 1010); }

}  // namespace tw::test
