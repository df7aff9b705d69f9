// The options window under Wine: captions of every control, the anonymous
// layout, the profile list and its clearing, accept and cancel on real
// files, the close box and the ID help balloon with the real pointer.
#include "settings/options_window.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "settings/credential_file.h"
#include "wait.h"
#include "win32/wide_text.h"

namespace tw {
namespace {

std::wstring TextOf(HWND hwnd) {
  wchar_t buffer[512] = {};
  GetWindowTextW(hwnd, buffer, 512);
  return buffer;
}

std::wstring W(const std::string& cp) { return win::Widen(cp); }

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

bool Visible(HWND hwnd) { return (GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }

class OptionsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    // A Unicode program folder, as a user may unpack the program anywhere.
    folder_ = std::filesystem::path(temp) / L"tw-options-\u043f\u0430\u043f\u043a\u0430";
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    values_.programFolder = folder_;
    anchor_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 1200, 0, 10, 10, nullptr, nullptr,
                              nullptr, nullptr);
    test::MovePointerAway();
    test::PumpMessages();
  }
  void TearDown() override {
    window_.reset();
    DestroyWindow(anchor_);
    test::PumpMessages();
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }

  void Open() {
    window_ = std::make_unique<OptionsWindow>(values_);
    window_->onClosed = [this] { ++closed_; };
    window_->askHook = [this](const std::string& q) {
      questions_.push_back(q);
      return answer_;
    };
    window_->messageHook = [this](const std::string& m) { messages_.push_back(m); };
    ASSERT_TRUE(window_->Load());
    test::PumpMessages();
  }
  HWND Ctl(int id) const { return window_->Control(id); }
  std::vector<std::wstring> ComboEntries() const {
    std::vector<std::wstring> entries;
    const HWND combo = Ctl(kOptionsCombo1);
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      wchar_t buffer[256] = {};
      SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
      entries.push_back(buffer);
    }
    return entries;
  }
  // Picks entry `index` from the list as a click on it would.
  void Pick(int index) {
    const HWND combo = Ctl(kOptionsCombo1);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    const std::wstring entry = ComboEntries()[static_cast<std::size_t>(index)];
    SendMessageW(window_->Handle(), WM_COMMAND, MAKEWPARAM(kOptionsCombo1, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
    // After the notification the combo shows the picked entry itself.
    SetWindowTextW(combo, entry.c_str());
  }
  void Type(int textId, const wchar_t* text) { SetWindowTextW(Ctl(textId), text); }

  std::filesystem::path folder_;
  MainProgramValues values_;
  std::unique_ptr<OptionsWindow> window_;
  HWND anchor_ = nullptr;
  int closed_ = 0;
  bool answer_ = false;
  std::vector<std::string> questions_;
  std::vector<std::string> messages_;
};

TEST_F(OptionsWindowTest, EveryControlCarriesItsCaption) {
  values_.settings.Guest = false;
  Open();
  EXPECT_EQ(TextOf(window_->Handle()), W(kOptionsCaption));
  const std::string texts[] = {
      "",
      cp1251("ID пользователя для проверки:"),
      cp1251("Авторизация на дневниках"),
      cp1251("Использовать анонимный вход"),
      cp1251("Профиль пользователя должен быть доступен для анонимного (гостевого) просмотра."),
      cp1251("Логин:"),
      cp1251("Пароль:"),
      cp1251("Сохранить логин и пароль"),
      cp1251("Адрес:"),
      cp1251("Порт:"),
      cp1251("Настройки сети"),
      cp1251("Использовать прокси-сервер"),
      cp1251("Авторизация на прокси"),
      cp1251("Логин:"),
      cp1251("Пароль:"),
  };
  for (int n = 1; n <= 14; ++n) {
    const HWND label = Ctl(kOptionsLabel(n));
    ASSERT_NE(label, nullptr) << "Label" << n;
    EXPECT_EQ(TextOf(label), W(texts[n])) << "Label" << n;
  }
  for (int n = 1; n <= 6; ++n) EXPECT_NE(Ctl(kOptionsText(n)), nullptr) << "Text" << n;
  EXPECT_EQ(SendMessageW(Ctl(kOptionsText(2)), EM_GETPASSWORDCHAR, 0, 0), L'*');
  EXPECT_EQ(SendMessageW(Ctl(kOptionsText(6)), EM_GETPASSWORDCHAR, 0, 0), L'*');
  EXPECT_EQ(SendMessageW(Ctl(kOptionsText(1)), EM_GETPASSWORDCHAR, 0, 0), 0);
  EXPECT_EQ(window_->Picture5Tooltip(), W(kPicture5Tooltip));
  EXPECT_EQ(window_->XpB(1).Picture().bitmap, window_->PictureBitmap(OptionsPicture::Picture1));
  EXPECT_EQ(window_->XpB(2).Picture().bitmap, window_->PictureBitmap(OptionsPicture::Picture3));
  EXPECT_NE(window_->PictureBitmap(OptionsPicture::Picture4), nullptr);
  EXPECT_TRUE(window_->XpB(1).Properties().Caption.empty());
}

TEST_F(OptionsWindowTest, AnonymousModeShowsTheNoteInsteadOfTheLoginFields) {
  values_.settings.Guest = true;
  Open();
  const int login[] = {kOptionsLabel(5), kOptionsLabel(6), kOptionsLabel(7), kOptionsText(1),
                       kOptionsText(2)};
  EXPECT_TRUE(Visible(Ctl(kOptionsLabel(4))));
  for (int id : login) EXPECT_FALSE(Visible(Ctl(id))) << id;
  EXPECT_FALSE(Visible(window_->Check(2).Handle()));
  EXPECT_TRUE(window_->Check(1).Value());

  // A click on the label beside Check1 switches anonymous access off.
  SendMessageW(window_->Handle(), WM_COMMAND, MAKEWPARAM(kOptionsLabel(3), STN_CLICKED),
               reinterpret_cast<LPARAM>(Ctl(kOptionsLabel(3))));
  EXPECT_FALSE(window_->Check(1).Value());
  EXPECT_FALSE(Visible(Ctl(kOptionsLabel(4))));
  for (int id : login) EXPECT_TRUE(Visible(Ctl(id))) << id;
  EXPECT_TRUE(Visible(window_->Check(2).Handle()));
  // The proxy controls never change.
  EXPECT_TRUE(Visible(Ctl(kOptionsText(5))));
  EXPECT_TRUE(IsWindowEnabled(Ctl(kOptionsText(5))));
}

TEST_F(OptionsWindowTest, ProfileListAndClearing) {
  values_.settings.ID = "123";
  WriteBytes(folder_ / "123.id", "1%a\r\n");
  WriteBytes(folder_ / "45.id", "1%a\r\n");
  WriteBytes(folder_ / "tmp.id", "1%a\r\n");
  Open();
  EXPECT_FALSE(std::filesystem::exists(folder_ / "tmp.id"));
  EXPECT_EQ(ComboEntries(), (std::vector<std::wstring>{L"123", L"45", W(kClearProfilesEntry)}));
  EXPECT_EQ(TextOf(Ctl(kOptionsCombo1)), L"123");

  // No: every file stays and the ID comes back into the text.
  answer_ = false;
  Pick(2);
  ASSERT_EQ(questions_.size(), 1u);
  EXPECT_EQ(questions_[0], ClearProfilesQuestion("123"));
  EXPECT_TRUE(std::filesystem::exists(folder_ / "45.id"));
  EXPECT_EQ(TextOf(Ctl(kOptionsCombo1)), W(kClearProfilesEntry));
  EXPECT_TRUE(test::WaitFor([&] { return TextOf(Ctl(kOptionsCombo1)) == L"123"; }, 2000));
  EXPECT_FALSE(window_->Model().TimerEnabled(OptionsTimer::Timer1));

  // Picking another profile only puts it into the text.
  ASSERT_TRUE(test::WaitFor([&] { return !window_->Model().TimerEnabled(OptionsTimer::Timer1); }, 2000));
  Pick(1);
  EXPECT_EQ(questions_.size(), 1u);
  EXPECT_EQ(TextOf(Ctl(kOptionsCombo1)), L"45");

  answer_ = true;
  Pick(2);
  EXPECT_EQ(questions_.size(), 2u);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "45.id"));
  EXPECT_TRUE(std::filesystem::exists(folder_ / "123.id"));
  EXPECT_EQ(ComboEntries(), (std::vector<std::wstring>{L"123"}));
  EXPECT_TRUE(test::WaitFor([&] { return TextOf(Ctl(kOptionsCombo1)) == L"123"; }, 2000));
  EXPECT_EQ(closed_, 0) << "clearing does not close the window";
}

TEST_F(OptionsWindowTest, AcceptWritesTheFiles) {
  values_.settings.Guest = true;
  Open();
  SetWindowTextW(Ctl(kOptionsCombo1), L"777");
  window_->Check(1).SetValue(false);
  Type(kOptionsText(1), L"\u0412\u0430\u0441\u044f");  // Вася
  Type(kOptionsText(2), L"pa55w");
  window_->Check(2).SetValue(true);
  window_->Check(3).SetValue(true);
  Type(kOptionsText(3), L"127.0.0.1");
  Type(kOptionsText(4), L"3128");
  window_->XpB(1).events.Click();
  EXPECT_EQ(closed_, 1);
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(window_->Handle(), nullptr);

  Settings onDisk;
  LoadSettings(folder_, onDisk);
  EXPECT_EQ(onDisk.ID, "777");
  EXPECT_FALSE(onDisk.Guest);
  EXPECT_EQ(onDisk.Login, cp1251("Вася").str());
  EXPECT_EQ(onDisk.Password, "pa55w");
  EXPECT_TRUE(onDisk.UseProxy);
  EXPECT_EQ(onDisk.ProxyHost, "127.0.0.1");
  EXPECT_EQ(onDisk.ProxyPort, "3128");
  EXPECT_EQ(onDisk, values_.settings);

  // Opened again with saving switched off: user.dat goes.
  closed_ = 0;
  Open();
  EXPECT_EQ(TextOf(Ctl(kOptionsText(1))), L"\u0412\u0430\u0441\u044f");
  window_->Check(2).SetValue(false);
  window_->XpB(1).events.Click();
  EXPECT_EQ(closed_, 1);
  EXPECT_FALSE(std::filesystem::exists(folder_ / kUserFile));
}

TEST_F(OptionsWindowTest, RefusedAcceptKeepsTheWindowAndTheFiles) {
  values_.settings.ID = "123";
  values_.settings.Login = "old";
  values_.settings.Password = "secret";
  values_.settings.SaveLoginPassword = true;
  ASSERT_TRUE(SaveSettings(folder_, values_.settings));
  Crypt crypt;
  ASSERT_EQ(crypt("old", "secret", folder_ / kUserFile).status, CryptStatus::Written);
  const std::string ini = ReadBytes(folder_ / kOptionsFile);
  const std::string user = ReadBytes(folder_ / kUserFile);
  Open();
  Type(kOptionsText(1), std::wstring(20, L'a').c_str());
  Type(kOptionsText(2), std::wstring(20, L'b').c_str());
  window_->XpB(1).events.Click();
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_NE(messages_[0].find("25"), std::string::npos) << "the message names the limit";
  SetWindowTextW(Ctl(kOptionsCombo1), L"12x");
  Type(kOptionsText(1), L"new");
  Type(kOptionsText(2), L"pass");
  window_->XpB(1).events.Click();
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_EQ(messages_[1], kBadProfileIdMessage.str());
  EXPECT_EQ(closed_, 0);
  EXPECT_TRUE(IsWindow(window_->Handle()));
  EXPECT_EQ(TextOf(Ctl(kOptionsText(1))), L"new") << "nothing typed is lost";
  EXPECT_EQ(ReadBytes(folder_ / kOptionsFile), ini);
  EXPECT_EQ(ReadBytes(folder_ / kUserFile), user);
}

TEST_F(OptionsWindowTest, CancelAndTheCloseBoxLeaveTheFilesAsTheyWere) {
  values_.settings.ID = "123";
  values_.settings.Login = "old";
  values_.settings.Password = "secret";
  values_.settings.SaveLoginPassword = true;
  ASSERT_TRUE(SaveSettings(folder_, values_.settings));
  Crypt crypt;
  ASSERT_EQ(crypt("old", "secret", folder_ / kUserFile).status, CryptStatus::Written);
  const std::string ini = ReadBytes(folder_ / kOptionsFile);
  const std::string user = ReadBytes(folder_ / kUserFile);
  const Settings before = values_.settings;

  Open();
  SetWindowTextW(Ctl(kOptionsCombo1), L"999");
  Type(kOptionsText(1), L"other");
  window_->Check(2).SetValue(false);
  window_->XpB(2).events.Click();
  EXPECT_EQ(closed_, 1);

  Open();
  Type(kOptionsText(3), L"proxy.example");
  SendMessageW(window_->Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(closed_, 2) << "the close box acts like XpB2";
  EXPECT_EQ(window_->Handle(), nullptr);

  EXPECT_EQ(values_.settings, before);
  EXPECT_EQ(ReadBytes(folder_ / kOptionsFile), ini);
  EXPECT_EQ(ReadBytes(folder_ / kUserFile), user);
}

TEST_F(OptionsWindowTest, IdHelpBalloonStaysWhileThePointerIsOnPicture5) {
  Open();
  const HWND picture = window_->Picture5();
  RECT r{};
  GetClientRect(picture, &r);
  POINT centre{r.right / 2, r.bottom / 2};
  ClientToScreen(picture, &centre);
  SetCursorPos(centre.x, centre.y);
  ASSERT_TRUE(test::WaitFor([&] {
    POINT p{};
    GetCursorPos(&p);
    return WindowFromPoint(p) == picture;
  }));
  SendMessageW(picture, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(8, 8));
  EXPECT_EQ(window_->IDTipWindow(), nullptr) << "the right button shows nothing";
  SendMessageW(picture, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 8));
  ASSERT_NE(window_->IDTipWindow(), nullptr);
  EXPECT_TRUE(IsWindowVisible(window_->IDTipWindow()));
  EXPECT_EQ(window_->Picture5Tooltip(), L"");
  // Several ticks of Timer2 with the pointer still there.
  test::WaitFor([] { return false; }, 100);
  EXPECT_NE(window_->IDTipWindow(), nullptr);

  test::MovePointerAway();
  EXPECT_TRUE(test::WaitFor([&] { return window_->IDTipWindow() == nullptr; }, 2000));
  EXPECT_EQ(window_->Picture5Tooltip(), W(kPicture5Tooltip));
  EXPECT_FALSE(window_->Model().TimerEnabled(OptionsTimer::Timer2));
}

}  // namespace
}  // namespace tw
