#include "text/cp1251.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cstring>

namespace tw {
namespace {

// glibc's converter is the reference: every assigned byte must decode to the
// same UTF-16 unit as ours.
TEST(Cp1251, AgreesWithIconvOnEveryAssignedByte) {
  iconv_t cd = iconv_open("UTF-16LE", "CP1251");
  ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
  for (int b = 0; b < 256; ++b) {
    char in[1] = {static_cast<char>(b)};
    char out[8] = {};
    char* inp = in;
    char* outp = out;
    size_t inLeft = 1, outLeft = sizeof(out);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    const size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    if (b == 0x98) {
      EXPECT_EQ(r, static_cast<size_t>(-1)) << "0x98 is unassigned in the code page";
      continue;
    }
    ASSERT_NE(r, static_cast<size_t>(-1)) << "byte " << b;
    const char16_t expected = static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                                    (static_cast<unsigned char>(out[1]) << 8));
    EXPECT_EQ(Cp1251ToUnit(static_cast<unsigned char>(b)), expected) << "byte " << b;
  }
  iconv_close(cd);
}

TEST(Cp1251, EveryByteRoundTripsIncludingUnassigned) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::u16string wide = Cp1251ToUtf16(all);
  EXPECT_EQ(wide[0x98], u'\u0098');
  EXPECT_EQ(Utf16ToCp1251(wide), all);
  EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
}

TEST(Cp1251, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(Utf16ToCp1251(u"a\u00e9b\u4e2dc"), "a?b?c");
  EXPECT_EQ(Utf16ToCp1251(u"x\U0001F600y"), "x?y") << "a surrogate pair is one character";
  EXPECT_EQ(Utf16ToCp1251(u"\xD800z"), "?z") << "a lone surrogate";
  EXPECT_EQ(Utf8ToCp1251("\xE2\x82"), "?") << "cut-off UTF-8";
}

TEST(Cp1251, LiteralIsConvertedAtCompileTime) {
  constexpr auto text = cp1251("Ёжик ё №1");
  static_assert(text.view().size() == 9);
  static_assert(text.view()[0] == '\xA8' && text.view()[1] == '\xE6' && text.view()[7] == '\xB9');
  EXPECT_EQ(std::string(text), "\xA8\xE6\xE8\xEA \xB8 \xB9" "1");
  EXPECT_EQ(Utf8ToCp1251("Сообщение"), cp1251("Сообщение").str());
  EXPECT_EQ(cp1251("").view().size(), 0u);
}

}  // namespace
}  // namespace tw
