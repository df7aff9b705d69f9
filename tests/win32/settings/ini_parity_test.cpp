// Our profile-file reader and writer against the platform's profile
// functions. Each case uses a file of its own: the platform caches profile
// files for a while, and a rewritten file of the same name could be served
// from that cache.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "settings/ini_file.h"
#include "text/cp1251.h"

namespace tw {
namespace {

class ProfileFolder {
 public:
  ProfileFolder() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    path_ = std::filesystem::path(temp) / ("tw-ini-parity-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(path_);
  }
  ~ProfileFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  // A new file name every time.
  std::filesystem::path Fresh() { return path_ / ("case" + std::to_string(counter_++) + ".ini"); }

 private:
  std::filesystem::path path_;
  int counter_ = 0;
};

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// What the platform reads, with the program's buffer of 255 characters.
std::string PlatformRead(const std::filesystem::path& file, const std::string& section,
                         const std::string& key) {
  char buffer[255] = {};
  const std::string name = file.string();  // the temporary folder's path is plain ASCII
  const DWORD copied =
      GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, sizeof(buffer), name.c_str());
  return std::string(buffer, copied);
}

// A reader that splits at "=" and trims nothing: what one gets by not
// following the platform.
std::string NaiveRead(const std::string& text, const std::string& key) {
  const std::size_t at = text.find("\n" + key + "=");
  if (at == std::string::npos) return "";
  const std::size_t start = at + key.size() + 2;
  return text.substr(start, text.find_first_of("\r\n", start) - start);
}

struct ReadCase {
  const char* what;
  std::string file;
  std::string section;
  std::string key;
};

const std::string kLong(300, 'q');

const ReadCase kReadCases[] = {
    {"plain", "[Main]\r\nID=123\r\n", "Main", "ID"},
    {"blanks around = and value", "[Main]\r\n  ID \t=   12 3  \t\r\n", "Main", "ID"},
    {"value holding =", "[Main]\r\nProxyPass=a=b==\r\n", "Main", "ProxyPass"},
    {"duplicate key", "[Main]\r\nID=1\r\nID=2\r\n", "Main", "ID"},
    {"duplicate section", "[Main]\r\nA=1\r\n[Main]\r\nID=2\r\n", "Main", "ID"},
    {"last line without break", "[Main]\r\nID=77", "Main", "ID"},
    {"LF-only lines", "[Other]\nID=1\n[Main]\nID=2\n", "Main", "ID"},
    {"CR-only lines", "[Main]\rA=1\rID=5\r", "Main", "ID"},
    {"Cyrillic value", cp1251("[Main]\r\nProxyLogin=Пользователь Ёж\r\n").str(), "Main", "ProxyLogin"},
    {"300 characters", "[Main]\r\nID=" + kLong + "\r\n", "Main", "ID"},
    {"300 characters quoted", "[Main]\r\nID=\"" + kLong + "\"\r\n", "Main", "ID"},
    {"key before any section", "ID=9\r\n[Main]\r\nGuest=True\r\n", "Main", "ID"},
    {"section and key case", "[mAIN]\r\nproxyhost=h\r\n", "Main", "ProxyHost"},
    {"missing file section", "[Other]\r\nID=1\r\n", "Main", "ID"},
    {"missing key", "[Main]\r\nGuest=True\r\n", "Main", "ID"},
    {"key without =", "[Main]\r\nID\r\nID=4\r\n", "Main", "ID"},
    {"double quotes", "[Main]\r\nID=\" a b \"\r\n", "Main", "ID"},
    {"single quotes", "[Main]\r\nID='x'\r\n", "Main", "ID"},
    {"unmatched quote", "[Main]\r\nID=\"x\r\n", "Main", "ID"},
    {"lone quote", "[Main]\r\nID=\"\r\n", "Main", "ID"},
    {"empty quotes", "[Main]\r\nID=\"\"\r\n", "Main", "ID"},
    {"text after ]", "[Main] ; note\r\nID=3\r\n", "Main", "ID"},
    {"[ without ]", "[Main\r\nID=3\r\n", "Main", "ID"},
    {"indented lines", "  [Main]\r\n\tID=3\r\n", "Main", "ID"},
    {"blank lines", "[Main]\r\n\r\n \r\nID=3\r\n\r\n", "Main", "ID"},
    {"comment line", "[Main]\r\n;ID=1\r\nID=2\r\n", "Main", "ID"},
    {"blanks in the names asked for", "[Main]\r\nID=3\r\n", " Main ", " ID "},
    {"blank inside the header", "[ Main ]\r\nID=3\r\n", "Main", "ID"},
    {"empty value", "[Main]\r\nID=\r\n", "Main", "ID"},
    {"Ctrl+Z around the value",
     "[Main]\r\nID=\x1a"
     "5\x1a\r\n",
     "Main", "ID"},
    {"NUL in the value", std::string("[Main]\r\nID=ab\0cd\r\n", 18), "Main", "ID"},
    {"empty file", "", "Main", "ID"},
};

TEST(IniParity, ReaderAgreesWithPlatform) {
  ProfileFolder folder;
  for (const ReadCase& c : kReadCases) {
    const auto file = folder.Fresh();
    WriteBytes(file, c.file);
    const std::string platform = PlatformRead(file, c.section, c.key);
    const std::string ours = IniReadValue(c.file, c.section, c.key);
    EXPECT_EQ(ours, platform) << c.what << ": expected (platform) '" << Cp1251ToUtf8(platform) << "', got '"
                              << Cp1251ToUtf8(ours) << "'";
  }
}

// Names match without regard to case for the Cyrillic letters too, as they
// do on a Russian Windows, where the profile functions compare names
// case-insensitively in Unicode. Wine folds only ASCII letters in profile
// names (seen with code page 1252 too, where these bytes are accented Latin
// letters that have case pairs), so it finds no "ОКНО" in "[Окно]".
TEST(IniParity, CyrillicNameCase_DiffersFromPlatform) {
  ProfileFolder folder;
  const std::string text = cp1251("[Окно]\r\nключ=v\r\n");
  const auto file = folder.Fresh();
  WriteBytes(file, text);
  const std::string platform = PlatformRead(file, cp1251("ОКНО"), cp1251("КЛЮЧ"));
  EXPECT_EQ(IniReadValue(text, cp1251("ОКНО").str(), cp1251("КЛЮЧ").str()), "v");
  EXPECT_EQ(PlatformRead(file, cp1251("Окно"), cp1251("ключ")), "v") << "same case: both find it";
  std::cout << "[ platform ] ACP " << GetACP() << ", Cyrillic names in other case read '" << platform
            << "'\n";
}

// A quoted value of exactly 254 characters between its quotes comes back
// whole from our reader. Wine copies 254 characters after the opening quote
// (the last of them being the closing quote) and then drops one more as if it
// were the quote, handing out 253.
TEST(IniParity, QuotedValueAtTheLimit_DiffersFromPlatform) {
  ProfileFolder folder;
  const std::string inner = " " + std::string(253, 'w');
  const std::string text = "[Main]\r\nID=\"" + inner + "\"\r\n";
  const auto file = folder.Fresh();
  WriteBytes(file, text);
  const std::string platform = PlatformRead(file, "Main", "ID");
  EXPECT_EQ(IniReadValue(text, "Main", "ID"), inner);
  EXPECT_EQ(platform, inner.substr(0, 253)) << "platform read " << platform.size() << " characters";
}

TEST(IniParity, MissingFileGivesEmptyString) {
  ProfileFolder folder;
  const auto file = folder.Fresh();
  EXPECT_EQ(PlatformRead(file, "Main", "ID"), "");
  Ini ini;
  ini.SetFileName(file);
  EXPECT_EQ(ini.RINI("Main", "ID"), "");
}

TEST(IniParity, BlanksAroundTheValueTrip_A_NaiveReader) {
  ProfileFolder folder;
  const std::string text = "[Main]\r\nID=  42 \t\r\n";
  const auto file = folder.Fresh();
  WriteBytes(file, text);
  const std::string platform = PlatformRead(file, "Main", "ID");
  EXPECT_EQ(platform, "42");
  EXPECT_NE(NaiveRead(text, "ID"), platform)
      << "a reader that does not trim gets '" << NaiveRead(text, "ID") << "'";
  EXPECT_EQ(IniReadValue(text, "Main", "ID"), platform);
}

struct WriteCase {
  const char* what;
  std::string before;  // file content before the write ("" creates it)
  std::string section;
  std::string key;
  std::string value;
};

const WriteCase kWriteCases[] = {
    {"fresh file", "", "Main", "ID", "12345"},
    {"value holding =", "", "Main", "ProxyPass", "p=q="},
    {"Cyrillic value", "", "Main", "ProxyLogin", cp1251("Вася Пупкин")},
    {"blanks at both ends", "", "Main", "ProxyPass", "  pw  "},
    {"quoted-looking value", "", "Main", "ProxyPass", "\"pw\""},
    {"single-quoted value", "", "Main", "ProxyPass", "'pw'"},
    {"replace among other sections", "[A]\r\nID=1\r\n[Main]\r\nID=2\r\nX=3\r\n", "Main", "ID", "9"},
    {"append to a section followed by another", "[Main]\r\nX=3\r\n\r\n[B]\r\nID=1\r\n", "Main", "ID", "9"},
    {"LF-only file", "[Main]\nX=3\n", "Main", "ID", "9"},
    {"file without final break", "[Main]\r\nX=3", "Main", "ID", "9"},
    {"section in other case", "[MAIN]\r\nid=1\r\n", "Main", "ID", "2"},
    {"254 characters", "", "Main", "ID", std::string(254, 'z')},
    {"empty value", "[Main]\r\nID=1\r\n", "Main", "ID", ""},
};

TEST(IniParity, WrittenFilesReadBackThroughPlatform) {
  ProfileFolder folder;
  for (const WriteCase& c : kWriteCases) {
    const auto file = folder.Fresh();
    if (!c.before.empty()) WriteBytes(file, c.before);
    Ini ini;
    ini.SetFileName(file);
    ASSERT_TRUE(ini.WInI(c.section, c.key, c.value)) << c.what;
    const std::string platform = PlatformRead(file, c.section, c.key);
    EXPECT_EQ(platform, c.value) << c.what << ": expected '" << Cp1251ToUtf8(c.value) << "', platform read '"
                                 << Cp1251ToUtf8(platform) << "'";
    EXPECT_EQ(ini.RINI(c.section, c.key), c.value) << c.what;
  }
}

}  // namespace
}  // namespace tw
