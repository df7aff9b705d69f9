// The main window under Wine: captions, the intro with the real pointer,
// hover pictures, the wink, the commands and the about window.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/about_window.h"
#include "deployment.h"
#include "wait.h"
#include "win32/shell.h"
#include "win32/wide_text.h"

namespace tw {
namespace {

class TestHost : public MainHost {
 public:
  std::string idOnDisk;
  Settings* settings = nullptr;
  std::vector<std::string> calls;
  bool AnotherInstanceRunning() override { return false; }
  void LoadSettings() override {
    calls.push_back("LoadSettings");
    settings->ID = idOnDisk;
  }
  void ShowDownload() override { calls.push_back("Download"); }
  void ShowOptions() override { calls.push_back("Options"); }
  void EndProgram() override { calls.push_back("End"); }
};

std::wstring TextOf(HWND hwnd) {
  wchar_t buffer[256] = {};
  GetWindowTextW(hwnd, buffer, 256);
  return buffer;
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::filesystem::path(temp) / L"tw-main-\u0444\u043e\u043b\u0434\u0435\u0440";
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    values_.programFolder = folder_;
    host_.settings = &values_.settings;
    win::SetOpenUrlHook([this](const std::string& url) { opened_.push_back(url); });
    // Wine moves the real pointer only for a process that has a window.
    anchor_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 1200, 0, 10, 10, nullptr, nullptr,
                              nullptr, nullptr);
    test::MovePointerAway();
    test::PumpMessages();
  }
  void TearDown() override {
    window_.reset();
    win::SetOpenUrlHook({});
    std::filesystem::remove_all(folder_);
    test::MovePointerAway();
    DestroyWindow(anchor_);
  }
  MainWindow& Load() {
    window_ = std::make_unique<MainWindow>(host_, values_);
    EXPECT_TRUE(window_->Load());
    window_->Show();
    SetForegroundWindow(window_->Handle());
    test::PumpMessages();
    return *window_;
  }
  // A read-only tmp.id, which only a forced deletion removes.
  void LeaveReadOnlyTmpList() {
    const std::filesystem::path tmp = folder_ / "tmp.id";
    std::ofstream(tmp) << "1%nick\r\n";
    ASSERT_TRUE(SetFileAttributesW(tmp.c_str(), FILE_ATTRIBUTE_READONLY));
  }
  bool Visible(int n) { return IsWindowVisible(window_->Button(n).Handle()) != FALSE; }
  void ClickAt(HWND hwnd, int x, int y) {
    test::MovePointerTo(hwnd, x, y);
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }

  std::filesystem::path folder_;
  MainProgramValues values_;
  TestHost host_;
  std::unique_ptr<MainWindow> window_;
  std::vector<std::string> opened_;
  HWND anchor_ = nullptr;
};

TEST_F(MainWindowTest, CaptionClientSizeAndLeftoverReadOnlyTmpList) {
  struct Case {
    std::string id;
    std::wstring caption;
  };
  const std::vector<Case> cases = {{"", L"Tallywick v 2.1 beta"}, {"123", L"Tallywick v 2.1 beta  [id=123]"}};
  for (const auto& c : cases) {
    LeaveReadOnlyTmpList();
    host_.idOnDisk = c.id;
    values_.settings = {};
    MainWindow& main = Load();
    EXPECT_EQ(TextOf(main.Handle()), c.caption) << "id " << c.id;
    EXPECT_FALSE(std::filesystem::exists(folder_ / "tmp.id")) << "id " << c.id;
    RECT client{};
    GetClientRect(main.Handle(), &client);
    EXPECT_EQ(client.right, kMainClientWidth);
    EXPECT_EQ(client.bottom, kMainClientHeight);
    EXPECT_EQ(main.Background(), MainPicture::Picture10) << "the pointer never moved over the window";
    EXPECT_NE(main.PictureBitmap(MainPicture::Picture10), nullptr) << "pictures come from the resources";
  }
}

TEST_F(MainWindowTest, IntroRevealsButtonsInOrderOnce) {
  MainWindow& main = Load();
  for (int n = 1; n <= 3; ++n) EXPECT_FALSE(Visible(n));
  test::PumpMessages();
  EXPECT_FALSE(Visible(1)) << "no buttons before the pointer moves";
  std::vector<int> order;
  test::MovePointerTo(main.Handle(), 200, 40);
  EXPECT_EQ(main.Background(), MainPicture::Picture11);
  bool movedAgain = false;
  ASSERT_TRUE(test::WaitFor([&] {
    for (int n = 1; n <= 3; ++n) {
      if (Visible(n) && std::find(order.begin(), order.end(), n) == order.end()) order.push_back(n);
    }
    if (!order.empty() && !movedAgain) {
      movedAgain = true;  // a movement during the reveal restarts nothing
      test::MovePointerTo(main.Handle(), 210, 50);
      EXPECT_FALSE(main.Model().TimerEnabled(MainTimer::Timer1));
    }
    return order.size() == 3;
  }));
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
  EXPECT_TRUE(values_.IntroDone);
  EXPECT_EQ(main.Model().State(), IntroState::Ready);

  // A later load goes straight to ready without reading the settings.
  host_.calls.clear();
  MainWindow& again = Load();
  EXPECT_TRUE(Visible(1) && Visible(2) && Visible(3));
  EXPECT_EQ(again.Background(), MainPicture::Picture11);
  EXPECT_TRUE(host_.calls.empty());
}

TEST_F(MainWindowTest, HoverSwapsBackgroundAndPicture) {
  values_.IntroDone = true;
  MainWindow& main = Load();
  struct Case {
    int n;
    MainPicture hoverBackground, hoverPicture, normalPicture;
  };
  const std::vector<Case> cases = {{1, MainPicture::Picture7, MainPicture::Picture1, MainPicture::Picture2},
                                   {2, MainPicture::Picture8, MainPicture::Picture3, MainPicture::Picture4},
                                   {3, MainPicture::Picture9, MainPicture::Picture5, MainPicture::Picture6}};
  for (const auto& c : cases) {
    EXPECT_EQ(main.ButtonPicture(c.n), c.normalPicture);
    test::MovePointerTo(main.Button(c.n).Handle(), 33, 33);
    ASSERT_TRUE(test::WaitFor([&] { return main.Background() == c.hoverBackground; })) << "button " << c.n;
    EXPECT_EQ(main.ButtonPicture(c.n), c.hoverPicture);
    EXPECT_EQ(main.Button(c.n).Picture().bitmap, main.PictureBitmap(c.hoverPicture));
    test::MovePointerTo(main.Handle(), 200, 40);
    ASSERT_TRUE(test::WaitFor([&] { return main.Background() == MainPicture::Picture11; }))
        << "button " << c.n;
    EXPECT_EQ(main.ButtonPicture(c.n), c.normalPicture);
  }
}

TEST_F(MainWindowTest, WinkShowsSixFacesThenBlank) {
  MainWindow& main = Load();
  SendMessageW(main.Handle(), WM_TIMER, 4, 0);
  std::vector<std::wstring> shown;
  for (int i = 0; i < 7; ++i) {
    SendMessageW(main.Handle(), WM_TIMER, 5, 0);
    shown.push_back(main.Label1Text());
  }
  EXPECT_EQ(shown, (std::vector<std::wstring>{L".)", L":)", L".)", L":)", L".)", L":)", L"  "}));
  EXPECT_FALSE(main.Model().TimerEnabled(MainTimer::Timer5));
}

TEST_F(MainWindowTest, EndCommandAndCloseBoxDeleteReadOnlyTmpList) {
  values_.IntroDone = true;
  MainWindow& main = Load();
  LeaveReadOnlyTmpList();
  ClickAt(main.Button(3).Handle(), 33, 33);
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"End"}));
  EXPECT_FALSE(std::filesystem::exists(folder_ / "tmp.id"));
  host_.calls.clear();
  LeaveReadOnlyTmpList();
  SendMessageW(main.Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"End"}));
  EXPECT_FALSE(std::filesystem::exists(folder_ / "tmp.id"));
}

TEST_F(MainWindowTest, CheckAndOptionsCommands) {
  values_.IntroDone = true;
  MainWindow& main = Load();
  ClickAt(main.Button(1).Handle(), 33, 33);
  EXPECT_FALSE(IsWindowVisible(main.Handle())) << "command 1 hides the window";
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"Options"})) << "no profile: the options window";
  EXPECT_EQ(main.ButtonPicture(1), MainPicture::Picture2);
  main.Show();
  host_.calls.clear();
  ClickAt(main.Button(2).Handle(), 33, 33);
  EXPECT_EQ(main.Handle(), nullptr) << "command 2 unloads the window";
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"Options"}));
}

TEST_F(MainWindowTest, Label1OpensQuotesAndImage1OpensAboutModal) {
  MainWindow& main = Load();
  SendMessageW(main.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(408, 18));
  EXPECT_EQ(opened_, (std::vector<std::string>{deploy::kQuotesUrl}));

  // The about window runs modal inside the click; look into it from a timer.
  static MainWindow* current;
  static bool ownerDisabled;
  static std::wstring caption;
  current = &main;
  ownerDisabled = false;
  caption.clear();
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
    const HWND about = current->AboutHandle();
    if (about == nullptr) return;
    KillTimer(nullptr, id);
    ownerDisabled = IsWindowEnabled(current->Handle()) == FALSE;
    caption = TextOf(about);
    DestroyWindow(about);
  });
  SendMessageW(main.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(340, 220));
  KillTimer(nullptr, timer);
  EXPECT_EQ(caption, L"\u041e \u043f\u0440\u043e\u0433\u0440\u0430\u043c\u043c\u0435");
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(IsWindowEnabled(main.Handle()));
}

TEST(AboutWindowTest, VersionLineLinksAndCloseButton) {
  std::vector<std::string> opened;
  win::SetOpenUrlHook([&](const std::string& url) { opened.push_back(url); });
  AboutWindow about;
  ASSERT_TRUE(about.Create(nullptr));
  ShowWindow(about.Handle(), SW_SHOW);
  test::PumpMessages();
  EXPECT_EQ(TextOf(GetDlgItem(about.Handle(), kAboutLabel1)),
            L"\u0412\u0435\u0440\u0441\u0438\u044f 2.1 beta");
  EXPECT_EQ(TextOf(GetDlgItem(about.Handle(), kAboutLabel3)), L"Orvane");
  EXPECT_EQ(TextOf(GetDlgItem(about.Handle(), kAboutLabel4)), win::Widen(deploy::kMakerHost));
  for (int id : {kAboutLabel3, kAboutLabel4, kAboutLabel6, kAboutLabel2}) {
    SendMessageW(about.Handle(), WM_COMMAND, MAKEWPARAM(id, STN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(about.Handle(), id)));
  }
  EXPECT_EQ(opened, (std::vector<std::string>{
                        std::string("http://") + deploy::kMainHost + "/member/?" + deploy::kAuthorId,
                        deploy::kHomeUrl,
                        std::string("http://") + deploy::kMainHost + "/~" + deploy::kSupportDiary + "/",
                    }));
  win::SetOpenUrlHook({});

  // S1 blinks with Timer1.
  const bool before = about.S1Visible();
  ASSERT_TRUE(test::WaitFor([&] { return about.S1Visible() != before; }, 3000));

  // Hovering the close button swaps its picture; a click closes the window.
  XpButton& close = about.XpB1();
  EXPECT_EQ(close.Picture().bitmap, about.Picture1());
  EXPECT_EQ(close.MaskColor(), kWhite);
  test::MovePointerTo(close.Handle(), 20, 20);
  ASSERT_TRUE(test::WaitFor([&] { return close.Picture().bitmap == about.Picture2(); }));
  test::MovePointerAway();
  ASSERT_TRUE(test::WaitFor([&] { return close.Picture().bitmap == about.Picture1(); }));
  test::MovePointerTo(close.Handle(), 20, 20);
  SendMessageW(close.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
  SendMessageW(close.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
  EXPECT_EQ(about.Handle(), nullptr);
  test::MovePointerAway();
}

}  // namespace
}  // namespace tw
