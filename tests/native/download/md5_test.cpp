#include "download/md5.h"

#include <gtest/gtest.h>

#include <string>

#include "text/cp1251.h"

namespace tw {
namespace {

std::string Digits(std::size_t length) {
  std::string text;
  for (std::size_t i = 0; i < length; ++i) text.push_back(static_cast<char>('0' + i % 10));
  return text;
}

TEST(Md5, Rfc1321TestSuite) {
  const struct {
    std::string input;
    std::string digest;
  } cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  Md5 md5;
  for (const auto& c : cases) EXPECT_EQ(md5.CalculateMD5(c.input), c.digest) << c.input;
}

// Block-boundary lengths over the text "0123456789" repeated; digests made
// with: python3 -c "sys.stdout.write(''.join('0123456789'[i%10] for i in
// range(N)))" | md5sum
TEST(Md5, BlockBoundaryLengths) {
  const struct {
    std::size_t length;
    std::string digest;
  } cases[] = {
      {55, "6e7a4fc92eb1c3f6e652425bcc8d44b5"},  {56, "8af270b2847610e742b0791b53648c09"},
      {63, "c5e256437e758092dbfe06283e489019"},  {64, "7f7bfd348709deeaace19e3f535f8c54"},
      {120, "71877a6051c58e0e9246babc177ca5f2"},
  };
  Md5 md5;
  for (const auto& c : cases) EXPECT_EQ(md5.CalculateMD5(Digits(c.length)), c.digest) << c.length;
}

TEST(Md5, CyrillicIsDigestedOverCp1251Bytes) {
  // printf 'Пароль Ёжик ёлка' | iconv -f utf-8 -t cp1251 | md5sum
  // (the UTF-8 bytes would give 86dcc86b59aa2257304510494c314509)
  EXPECT_EQ(Md5().CalculateMD5(cp1251("Пароль Ёжик ёлка")), "5e94c5c16d030f3aeffa9d7a2d1620b5");
}

TEST(Md5, OneObjectDigestsTextsOneAfterTheOther) {
  Md5 reused;
  const std::string first = reused.CalculateMD5(Digits(120));
  const std::string second = reused.CalculateMD5("abc");
  EXPECT_EQ(first, Md5().CalculateMD5(Digits(120)));
  EXPECT_EQ(second, "900150983cd24fb0d6963f7d28e17f72");
}

}  // namespace
}  // namespace tw
