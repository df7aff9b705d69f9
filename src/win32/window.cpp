#include "win32/window.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "program/resource_ids.h"
#include "program/window_place.h"

namespace tw::win {

HINSTANCE ProgramInstance() noexcept { return GetModuleHandleW(nullptr); }

Window::~Window() { Destroy(); }

RECT WorkAreaOf(HMONITOR monitor) noexcept {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (monitor == nullptr) monitor = MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
  if (monitor != nullptr && GetMonitorInfoW(monitor, &info)) return info.rcWork;
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

HMONITOR Window::Screen() const noexcept {
  return hwnd_ != nullptr ? MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST) : screen_;
}

POINT Window::OpeningCorner(SIZE frame, HWND owner) const noexcept {
  const RECT work =
      WorkAreaOf(owner != nullptr ? MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST) : screen_);
  RECT around = work;
  if (owner != nullptr) GetWindowRect(owner, &around);
  const PlacePoint at = CentreWindow({around.left, around.top, around.right, around.bottom}, frame.cx,
                                     frame.cy, {work.left, work.top, work.right, work.bottom});
  return {at.x, at.y};
}

void Window::Destroy() noexcept {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

bool Window::CreateWindowOf(const wchar_t* className, DWORD exStyle, DWORD style, const std::wstring& title,
                            int x, int y, int width, int height, HWND parent, HMENU menuOrId) {
  const HINSTANCE instance = ProgramInstance();
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (!GetClassInfoExW(instance, className, &existing)) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &Window::Thunk;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TALLYWICK));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    if (RegisterClassExW(&wc) == 0) return false;
  }
  CreateWindowExW(exStyle, className, title.c_str(), style, x, y, width, height, parent, menuOrId, instance,
                  this);
  return hwnd_ != nullptr;
}

LRESULT CALLBACK Window::Thunk(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  Window* self = nullptr;
  if (msg == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    self = static_cast<Window*>(create->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (self == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);

  LRESULT result = 0;
  try {
    result = self->HandleMessage(msg, wParam, lParam);
  } catch (...) {
    // Nothing may unwind through user32; a failed handler answers as the
    // default procedure would.
    result = DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  if (msg == WM_DESTROY) self->screen_ = MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->OnFinalDestroy();
  }
  return result;
}

namespace {

struct KeyboardWindow {
  HWND window;
  HWND enterButton;
};

std::vector<KeyboardWindow>& KeyboardWindows() {
  static std::vector<KeyboardWindow> windows;
  return windows;
}

bool IsTextField(HWND control) {
  wchar_t name[16] = {};
  return GetClassNameW(control, name, 16) != 0 && lstrcmpiW(name, L"Edit") == 0;
}

bool ComboDroppedDown(HWND control) {
  wchar_t name[16] = {};
  const HWND parent = GetParent(control);
  if (parent == nullptr || GetClassNameW(parent, name, 16) == 0) return false;
  return lstrcmpiW(name, L"ComboBox") == 0 && SendMessageW(parent, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

}  // namespace

void UseKeyboardNavigation(HWND window, HWND enterButton) noexcept {
  try {
    KeyboardWindows().push_back({window, enterButton});
  } catch (...) {
    // Without the entry the window simply keeps plain key handling.
  }
}

bool HandleNavigationKey(const MSG& msg) noexcept {
  if (msg.message != WM_KEYDOWN ||
      (msg.wParam != VK_TAB && msg.wParam != VK_ESCAPE && msg.wParam != VK_RETURN))
    return false;
  auto& windows = KeyboardWindows();
  windows.erase(std::remove_if(windows.begin(), windows.end(),
                               [](const KeyboardWindow& w) { return !IsWindow(w.window); }),
                windows.end());
  for (const auto& [window, enterButton] : windows) {
    if (msg.hwnd != window && !IsChild(window, msg.hwnd)) continue;
    if (msg.wParam == VK_RETURN) {
      // Enter in a text field is the window's tick; elsewhere the focused
      // control has it. An open drop-down list takes its choice first.
      if (enterButton == nullptr || !IsTextField(msg.hwnd) || ComboDroppedDown(msg.hwnd)) return false;
      if ((msg.lParam & (1 << 30)) == 0) SendMessageW(enterButton, BM_CLICK, 0, 0);
      return true;
    }
    if (msg.wParam == VK_ESCAPE) {
      if (ComboDroppedDown(msg.hwnd)) return false;  // Esc closes the drop-down list first
      PostMessageW(window, WM_CLOSE, 0, 0);
      return true;
    }
    const BOOL backwards = GetKeyState(VK_SHIFT) < 0 ? TRUE : FALSE;
    const HWND next = GetNextDlgTabItem(window, GetFocus(), backwards);
    if (next != nullptr) {
      SetFocus(next);
      if (IsTextField(next)) SendMessageW(next, EM_SETSEL, 0, -1);
    }
    return true;
  }
  return false;
}

int RunMessageLoop() noexcept {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (HandleNavigationKey(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

void RunModal(HWND owner, HWND window) noexcept {
  if (owner != nullptr) EnableWindow(owner, FALSE);
  ShowWindow(window, SW_SHOW);
  MSG msg;
  bool quit = false;
  int quitCode = 0;
  while (IsWindow(window)) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      quit = true;
      quitCode = static_cast<int>(msg.wParam);
      break;
    }
    if (HandleNavigationKey(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (owner != nullptr && IsWindow(owner)) {
    EnableWindow(owner, TRUE);
    SetActiveWindow(owner);
  }
  if (quit) PostQuitMessage(quitCode);
}

}  // namespace tw::win
