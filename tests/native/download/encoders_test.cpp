#include "download/encoders.h"

#include <gtest/gtest.h>

#include <string>

#include "text/cp1251.h"

namespace tw {
namespace {

// Every expected value below was checked by decoding it with
// urllib.parse.unquote_plus(value, encoding='cp1251') in python3, which gave
// back the login.
TEST(ConvertNick, EncodesEveryByteAndTheBlankAsPlus) {
  const struct {
    std::string login;
    std::string expected;
  } cases[] = {
      {"", ""},
      {"abc", "%61%62%63"},
      {"a b", "%61+%62"},
      {cp1251("Дима Ёж").str(), "%C4%E8%EC%E0+%A8%E6"},
      {cp1251("ёяА").str(), "%B8%FF%C0"},
      {"\t", "%09"},
      {"+%&=;", "%2B%25%26%3D%3B"},
  };
  for (const auto& c : cases) EXPECT_EQ(ConvertNick(c.login), c.expected) << c.login;
}

TEST(ConvertNick, LoginStartingWithPercentPassesUnchanged) {
  const std::string logins[] = {"%", "%61%62", "%zz ;x", std::string("%") + cp1251("Дима").str()};
  for (const std::string& login : logins) {
    EXPECT_EQ(ConvertNick(login), login);
  }
}

TEST(ConvertNick, PercentLoginWithControlBytesIsEncodedSoNoLineBreakPasses) {
  // Checked as above: decodes back to "%\r\nA".
  EXPECT_EQ(ConvertNick("%\r\nA"), "%25%0D%0A%41");
  const std::string logins[] = {std::string("%61\n"), std::string("%\x7f"), std::string("%a\0b", 4)};
  for (const std::string& login : logins) {
    const std::string out = ConvertNick(login);
    for (const char c : out) EXPECT_GE(static_cast<unsigned char>(c), 0x20) << login;
    EXPECT_EQ(out.size(), login.size() * 3);
  }
}

// Expected values from RFC 4648 section 10, and from coreutils
// `printf ... | base64 -w0` for the rest.
TEST(Base64Encode, MatchesReferenceEncodings) {
  const struct {
    std::string input;
    std::string expected;
  } cases[] = {
      {"", ""},
      {"f", "Zg=="},
      {"fo", "Zm8="},
      {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="},
      {"fooba", "Zm9vYmE="},
      {"foobar", "Zm9vYmFy"},
      {":", "Og=="},
      {"user:pass", "dXNlcjpwYXNz"},
      {cp1251("Прокси:Пароль").str(), "z/Du6vHoOs/g8O7r/A=="},
      {std::string("\x00\xff\xfe\x80", 4), "AP/+gA=="},
  };
  for (const auto& c : cases) EXPECT_EQ(Base64Encode(c.input), c.expected) << c.input;
}

TEST(Base64Encode, LongInputIsOneLine) {
  const std::string out = Base64Encode(std::string(100, 'x'));
  EXPECT_EQ(out.size(), 136u);  // coreutils gives 136 characters as well
  EXPECT_EQ(out.find_first_of("\r\n"), std::string::npos);
}

TEST(Base64Encode, EncodeTripletSplitsTheBitsAsDocumented) {
  const auto quad = EncodeTriplet(0x4D, 0x61, 0x6E);  // "Man" -> "TWFu"
  EXPECT_EQ(std::string(quad.data(), 4), "TWFu");
  const auto ones = EncodeTriplet(0xFF, 0xFF, 0xFF);
  EXPECT_EQ(std::string(ones.data(), 4), "////");
}

}  // namespace
}  // namespace tw
