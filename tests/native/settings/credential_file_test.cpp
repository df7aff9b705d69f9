#include "settings/credential_file.h"

#include <gtest/gtest.h>

#include "settings/temp_folder.h"
#include "text/cp1251.h"

namespace tw {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

Crypt::FillerSource CountingFiller() {
  auto next = std::make_shared<int>(0);
  return [next]() { return static_cast<unsigned char>(50 + (*next)++ % 150); };
}

// The record for login "abc" and password "x1Y9z", worked out by hand:
//   NumCode("abc")   = " 270 273 276"          -> L' = "672 372 072 "  (12)
//   NumCode("x1Y9z") = " 339 126 246 150 345"  -> P' = "543 051 642 621 933 " (20)
//   12 * 1024 + 3 = 12291 -> " 126 129 129 150 126" -> C1 below
//   20 * 1024 + 5 = 20485 -> " 129 123 135 147 138" -> C2 below
TEST(Crypt, RecordMatchesTheLayoutByteForByte) {
  const std::string c1 = " 75 126 129 141 75 126 129 150 75 126 129 150 75 126 138 123 75 126 129 141";
  const std::string c2 = " 75 126 129 150 75 126 129 132 75 126 132 138 75 126 135 144 75 126 132 147";
  const std::string secret = "672 372 072 543 051 642 621 933 ";

  Crypt crypt(CountingFiller());
  std::string record;
  ASSERT_EQ(crypt.BuildRecord("abc", "x1Y9z", record).status, CryptStatus::Written);
  ASSERT_EQ(record.size(), 5216 + c1.size() + 1 + c2.size() + 12);

  const auto at = [&](std::size_t position, std::size_t length) {
    return record.substr(position - 1, length);
  };
  EXPECT_EQ(at(1, 65), ";[Key File]\r\n;[Do not edit!]\r\n\r\n{bytes total 5120}\r\n{start key}\r\n");
  EXPECT_EQ(at(5186, 31), "\r\n{end key}\r\n\r\n{control code}\r\n");
  EXPECT_EQ(at(5217, c1.size()), c1);
  EXPECT_EQ(record[5217 + c1.size() - 1], '\0');
  EXPECT_EQ(at(5218 + c1.size(), c2.size()), c2);
  EXPECT_EQ(record.substr(record.size() - 12), "\r\n{end file}");

  for (std::size_t position = 66; position <= 5185; ++position) {
    const std::size_t slot = position % 49 == 0 && position > 100 ? (position - 147) / 49 : secret.size();
    const char expected = slot < secret.size() ? secret[slot] : static_cast<char>(50 + (position - 66) % 150);
    ASSERT_EQ(record[position - 1], expected) << "position " << position;
  }

  TempFolder folder;
  ASSERT_EQ(crypt("abc", "x1Y9z", folder / "user.dat").status, CryptStatus::Written);
  const std::string file = ReadBytes(folder / "user.dat");
  EXPECT_EQ(file.size(), record.size() + 2);
  EXPECT_EQ(file.substr(file.size() - 2), "\r\n");
  EXPECT_EQ(crypt.EnCrypt(folder / "user.dat", 1), "abc");
  EXPECT_EQ(crypt.EnCrypt(folder / "user.dat", 2), "x1Y9z");
}

TEST(Crypt, RoundTripsAndRetStrChoosesTheValue) {
  struct Case {
    std::string login;
    std::string password;
  };
  const Case cases[] = {
      {"abc", "pass1"},
      {"0123456789", "42"},
      {cp1251("ЁжикЯщерица"), cp1251("эюя")},
      {"\xC0\xFF", "a b!\"#$%&'("},
      {"\x07\x08\x09\x0A", "\x0B\x1F"},  // control codes from 7 on survive
      {std::string(25, 'W'), "x"},       // not quite: 26 letters need 104 slots
  };
  TempFolder folder;
  for (std::size_t i = 0; i + 1 < std::size(cases); ++i) {
    const Case& c = cases[i];
    Crypt crypt;
    const auto path = folder / ("user" + std::to_string(i) + ".dat");
    ASSERT_EQ(crypt(c.login, c.password, path).status, CryptStatus::Written) << i;
    EXPECT_EQ(crypt.EnCrypt(path, 1), c.login) << i;
    for (int retStr : {2, 0, -1, 7}) EXPECT_EQ(crypt.EnCrypt(path, retStr), c.password) << i << " " << retStr;
  }
  Crypt crypt;
  EXPECT_EQ(crypt(cases[5].login, cases[5].password, folder / "long.dat").status, CryptStatus::TooLong);
  EXPECT_EQ(crypt.EnCrypt(folder / "none.dat", 1), "");
  EXPECT_EQ(crypt.EnCrypt(folder / "none.dat", 2), "");
}

TEST(Crypt, TwoWritesDifferButBothReadBack) {
  TempFolder folder;
  Crypt crypt;
  ASSERT_EQ(crypt("user", "secret", folder / "a.dat").status, CryptStatus::Written);
  ASSERT_EQ(crypt("user", "secret", folder / "b.dat").status, CryptStatus::Written);
  const std::string a = ReadBytes(folder / "a.dat");
  const std::string b = ReadBytes(folder / "b.dat");
  EXPECT_NE(a, b);
  EXPECT_EQ(a.substr(0, 65), b.substr(0, 65)) << "the header lines are fixed";
  for (const char* name : {"a.dat", "b.dat"}) {
    EXPECT_EQ(crypt.EnCrypt(folder / name, 1), "user");
    EXPECT_EQ(crypt.EnCrypt(folder / name, 2), "secret");
  }
  for (std::size_t i = 65; i < 5185; ++i) {
    const auto code = static_cast<unsigned char>(a[i]);
    if ((i + 1) % 49 != 0) {
      ASSERT_TRUE(code >= 50 && code <= 199) << "filler at " << i + 1;
    }
  }
}

TEST(Crypt, RefusalsWriteNothingAndKeepTheOldFile) {
  TempFolder folder;
  const auto path = folder / "user.dat";
  Crypt crypt;
  ASSERT_EQ(crypt("old", "older", path).status, CryptStatus::Written);
  const std::string before = ReadBytes(path);

  struct Case {
    std::string login;
    std::string password;
    CryptStatus expected;
  };
  const Case cases[] = {
      {"", "pw", CryptStatus::Skipped},
      {"me", "", CryptStatus::Skipped},
      {"me", std::string("a\0b", 3), CryptStatus::BadCharacter},
      {"\x06", "pw", CryptStatus::BadCharacter},
      {std::string(13, 'a'), std::string(13, 'b'), CryptStatus::TooLong},  // 104 slots
      {std::string(100, 'a'), "b", CryptStatus::TooLong},
  };
  for (const Case& c : cases) {
    const CryptResult result = crypt(c.login, c.password, path);
    EXPECT_EQ(result.status, c.expected) << c.login.size() << "/" << c.password.size();
    EXPECT_EQ(ReadBytes(path), before);
  }
  EXPECT_EQ(crypt("a", "b", "").status, CryptStatus::Skipped);
  // 25 letters always fit; 26 characters fit when one is a blank (103 slots).
  EXPECT_EQ(crypt(std::string(12, 'a'), std::string(13, 'b'), folder / "x.dat").status, CryptStatus::Written);
  EXPECT_EQ(crypt(std::string(12, 'a'), std::string(13, 'b') + " ", folder / "y.dat").status,
            CryptStatus::Written);
  EXPECT_EQ(crypt.EnCrypt(folder / "y.dat", 2), std::string(13, 'b') + " ");

  const CryptResult tooLong = crypt(std::string(13, 'a'), std::string(14, 'b'), path);
  EXPECT_EQ(tooLong.characters, 27u);
  EXPECT_EQ(
      CryptRefusalMessage(tooLong),
      cp1251("Логин и пароль вместе слишком длинные, чтобы их сохранить: вместе в них можно не больше 25 "
             "знаков, а сейчас 27 (логин и пароль не сохранены).")
          .str());
  EXPECT_NE(CryptRefusalMessage({CryptStatus::BadCharacter, 0, 0}), "");
  EXPECT_EQ(CryptRefusalMessage({CryptStatus::Written, 0, 0}), "");

  std::filesystem::create_directory(folder / "user.dat.tmp");
  EXPECT_EQ(crypt("new", "newer", path).status, CryptStatus::WriteFailed);
  EXPECT_EQ(ReadBytes(path), before);
}

TEST(Crypt, DamagedRecordsGiveEmptyStrings) {
  Crypt crypt(CountingFiller());
  std::string record;
  ASSERT_EQ(crypt.BuildRecord("login", "password", record).status, CryptStatus::Written);
  record += "\r\n";
  const Credentials good = ReadCredentialRecord(record);
  ASSERT_EQ(good.login, "login");
  ASSERT_EQ(good.password, "password");

  // Every cut of the record reads without going out of bounds; a cut that
  // reaches into the codes or the slots gives nothing rather than garbage.
  for (std::size_t size = 0; size < record.size(); ++size) {
    const Credentials cut = ReadCredentialRecord(std::string_view(record).substr(0, size));
    const bool intact = cut.login == good.login && cut.password == good.password;
    const bool empty = cut.login.empty() && cut.password.empty();
    ASSERT_TRUE(intact || empty) << "cut at " << size;
  }

  const std::size_t codes = record.find("{control code}") + 16;
  std::string letters = record;
  letters[codes + 2] = 'x';  // a length code that is not a number
  EXPECT_EQ(ReadCredentialRecord(letters).login, "");
  EXPECT_EQ(ReadCredentialRecord(letters).password, "");

  std::string noEnd = record;
  noEnd.replace(noEnd.find("{end file}"), 10, "{end fil?}");
  EXPECT_EQ(ReadCredentialRecord(noEnd).password, "");

  std::string tiny = "{control code}\r\n 75";
  tiny += '\0';
  tiny += " 75{end file}";
  const Credentials garbage = ReadCredentialRecord(tiny);
  EXPECT_EQ(garbage.login, "");
}

}  // namespace
}  // namespace tw
