#include "text/bytes.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(ReplaceAll, OnePassWithoutRescanningInsertedText) {
  struct Case {
    const char* text;
    const char* from;
    const char* to;
    const char* expected;
  };
  const Case cases[] = {
      {"a   b", "  ", " ", "a  b"},      // three spaces become two
      {"a    b", "  ", " ", "a  b"},     // four become two
      {"aaa", "a", "aa", "aaaaaa"},      // inserted text is not searched again
      {"abab", "ab", "", ""},            // removal
      {"xyz", "q", "r", "xyz"},          // nothing found
      {"", "a", "b", ""},                // empty text
      {"aaaa", "aa", "b", "bb"},         // non-overlapping, left to right
      {"aaa", "aa", "b", "ba"},
      {"\"> \">", "\">", "%", "% %"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReplaceAll(c.text, c.from, c.to), c.expected)
        << "text '" << c.text << "' from '" << c.from << "' to '" << c.to << "'";
  }
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc") << "an empty pattern changes nothing";
}

TEST(ReplaceAll, InPlaceAndFind) {
  std::string s = "</a>, x</a>, y";
  ReplaceAllInPlace(s, "</a>, ", "\r\n");
  EXPECT_EQ(s, "\r\nx\r\ny");
  EXPECT_EQ(Find("abcabc", "bc", 2), 4u);
  EXPECT_EQ(Find("abc", "d"), kNotFound);
  EXPECT_EQ(Find("abc", "c", 3), kNotFound);
}

TEST(ReplaceAll, IsLinearOnLargeTexts) {
  // 4 MB of double spaces: a rescanning or erase-based implementation would
  // take minutes here.
  std::string big(4 << 20, ' ');
  const std::string out = ReplaceAll(big, "  ", " ");
  EXPECT_EQ(out.size(), big.size() / 2);
}

}  // namespace
}  // namespace tw
