#include "readers/profile_parser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "files/atomic_file.h"
#include "temp_folder.h"
#include "text/cp1251.h"

namespace tw {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

const std::string kHeaders = "HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=windows-1251\r\n\r\n";

std::string Fixture(const std::string& name) {
  const auto bytes = ReadFileBytes(fs::path(TW_SOURCE_DIR "/tests/fixtures/profiles") / name);
  EXPECT_TRUE(bytes.has_value()) << name;
  return kHeaders + bytes.value_or("");
}

struct PageCase {
  const char* file;
  bool guest;
  std::string message;  // "" for a written list
  std::string ownerNick;
  std::string list;  // tmp.id without the final CR LF
};

class ParserPages : public ::testing::TestWithParam<PageCase> {};

TEST_P(ParserPages, GiveTheirMessageAndList) {
  const PageCase& c = GetParam();
  TempFolder folder;
  const std::string before = "old list\r\n";
  WriteBytes(folder / "tmp.id", before);
  std::string response = Fixture(c.file);
  std::string owner = "stale";
  const std::string message = ParseProfilePage(response, owner, {"1234", c.guest, folder.path()});
  EXPECT_EQ(Cp1251ToUtf8(message), Cp1251ToUtf8(c.message));
  EXPECT_EQ(Cp1251ToUtf8(owner), Cp1251ToUtf8(c.ownerNick));
  if (c.message.empty()) {
    EXPECT_EQ(Cp1251ToUtf8(response), Cp1251ToUtf8(c.list));
    EXPECT_EQ(ReadBytes(folder / "tmp.id"), c.list + "\r\n");
  } else {
    EXPECT_EQ(ReadBytes(folder / "tmp.id"), before);
  }
  EXPECT_FALSE(fs::exists(folder / "tmp.id.new"));
}

const std::string kUnknown2 =
    cp1251("Неизвестная ошибка обработки профиля 2.\r\n\r\nПопробуйте произвести загрузку еще раз.");

INSTANTIATE_TEST_SUITE_P(
    Fixtures, ParserPages,
    ::testing::Values(
        PageCase{"member-1001.html", false, "", cp1251("Хозяин  дневника"),
                 cp1251("11%Анна\r\n12%Новенький\r\n13%Жирный\r\n14%A<B>C &amp; D\r\n"
                        "15%Два пробела и  три\r\n16%50% скидка")},
        PageCase{"member-1002.html", false, cp1251("Пользователь с ID=1234 не найден"), "stale", ""},
        PageCase{
            "member-1003.html", true,
            cp1251(
                "Дополнительная информация о профиле пользователя Закрытый закрыта для анонимного доступа."),
            cp1251("Закрытый"), ""},
        PageCase{"member-1003.html", false,
                 cp1251("Для вас закрыт доступ к дополнительной информации профиля пользователя Закрытый"),
                 cp1251("Закрытый"), ""},
        PageCase{
            "member-1004.html", false,
            cp1251("Для вас закрыт доступ к дополнительной информации профиля пользователя Закрытый для вас"),
            cp1251("Закрытый для вас"), ""},
        PageCase{"member-1005.html", false, cp1251("У пользователя Одиночка нет постоянных читателей"),
                 cp1251("Одиночка"), ""},
        PageCase{"member-1006.html", false, cp1251("Неизвестная ошибка обработки профиля 1"),
                 cp1251("Без маркера"), ""},
        PageCase{"member-1007.html", false, kUnknown2, cp1251("Без конца"), ""},
        PageCase{"member-1008.html", false, "", cp1251("Один читатель"), cp1251("81%Единственный")},
        // No reader link after the block marker: the second message, not a crash.
        PageCase{"member-1009.html", false, kUnknown2, cp1251("Пусто"), ""},
        PageCase{"member-1010.html", false, "", cp1251("Ошибочный"), cp1251("101%Читатель")},
        // A page cut off inside the owner's name: the scan ends at the text's end.
        PageCase{"member-1011.html", false, cp1251("У пользователя  нет постоянных читателей"), "", ""},
        PageCase{"member-1100/1.html", false, "", cp1251("Шагающий"),
                 cp1251("1%Первый\r\n2%Второй\r\n3%Третий")},
        PageCase{"member-1100/3.html", false, "", cp1251("Шагающий"),
                 cp1251("1%Первый\r\n3%Третий переименован\r\n4%Четвёртый")}));

std::string Page(std::string_view ownerPart, std::string_view block) {
  return std::string(cp1251("<h1>Профиль пользователя</h1>\r\n")) + std::string(ownerPart) +
         cp1251("\r\n<h1>Постоянные читатели:</h1>\r\n<a href=\"/member/?1#readerslist\">Всего: 1</a>") +
         std::string(block);
}

TEST(ParseProfilePage, OwnerNickScanEdges) {
  struct Case {
    std::string ownerPart;
    std::string nick;
  } cases[] = {
      {"<p><b>Nick</b>", "Nick"},
      {"<p><b>A</b>", "A"},
      {"0123456789</b><p><b>Late</b>", ""},  // a "</b>" before any "<p><b>" ends the scan
      {"<i>x</i><p><b>Second</b>", "Second"},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    std::string page = Page(c.ownerPart, "<a href=\"/member/?5\">R</a></small></p>");
    std::string owner;
    EXPECT_EQ(ParseProfilePage(page, owner, {"1", false, folder.path()}), "");
    EXPECT_EQ(owner, c.nick) << c.ownerPart;
  }
}

TEST(ParseProfilePage, BlockRewritesInTheirOrder) {
  struct Case {
    std::string block;
    std::string list;
  } cases[] = {
      // "<small style=" cuts the rest of the block.
      {"<a href=\"/member/?5\">R</a>, <a href=\"/member/?6\">S</a><small style=x>, <a "
       "href=\"/member/?7\">T</a>"
       "</small></p>",
       "5%R\r\n6%S"},
      // Four spaces become two: one pass that never looks at what it wrote.
      {"<a href=\"/member/?5\">a    b</a></small></p>", "5%a  b"},
      // "&lt;" turned into "<" does not make new markup for the later passes.
      {"<a href=\"/member/?5\">&lt;b&gt;x</a></small></p>", "5%<b>x"},
      // Other character references stay.
      {"<a href=\"/member/?5\">&quot;q&quot;</a></small></p>", "5%&quot;q&quot;"},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    std::string page = Page("<p><b>O</b>", c.block);
    std::string owner;
    EXPECT_EQ(ParseProfilePage(page, owner, {"1", false, folder.path()}), "") << c.block;
    EXPECT_EQ(page, c.list);
    EXPECT_EQ(ReadBytes(folder / "tmp.id"), c.list + "\r\n");
  }
}

TEST(ParseProfilePage, KeepsTheAnnouncedTotal) {
  struct Case {
    std::string afterMarker;
    std::optional<std::size_t> total;
  } cases[] = {
      {" 5</a>", 5},
      {"12</a>", 12},
      {"  \t 007<", 7},
      {"</a>", std::nullopt},
      {" x5", std::nullopt},
      {" -3", std::nullopt},
      {" 99999999999999999999999", std::nullopt},
      // Digits grouped by single blanks or no-break spaces are one number.
      {" 1 234</a>", 1234},
      {"&nbsp;5</a>", 5},
      {" 12\xA0"
       "345 678<",
       12345678},
      {"&nbsp;1&nbsp;234&#160;567<", 1234567},
      {" 7  8<", 7},
      {"&nbsp;</a>", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadAnnouncedTotal(c.afterMarker), c.total) << c.afterMarker;
  }
  TempFolder folder;
  std::string page = Fixture("member-1012.html");
  std::string owner;
  std::optional<std::size_t> total = 99;
  EXPECT_EQ(ParseProfilePage(page, owner, {"1012", true, folder.path()}, &total), "");
  EXPECT_EQ(total, 5u);
  EXPECT_EQ(std::count(page.begin(), page.end(), '%'), 4) << "four reader links";
  // A message path leaves no total behind from an earlier page.
  page = Fixture("member-1005.html");
  ParseProfilePage(page, owner, {"1005", true, folder.path()}, &total);
  EXPECT_EQ(total, std::nullopt);
}

TEST(ParseProfilePage, UnwritableListKeepsTheOldFileAndSaysSo) {
  TempFolder folder;
  WriteBytes(folder / "tmp.id", "previous\r\n");
  // Something that is not a file stands where the temporary file would go.
  fs::create_directories(folder / "tmp.id.new" / "inside");
  std::string page = Fixture("member-1008.html");
  std::string owner;
  const std::string message = ParseProfilePage(page, owner, {"1008", false, folder.path()});
  EXPECT_EQ(Cp1251ToUtf8(message),
            "Не удалось записать список читателей в файл tmp.id в папке программы.\r\n\r\n"
            "Проверьте, что на диске есть место и папка программы доступна для записи, "
            "и попробуйте произвести загрузку еще раз.");
  EXPECT_EQ(ReadBytes(folder / "tmp.id"), "previous\r\n");
}

TEST(ParseProfilePage, MissingFolderIsAFailureNotSuccess) {
  TempFolder folder;
  std::string page = Fixture("member-1008.html");
  std::string owner;
  EXPECT_NE(ParseProfilePage(page, owner, {"1008", false, folder / "no-such-folder"}), "");
}

}  // namespace
}  // namespace tw
