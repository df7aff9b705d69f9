// The settings component INI: reads and writes one profile file (sections of
// "key=value" lines) in cp1251 bytes. Reading follows the platform's profile
// reader on the finer points; writing changes only the one line it must and
// keeps every other byte of the file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace tw {

// The profile reader hands out at most this many characters of a value.
inline constexpr std::size_t kIniValueLimit = 254;

// Case-insensitive name match: ASCII letters and the Cyrillic letters of
// cp1251 (А-Я/а-я, Ё/ё) fold, as the platform folds them on a Russian system.
bool IniNamesEqual(std::string_view a, std::string_view b);

// The value of `key` in `section` of the profile text `text`, as the profile
// reader reports it ("" when the section or key is missing).
std::string IniReadValue(std::string_view text, std::string_view section, std::string_view key);

// `text` with `key` in `section` set to `value`: an existing key line is
// replaced in place, a new key follows the last line of its section, a
// missing section is added at the end. Every other line stays byte for byte.
std::string IniWriteValue(std::string_view text, std::string_view section, std::string_view key,
                          std::string_view value);

class Ini {
 public:
  const std::filesystem::path& FileName() const { return fileName_; }
  void SetFileName(const std::filesystem::path& path) { fileName_ = path; }

  std::string RINI(std::string_view section, std::string_view keyName) const;
  // Returns false when the file could not be written (it is then unchanged).
  bool WInI(std::string_view section, std::string_view keyName, std::string_view keyValue) const;
  bool RINIb(std::string_view section, std::string_view keyName) const;
  bool WInIb(std::string_view section, std::string_view keyName, bool keyValue) const;
  std::int16_t RINIi(std::string_view section, std::string_view keyName) const;
  bool WInIi(std::string_view section, std::string_view keyName, std::int16_t keyValue) const;

 private:
  std::filesystem::path fileName_;
};

// The leading number of `text` rounded to the nearest integer, ties to even,
// held to the 16-bit range; "" or non-numeric text gives 0.
std::int16_t LeadingNumberToInt16(std::string_view text);

}  // namespace tw
