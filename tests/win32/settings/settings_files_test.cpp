// The settings and credential files in a program folder whose path holds
// non-ASCII characters, written over older files by the platform's rename.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "files/atomic_file.h"
#include "files/replace_file.h"
#include "settings/credential_file.h"
#include "settings/settings.h"
#include "text/cp1251.h"

namespace tw {
namespace {

std::filesystem::path UnicodeFolder() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  return std::filesystem::path(temp) / (L"tw-Программа-\u4E2D-" + std::to_wstring(GetCurrentProcessId()));
}

TEST(SettingsFiles, RoundTripInUnicodeFolderOverOlderFiles) {
  const std::filesystem::path folder = UnicodeFolder();
  std::filesystem::create_directories(folder);
  Settings first;
  first.ID = "1";
  first.ProxyLogin = cp1251("Имя");
  ASSERT_TRUE(SaveSettings(folder, first));

  Settings second;
  second.ID = "0042";
  second.Guest = true;
  second.UseProxy = true;
  second.ProxyHost = "127.0.0.1";
  second.ProxyPort = "3128";
  second.ProxyPass = cp1251(" пароль ");
  second.Login = cp1251("Логин");
  second.Password = "pw";
  ASSERT_TRUE(SaveSettings(folder, second)) << "replacing the existing options.ini";
  Crypt crypt;
  ASSERT_EQ(crypt("old", "older", folder / kUserFile).status, CryptStatus::Written);
  ASSERT_EQ(crypt(second.Login, second.Password, folder / kUserFile).status, CryptStatus::Written)
      << "replacing the existing user.dat";

  Settings loaded;
  LoadSettings(folder, loaded);
  EXPECT_EQ(loaded, second);
  EXPECT_FALSE(std::filesystem::exists(folder / "options.ini.tmp"));
  EXPECT_FALSE(std::filesystem::exists(folder / "user.dat.tmp"));

  // The platform's reader sees the same values in the file we wrote.
  const std::wstring file = (folder / kOptionsFile).wstring();
  wchar_t buffer[255] = {};
  GetPrivateProfileStringW(L"Main", L"ProxyPass", L"", buffer, 255, file.c_str());
  // It decodes the file in the system code page; back in that code page the
  // bytes are the ones we wrote, whatever the code page is.
  char bytes[512] = {};
  const int n = WideCharToMultiByte(CP_ACP, 0, buffer, -1, bytes, sizeof(bytes), nullptr, nullptr);
  ASSERT_GT(n, 0);
  EXPECT_EQ(std::string(bytes), second.ProxyPass) << "ACP " << GetACP();

  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
}

// A replacement that cannot be finished leaves the old file whole and says
// so: the target is held by another program, or the temporary file is held
// so that it cannot be opened for its flush.
TEST(SettingsFiles, UnfinishedReplaceKeepsTheOldFile) {
  const std::filesystem::path folder = UnicodeFolder();
  std::filesystem::create_directories(folder);
  const std::filesystem::path ini = folder / "options.ini", temp = TemporaryFileFor(ini);
  Settings settings;
  settings.ID = "2";
  for (const bool holdTarget : {true, false}) {
    std::ofstream(ini, std::ios::binary) << "[Main]\r\nID=1\r\n";
    std::ofstream(temp, std::ios::binary) << "[Main]\r\nID=2\r\n";
    const HANDLE held = CreateFileW((holdTarget ? ini : temp).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    EXPECT_FALSE(holdTarget ? SaveSettings(folder, settings) : FlushAndReplace(temp, ini)) << holdTarget;
    CloseHandle(held);
    EXPECT_EQ(ReadFileBytes(ini), "[Main]\r\nID=1\r\n") << holdTarget;
  }
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
}

}  // namespace
}  // namespace tw
