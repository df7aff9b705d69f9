// Dialog keys in windows that are not dialog boxes: Tab walks the focus
// through the tab stops, Esc asks the window to close, other windows and
// other keys are left alone.
#include <gtest/gtest.h>

#include "wait.h"
#include "win32/window.h"

namespace tw::win {
namespace {

class Form : public Window {
 public:
  int closeRequests = 0;
  HWND first = nullptr, label = nullptr, second = nullptr;

  bool Open() {
    if (!CreateWindowOf(L"TallywickKeyboardTest", 0, WS_OVERLAPPEDWINDOW | WS_VISIBLE, L"keys", 50, 50, 300,
                        200, nullptr, nullptr)) {
      return false;
    }
    first = Child(L"EDIT", WS_TABSTOP, 10);
    label = Child(L"STATIC", 0, 40);
    second = Child(L"EDIT", WS_TABSTOP, 70);
    SetWindowTextW(second, L"typed");
    return true;
  }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_CLOSE) {
      ++closeRequests;
      return 0;
    }
    return Default(msg, wParam, lParam);
  }

 private:
  HWND Child(const wchar_t* cls, DWORD style, int y) {
    return CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | style, 10, y, 200, 22, Handle(), nullptr,
                           ProgramInstance(), nullptr);
  }
};

MSG Key(HWND target, WPARAM key) {
  MSG msg{};
  msg.hwnd = target;
  msg.message = WM_KEYDOWN;
  msg.wParam = key;
  return msg;
}

TEST(KeyboardNavigation, TabMovesToTheNextTabStopAndSelectsItsText) {
  Form form;
  ASSERT_TRUE(form.Open());
  UseKeyboardNavigation(form.Handle());
  SetForegroundWindow(form.Handle());
  SetFocus(form.first);
  ASSERT_EQ(GetFocus(), form.first);

  EXPECT_TRUE(HandleNavigationKey(Key(form.first, VK_TAB)));
  EXPECT_EQ(GetFocus(), form.second);  // the label has no tab stop
  DWORD from = 0, to = 0;
  SendMessageW(form.second, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 0u);
  EXPECT_EQ(to, 5u);

  EXPECT_TRUE(HandleNavigationKey(Key(form.second, VK_TAB)));
  EXPECT_EQ(GetFocus(), form.first);  // wraps around
}

TEST(KeyboardNavigation, EscapeAsksTheWindowToClose) {
  Form form;
  ASSERT_TRUE(form.Open());
  UseKeyboardNavigation(form.Handle());
  EXPECT_TRUE(HandleNavigationKey(Key(form.first, VK_ESCAPE)));
  EXPECT_TRUE(test::WaitFor([&] { return form.closeRequests == 1; }));
  EXPECT_TRUE(IsWindow(form.Handle()));  // closing stays the window's own decision
}

TEST(KeyboardNavigation, OtherWindowsAndKeysPassThrough) {
  Form plain;
  ASSERT_TRUE(plain.Open());
  EXPECT_FALSE(HandleNavigationKey(Key(plain.first, VK_TAB)));
  EXPECT_FALSE(HandleNavigationKey(Key(plain.first, VK_ESCAPE)));

  Form form;
  ASSERT_TRUE(form.Open());
  UseKeyboardNavigation(form.Handle());
  EXPECT_FALSE(HandleNavigationKey(Key(form.first, VK_RETURN)));
  MSG up = Key(form.first, VK_TAB);
  up.message = WM_KEYUP;
  EXPECT_FALSE(HandleNavigationKey(up));

  // A destroyed window's handle no longer counts, even for a message that
  // still names it.
  const HWND gone = form.first;
  form.Destroy();
  EXPECT_FALSE(HandleNavigationKey(Key(gone, VK_TAB)));
}

}  // namespace
}  // namespace tw::win
