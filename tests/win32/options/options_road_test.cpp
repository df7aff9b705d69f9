// The road to the options and back in the real application: command 2
// unloads the main window, command 1 without a profile hides it; closing
// the options by either button or the close box brings it back loaded anew.
#include <gtest/gtest.h>

#include <string>

#include "app/application.h"
#include "app/roads.h"
#include "settings/options_window.h"
#include "wait.h"
#include "win32/wide_text.h"

namespace tw {
namespace {

HWND FindOptions() { return FindWindowW(kOptionsClassName, nullptr); }

// The options window is ready for typing once Timer1 has put the profile
// back into Combo1 after filling its list; text typed before that is
// replaced (a person cannot type within its 10 ms, a test can).
bool OptionsReady() {
  const HWND hwnd = FindOptions();
  if (hwnd == nullptr || !IsWindowVisible(hwnd)) return false;
  auto* window =
      static_cast<OptionsWindow*>(reinterpret_cast<win::Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)));
  return window != nullptr && !window->Model().TimerEnabled(OptionsTimer::Timer1);
}

std::wstring TextOf(HWND hwnd) {
  wchar_t buffer[256] = {};
  GetWindowTextW(hwnd, buffer, 256);
  return buffer;
}

bool MainShown(Application& app) {
  return app.Main() != nullptr && app.Main()->Handle() != nullptr && IsWindowVisible(app.Main()->Handle());
}

// A space bar press on a focused picture button under the pointer clicks it.
void PressSpace(HWND button) {
  SetFocus(button);
  test::MovePointerTo(button, 28, 28);
  test::PumpMessages();
  SendMessageW(button, WM_KEYDOWN, VK_SPACE, 0);
  SendMessageW(button, WM_KEYUP, VK_SPACE, 0);
}

class OptionsRoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::filesystem::path(temp) / L"tw-options-road";
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override {
    test::PumpMessages();
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  std::filesystem::path folder_;
};

TEST_F(OptionsRoadTest, OptionsReplaceTheMainWindowUntilTheyClose) {
  Application app(folder_);
  WireOptions(app);
  ASSERT_TRUE(app.Start(SW_SHOW));
  // As after the intro: the commands can be clicked.
  app.Values().IntroDone = true;
  test::PumpMessages();
  EXPECT_EQ(TextOf(app.Main()->Handle()), L"Tallywick v 2.1 beta");

  // Command 1 without a profile: the main window hides, the options open.
  app.Main()->Model().OnButtonClick(1);
  ASSERT_TRUE(test::WaitFor(OptionsReady));
  EXPECT_FALSE(MainShown(app));
  // The profile typed and accepted with the picture button.
  const HWND options = FindOptions();
  SetWindowTextW(GetDlgItem(options, kOptionsCombo1), L"321");
  PressSpace(GetDlgItem(options, kOptionsXpB1));
  ASSERT_TRUE(test::WaitFor([&] { return FindOptions() == nullptr && MainShown(app); }));
  EXPECT_EQ(app.Values().settings.ID, "321");
  EXPECT_EQ(TextOf(app.Main()->Handle()), L"Tallywick v 2.1 beta  [id=321]")
      << "the caption names the profile just accepted";
  EXPECT_TRUE(std::filesystem::exists(folder_ / kOptionsFile));

  // Command 2: the main window is unloaded; the close box cancels.
  app.Main()->Model().OnButtonClick(2);
  ASSERT_TRUE(test::WaitFor(OptionsReady));
  EXPECT_FALSE(MainShown(app));
  SetWindowTextW(GetDlgItem(FindOptions(), kOptionsCombo1), L"999");
  SendMessageW(FindOptions(), WM_CLOSE, 0, 0);
  ASSERT_TRUE(test::WaitFor([&] { return FindOptions() == nullptr && MainShown(app); }));
  EXPECT_EQ(app.Values().settings.ID, "321");
  EXPECT_EQ(TextOf(app.Main()->Handle()), L"Tallywick v 2.1 beta  [id=321]");
  // Back at once in the ready state: the three commands are there.
  for (int n = 1; n <= 3; ++n) EXPECT_TRUE(IsWindowVisible(app.Main()->Button(n).Handle())) << n;

  // Cancel with XpB2.
  app.Main()->Model().OnButtonClick(2);
  ASSERT_TRUE(test::WaitFor([] { return FindOptions() != nullptr; }));
  PressSpace(GetDlgItem(FindOptions(), kOptionsXpB2));
  ASSERT_TRUE(test::WaitFor([&] { return FindOptions() == nullptr && MainShown(app); }));
  test::MovePointerAway();
}

}  // namespace
}  // namespace tw
