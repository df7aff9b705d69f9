// The base of every window of the program: one window-procedure thunk for
// all of them. `this` arrives with WM_NCCREATE and is forgotten at
// WM_NCDESTROY; until then DefWindowProcW answers. No exception ever leaves
// the procedure into user32.
#pragma once

#include <string>

#include "win32/windows_headers.h"

namespace tw::win {

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND Handle() const noexcept { return hwnd_; }
  // The monitor the window opens on: that of the window the user came from.
  // Without one, the primary monitor.
  void OpenOn(HMONITOR monitor) noexcept { screen_ = monitor; }
  // The monitor the window is on; once it is gone, the one it was last on.
  HMONITOR Screen() const noexcept;

  // Registers `className` once per process (with the program's icon and the
  // arrow pointer) and creates the window.
  bool CreateWindowOf(const wchar_t* className, DWORD exStyle, DWORD style, const std::wstring& title, int x,
                      int y, int width, int height, HWND parent, HMENU menuOrId);
  void Destroy() noexcept;

 protected:
  // The window's own messages; return DefWindowProcW's answer for the rest.
  virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) = 0;
  LRESULT Default(UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
  }
  // The top-left corner of a window of outer size `frame`: centred on
  // `owner` when there is one, else on the work area of the monitor given to
  // OpenOn; always inside the work area of that monitor.
  POINT OpeningCorner(SIZE frame, HWND owner = nullptr) const noexcept;
  // Called after WM_NCDESTROY, when the handle is already gone.
  virtual void OnFinalDestroy() noexcept {}

 private:
  static LRESULT CALLBACK Thunk(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  HWND hwnd_ = nullptr;
  HMONITOR screen_ = nullptr;
};

// The work area of `monitor`; the primary monitor's for null.
RECT WorkAreaOf(HMONITOR monitor) noexcept;

HINSTANCE ProgramInstance() noexcept;

// Gives a window the keyboard of a dialog box: Tab and Shift+Tab move the
// focus through its WS_TABSTOP controls, Esc sends it WM_CLOSE, and with an
// `enterButton` Enter in a text field clicks that button (BM_CLICK). The
// message loops below apply it; a destroyed window drops out by itself.
void UseKeyboardNavigation(HWND window, HWND enterButton = nullptr) noexcept;
// True when `msg` was such a key and has been handled.
bool HandleNavigationKey(const MSG& msg) noexcept;

// Runs messages until WM_QUIT; returns its exit code.
int RunMessageLoop() noexcept;
// Shows `window` modal over `owner`: the owner is disabled until `window`
// is destroyed. A WM_QUIT seen meanwhile is posted again for the outer loop.
void RunModal(HWND owner, HWND window) noexcept;

}  // namespace tw::win
