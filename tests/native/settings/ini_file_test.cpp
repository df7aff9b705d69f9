#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include "settings/temp_folder.h"
#include "text/cp1251.h"

namespace tw {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

TEST(IniRead, FinerPointsOfTheProfileReader) {
  const std::string longValue(300, 'x');
  struct Case {
    const char* what;
    std::string file;
    std::string section;
    std::string key;
    std::string expected;
  };
  const Case cases[] = {
      {"plain", "[Main]\r\nID=123\r\n", "Main", "ID", "123"},
      {"blanks around = and value", "[Main]\r\n  ID \t=   12 3  \t\r\n", "Main", "ID", "12 3"},
      {"value holding =", "[Main]\r\nProxyPass=a=b==\r\n", "Main", "ProxyPass", "a=b=="},
      {"duplicate key: first wins", "[Main]\r\nID=1\r\nID=2\r\n", "Main", "ID", "1"},
      {"duplicate section: first wins", "[Main]\r\nA=1\r\n[Main]\r\nID=2\r\n", "Main", "ID", ""},
      {"last line without break", "[Main]\r\nID=77", "Main", "ID", "77"},
      {"LF-only lines", "[Other]\nID=1\n[Main]\nID=2\n", "Main", "ID", "2"},
      {"CR-only lines", "[Main]\rA=1\rID=5\r", "Main", "ID", "5"},
      {"Cyrillic value", cp1251("[Main]\r\nProxyLogin=Пользователь Ёж\r\n").str(), "Main", "ProxyLogin",
       cp1251("Пользователь Ёж")},
      {"300 characters cut to 254", "[Main]\r\nID=" + longValue + "\r\n", "Main", "ID",
       longValue.substr(0, 254)},
      {"key before any section", "ID=9\r\n[Main]\r\nGuest=True\r\n", "Main", "ID", ""},
      {"section and key case", "[mAIN]\r\nproxyhost=h\r\n", "Main", "ProxyHost", "h"},
      {"Cyrillic name case", cp1251("[Главная]\r\nключ=v\r\n").str(), cp1251("ГЛАВНАЯ").str(),
       cp1251("КЛЮЧ").str(), "v"},
      {"missing section", "[Other]\r\nID=1\r\n", "Main", "ID", ""},
      {"missing key", "[Main]\r\nGuest=True\r\n", "Main", "ID", ""},
      {"key without =", "[Main]\r\nID\r\nID=4\r\n", "Main", "ID", ""},
      {"double quotes stripped", "[Main]\r\nID=\" a b \"\r\n", "Main", "ID", " a b "},
      {"single quotes stripped", "[Main]\r\nID='x'\r\n", "Main", "ID", "x"},
      {"unmatched quote kept", "[Main]\r\nID=\"x\r\n", "Main", "ID", "\"x"},
      {"lone quote kept", "[Main]\r\nID=\"\r\n", "Main", "ID", "\""},
      {"text after ] ignored", "[Main] ; note\r\nID=3\r\n", "Main", "ID", "3"},
      {"[ without ] is a key line", "[Main\r\nID=3\r\n", "Main", "ID", ""},
      {"blanks inside the brackets", "[ Main\t]\r\nID=3\r\n", "Main", "ID", "3"},
      {"indented header", "  [Main]\r\n\tID=3\r\n", "Main", "ID", "3"},
      {"blank lines inside section", "[Main]\r\n\r\n\r\nID=3\r\n", "Main", "ID", "3"},
      {"NUL ends the value", std::string("[Main]\r\nID=ab\0cd\r\n", 18), "Main", "ID", "ab"},
      {"Ctrl+Z counts as a blank",
       "[Main]\r\nID=\x1a"
       "5\x1a\r\n",
       "Main", "ID", "5"},
      {"utf-8 mark before header", "\xEF\xBB\xBF[Main]\r\nID=8\r\n", "Main", "ID", "8"},
      {"empty file", "", "Main", "ID", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IniReadValue(c.file, c.section, c.key), c.expected) << c.what;
  }
}

TEST(IniWrite, ReplacesInPlaceAppendsAndCreates) {
  struct Case {
    const char* what;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
  };
  const Case cases[] = {
      {"empty file gets section and key", "", "Main", "ID", "1", "[Main]\r\nID=1\r\n"},
      {"replace in place keeps the rest",
       "; settings\r\n[Main]\r\nid = 1\r\nGuest=True\r\n\r\n[X]\r\nID=5\r\n", "Main", "ID", "22",
       "; settings\r\n[Main]\r\nID=22\r\nGuest=True\r\n\r\n[X]\r\nID=5\r\n"},
      {"new key after the section's last line, before blank lines", "[Main]\r\nA=1\r\n\r\n\r\n[X]\r\nB=2\r\n",
       "main", "C", "3", "[Main]\r\nA=1\r\nC=3\r\n\r\n\r\n[X]\r\nB=2\r\n"},
      {"new key in an empty section", "[Main]\r\n[X]\r\n", "Main", "C", "3", "[Main]\r\nC=3\r\n[X]\r\n"},
      {"missing section appended, LF style kept", "[X]\nB=2\n", "Main", "ID", "1",
       "[X]\nB=2\n[Main]\nID=1\n"},
      {"last line without break gets one", "[Main]\r\nA=1", "Main", "B", "2", "[Main]\r\nA=1\r\nB=2\r\n"},
      {"replacing the last line keeps its missing break", "[Main]\r\nA=1", "Main", "A", "9", "[Main]\r\nA=9"},
      {"value with blanks at the ends is quoted", "", "Main", "P", " pw ", "[Main]\r\nP=\" pw \"\r\n"},
      {"quoted-looking value is quoted again", "", "Main", "P", "'x'", "[Main]\r\nP=\"'x'\"\r\n"},
      {"line breaks in a value become blanks", "", "Main", "P", "a\r\nb", "[Main]\r\nP=a  b\r\n"},
      {"only the first section of a name is used", "[Main]\r\nA=1\r\n[Main]\r\nB=2\r\n", "Main", "B", "3",
       "[Main]\r\nA=1\r\nB=3\r\n[Main]\r\nB=2\r\n"},
  };
  for (const Case& c : cases) {
    const std::string after = IniWriteValue(c.before, c.section, c.key, c.value);
    EXPECT_EQ(after, c.after) << c.what;
    std::string expectedValue = c.value;
    for (char& ch : expectedValue) {
      if (ch == '\r' || ch == '\n') ch = ' ';
    }
    EXPECT_EQ(IniReadValue(after, c.section, c.key), expectedValue) << c.what << " (read back)";
  }
}

TEST(IniComponent, TypedReadsAndWritesThroughTheFile) {
  TempFolder folder;
  Ini ini;
  ini.SetFileName(folder / "options.ini");
  EXPECT_EQ(ini.RINI("Main", "ID"), "") << "missing file";
  EXPECT_FALSE(ini.RINIb("Main", "Guest"));
  EXPECT_EQ(ini.RINIi("Main", "N"), 0);

  ASSERT_TRUE(ini.WInIb("Main", "Guest", true));
  ASSERT_TRUE(ini.WInIi("Main", "N", -5));
  EXPECT_TRUE(ini.RINIb("Main", "Guest"));
  EXPECT_EQ(ini.RINIi("Main", "N"), -5);
  EXPECT_EQ(ReadBytes(folder / "options.ini"), "[Main]\r\nGuest=True\r\nN=-5\r\n");
  ASSERT_TRUE(ini.WInIb("Main", "Guest", false));
  EXPECT_EQ(ini.RINI("Main", "Guest"), "False");

  for (const char* text : {"true", "1", "TRUE", "True ", " True"}) {
    ASSERT_TRUE(ini.WInI("Main", "B", text));
    // Blanks around a value are kept by quoting, so " True" is not "True".
    EXPECT_FALSE(ini.RINIb("Main", "B")) << "'" << text << "' must not read as true";
  }
}

TEST(IniComponent, LeadingNumberRoundsTiesToEven) {
  struct Case {
    const char* text;
    int expected;
  };
  const Case cases[] = {{"12", 12},       {"-5", -5},         {"  7abc", 7}, {"2.5", 2}, {"3.5", 4},
                        {"-2.5", -2},     {"0.4", 0},         {"", 0},       {"abc", 0}, {"1e2", 100},
                        {"99999", 32767}, {"-99999", -32768}, {"+8", 8},     {".5", 0},  {"1.5x", 2}};
  for (const Case& c : cases) {
    EXPECT_EQ(LeadingNumberToInt16(c.text), c.expected) << "'" << c.text << "'";
  }
}

TEST(IniComponent, FailedWriteLeavesTheFileAsItWas) {
  TempFolder folder;
  const auto file = folder / "options.ini";
  const std::string original = "[Main]\r\nID=1\r\n";
  WriteBytes(file, original);
  Ini ini;
  ini.SetFileName(file);

  // The temporary file cannot be created: a folder stands in its place.
  std::filesystem::create_directory(folder / "options.ini.tmp");
  EXPECT_FALSE(ini.WInI("Main", "ID", "2"));
  EXPECT_EQ(ReadBytes(file), original);
  std::filesystem::remove(folder / "options.ini.tmp");

  // The target is a folder that cannot be read or replaced: reported, the
  // folder is untouched and no temporary file is left behind.
  Ini blocked;
  blocked.SetFileName(folder / "sub");
  std::filesystem::create_directory(folder / "sub");
  WriteBytes(folder / "sub" / "keep", "k");
  EXPECT_FALSE(blocked.WInI("Main", "ID", "2"));
  EXPECT_FALSE(std::filesystem::exists(folder / "sub.tmp"));
  EXPECT_EQ(ReadBytes(folder / "sub" / "keep"), "k");

  // A missing folder is reported too.
  Ini nowhere;
  nowhere.SetFileName(folder / "missing" / "options.ini");
  EXPECT_FALSE(nowhere.WInI("Main", "ID", "2"));

  EXPECT_TRUE(ini.WInI("Main", "ID", "3"));
  EXPECT_EQ(ReadBytes(file), "[Main]\r\nID=3\r\n");
}

}  // namespace
}  // namespace tw
