// The passes the parser makes over a long page: the in-place replacement
// and the block-wise search must give exactly what the plain ones give, and
// a page of thousands of readers must come out line for line.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "readers/profile_parser.h"
#include "temp_folder.h"
#include "text/bytes.h"
#include "text/cp1251.h"

namespace tw {
namespace {

// Texts made of pieces of the parser's own markers, so that matches,
// near-matches and overlaps are frequent, at lengths around the 16-byte
// blocks of the search.
std::string MarkupSoup(std::mt19937& rng, std::size_t length) {
  static const std::vector<std::string> pieces = {"<",
                                                  ">",
                                                  "\"",
                                                  " ",
                                                  "  ",
                                                  "<a href=",
                                                  "\"/member/?",
                                                  "</a>",
                                                  ", ",
                                                  "<b>",
                                                  "</b",
                                                  "&lt;",
                                                  "&gt",
                                                  "&",
                                                  "</small></p>",
                                                  "\">",
                                                  "x",
                                                  "%",
                                                  "\r\n",
                                                  "<font color=red>",
                                                  "</font>",
                                                  "&checknewreader"};
  std::string text;
  while (text.size() < length) text += pieces[rng() % pieces.size()];
  text.resize(length);
  return text;
}

TEST(MarkupPasses, FindAgreesWithPlainSearchEverywhere) {
  std::mt19937 rng(7);
  const std::vector<std::string> needles = {
      "  ", "<b>", "</a>, ", "\">", "&lt;", "</small></p>", "<a href=\"/member/?", "&checknewreader",
      "zz", "<"};
  for (int round = 0; round < 300; ++round) {
    const std::string text = MarkupSoup(rng, rng() % 90);
    for (const std::string& needle : needles) {
      for (std::size_t from = 0; from <= text.size() + 1; ++from) {
        ASSERT_EQ(Find(text, needle, from), std::string_view(text).find(needle, from))
            << "round " << round << " needle " << needle << " from " << from;
      }
    }
  }
}

TEST(MarkupPasses, InPlaceReplacementAgreesWithCopying) {
  std::mt19937 rng(11);
  const std::vector<std::pair<std::string, std::string>> passes = {
      {"  ", " "},        {"<font color=red>", ""},
      {"&lt;", "<"},      {"\">", "%"},
      {"</a>, ", "\r\n"}, {"</a>", ""},
      {"<", "<"},         {"%", "%%"},
      {"x", "yyy"}};
  for (int round = 0; round < 500; ++round) {
    const std::string text = MarkupSoup(rng, rng() % 200);
    for (const auto& [from, to] : passes) {
      std::string inPlace = text;
      ReplaceAllInPlace(inPlace, from, to);
      ASSERT_EQ(inPlace, ReplaceAll(text, from, to)) << "round " << round << " " << from << " -> " << to;
    }
  }
}

TEST(MarkupPasses, ThousandsOfReadersComeOutLineForLine) {
  std::string links;
  std::string expected;
  for (int i = 0; i < 5000; ++i) {
    const std::string id = std::to_string(1000000 + i * 37);
    const std::string nick = cp1251("Читатель  ") + std::to_string(i) + (i % 7 ? "" : "&lt;&amp;&gt;");
    const std::string plain = cp1251("Читатель ") + std::to_string(i) + (i % 7 ? "" : "<&amp;>");
    if (i) links += ", ";
    if (i % 10 == 0) {
      links +=
          "<a href=\"/member/?" + id + "&checknewreader\"><b><font color=red>" + nick + "</font></b></a>";
    } else {
      links += "<a href=\"/member/?" + id + "\">" + nick + "</a>";
    }
    expected += id + "%" + plain + "\r\n";
  }
  std::string page =
      "HTTP/1.0 200 OK\r\n\r\n" + cp1251("<h1>Профиль пользователя</h1>\r\n<p><b>Хозяин</b></p>") +
      cp1251("<h1>Постоянные читатели:</h1><p><a href=\"/member/?1#readerslist\">Всего: 5000</a>") +
      "<br><small>" + links + "</small></p>\r\n";
  test::TempFolder folder;
  std::string owner;
  ASSERT_EQ(ParseProfilePage(page, owner, {"1", false, folder.path()}), "");
  EXPECT_EQ(owner, cp1251("Хозяин"));
  EXPECT_EQ(page + "\r\n", expected);
  EXPECT_EQ(test::ReadBytes(folder / "tmp.id"), expected);
}

}  // namespace
}  // namespace tw
