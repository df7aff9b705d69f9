#include "settings/settings.h"

#include <gtest/gtest.h>

#include "settings/credential_file.h"
#include "settings/temp_folder.h"
#include "text/cp1251.h"

namespace tw {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

Settings Sample() {
  Settings s;
  s.ID = "0012345";
  s.Guest = false;
  s.SaveLoginPassword = true;
  s.UseProxy = true;
  s.ProxyHost = "proxy.example";
  s.ProxyPort = "80a";  // kept as typed
  s.ProxyAuth = true;
  s.ProxyLogin = cp1251("Вася");
  s.ProxyPass = " p=w ";
  return s;
}

TEST(Settings, FirstRunWithoutOptionsFileIsAnonymousAndIgnoresUserDat) {
  TempFolder folder;
  Crypt crypt;
  ASSERT_EQ(crypt("login", "pass", folder / kUserFile).status, CryptStatus::Written);
  Settings s;
  LoadSettings(folder.path(), s);
  Settings expected;
  expected.Guest = true;
  EXPECT_EQ(s, expected) << "only Guest is set; Login stays empty although user.dat exists";
}

TEST(Settings, FileWithOnlyLastUpdateGivesEmptyFields) {
  TempFolder folder;
  WriteBytes(folder / kOptionsFile, "[Main]\r\nLastUpdate=01.02.2026\r\n");
  Settings s;
  s.Guest = true;
  s.ID = "old";
  LoadSettings(folder.path(), s);
  EXPECT_EQ(s, Settings{});
}

TEST(Settings, RoundTripWithCredentialsAndFreshKeyOrder) {
  TempFolder folder;
  Settings saved = Sample();
  ASSERT_TRUE(SaveSettings(folder.path(), saved));
  EXPECT_EQ(ReadBytes(folder / kOptionsFile),
            cp1251("[Main]\r\nID=0012345\r\nGuest=False\r\nSaveLoginPassword=True\r\nUseProxy=True\r\n"
                   "ProxyHost=proxy.example\r\nProxyPort=80a\r\nProxyAuth=True\r\nProxyLogin=Вася\r\n"
                   "ProxyPass=\" p=w \"\r\n")
                .str());
  Crypt crypt;
  saved.Login = cp1251("Логин");
  saved.Password = "secret1";
  ASSERT_EQ(crypt(saved.Login, saved.Password, folder / kUserFile).status, CryptStatus::Written);
  Settings loaded;
  LoadSettings(folder.path(), loaded);
  EXPECT_EQ(loaded, saved);
}

TEST(Settings, SavingTwiceKeepsEachKeyOnceInPlace) {
  TempFolder folder;
  WriteBytes(folder / kOptionsFile, "; mine\n[Other]\nX=1\n[Main]\nLastUpdate=d\n");
  ASSERT_TRUE(SaveSettings(folder.path(), Sample()));
  Settings second;
  second.ID = "7";
  second.Guest = true;
  ASSERT_TRUE(SaveSettings(folder.path(), second));
  EXPECT_EQ(ReadBytes(folder / kOptionsFile),
            "; mine\n[Other]\nX=1\n[Main]\nLastUpdate=d\nID=7\nGuest=True\nSaveLoginPassword=False\n"
            "UseProxy=False\nProxyHost=\nProxyPort=\nProxyAuth=False\nProxyLogin=\nProxyPass=\n");
  Settings loaded;
  LoadSettings(folder.path(), loaded);
  EXPECT_EQ(loaded, second);
}

TEST(Settings, DailyCheckKeysAppearOnlyOnceTurnedOnAndOlderFilesReadOff) {
  TempFolder folder;
  WriteBytes(folder / kOptionsFile, "[Main]\r\nID=7\r\n");
  Settings old;
  LoadSettings(folder.path(), old);
  EXPECT_FALSE(old.AutoCheck);
  EXPECT_EQ(old.AutoCheckTime, kDefaultCheckTime);
  ASSERT_TRUE(SaveSettings(folder.path(), old));
  EXPECT_EQ(ReadBytes(folder / kOptionsFile).find("AutoCheck"), std::string::npos) << "off, never used";

  Settings on = old;
  on.AutoCheck = true;
  on.AutoCheckTime = "23:00";
  ASSERT_TRUE(SaveSettings(folder.path(), on));
  on.AutoCheck = false;  // switched off again: the key stays, with False
  ASSERT_TRUE(SaveSettings(folder.path(), on));
  EXPECT_NE(ReadBytes(folder / kOptionsFile).find("AutoCheck=False\r\nAutoCheckTime=23:00\r\n"),
            std::string::npos);
  Settings loaded;
  LoadSettings(folder.path(), loaded);
  EXPECT_EQ(loaded, on);

  WriteBytes(folder / kOptionsFile, "[Main]\r\nAutoCheck=True\r\nAutoCheckTime=9:00\r\n");
  LoadSettings(folder.path(), loaded);
  EXPECT_TRUE(loaded.AutoCheck);
  EXPECT_EQ(loaded.AutoCheckTime, kDefaultCheckTime) << "a damaged time falls back to the default";
  for (const char* good : {"00:00", "09:00", "23:59"}) EXPECT_TRUE(IsCheckTime(good)) << good;
  for (const char* bad : {"", "9:00", "24:00", "12:60", "12-00", "12:00 ", "aa:bb"}) {
    EXPECT_FALSE(IsCheckTime(bad)) << bad;
  }
}

TEST(Settings, OnlyExactTrueReadsAsTrue) {
  TempFolder folder;
  WriteBytes(folder / kOptionsFile,
             "[Main]\r\nGuest=true\r\nUseProxy=1\r\nProxyAuth=TRUE\r\nSaveLoginPassword=True\r\n");
  Settings s;
  LoadSettings(folder.path(), s);
  EXPECT_FALSE(s.Guest);
  EXPECT_FALSE(s.UseProxy);
  EXPECT_FALSE(s.ProxyAuth);
  EXPECT_TRUE(s.SaveLoginPassword);
}

TEST(Settings, UnwritableFileIsReportedNotSaved) {
  TempFolder folder;
  EXPECT_FALSE(SaveSettings(folder / "missing", Sample()));
  std::filesystem::create_directory(folder / kOptionsFile);
  EXPECT_FALSE(SaveSettings(folder.path(), Sample()));
}

TEST(Settings, ProfileIdIsDigitsOnly) {
  for (const char* good : {"0", "123", "0012345", "99999999999999999999"}) {
    EXPECT_TRUE(IsValidProfileId(good)) << good;
  }
  for (const char* bad : {"", " 1", "1 ", "12a", "-1", "+1", "1.0", "..\\1", "1/2", "\xB9"}) {
    EXPECT_FALSE(IsValidProfileId(bad)) << bad;
  }
  EXPECT_FALSE(IsValidProfileId(std::string_view("1\0", 2)));
}

}  // namespace
}  // namespace tw
