#include "settings/settings.h"

#include <system_error>
#include <utility>

#include "files/atomic_file.h"
#include "settings/credential_file.h"
#include "settings/ini_file.h"

namespace tw {

void LoadSettings(const std::filesystem::path& programFolder, Settings& settings) {
  // Every field starts empty or false, whatever the record held before.
  settings = Settings{};
  const std::filesystem::path options = programFolder / kOptionsFile;
  std::error_code ec;
  if (!std::filesystem::exists(options, ec)) {
    // First run: anonymous access; user.dat is not looked at.
    settings.Guest = true;
    return;
  }
  const std::filesystem::path user = programFolder / kUserFile;
  if (std::filesystem::exists(user, ec)) {
    const Crypt& crypt = ProgramCrypt();
    settings.Login = crypt.EnCrypt(user, 1);
    settings.Password = crypt.EnCrypt(user, 2);
  }
  Ini ini;
  ini.SetFileName(options);
  settings.ID = ini.RINI(kMainSection, "ID");
  settings.SaveLoginPassword = ini.RINIb(kMainSection, "SaveLoginPassword");
  settings.Guest = ini.RINIb(kMainSection, "Guest");
  settings.UseProxy = ini.RINIb(kMainSection, "UseProxy");
  settings.ProxyHost = ini.RINI(kMainSection, "ProxyHost");
  settings.ProxyPort = ini.RINI(kMainSection, "ProxyPort");
  settings.ProxyAuth = ini.RINIb(kMainSection, "ProxyAuth");
  settings.ProxyLogin = ini.RINI(kMainSection, "ProxyLogin");
  settings.ProxyPass = ini.RINI(kMainSection, "ProxyPass");
  // An older file has neither key: the daily check reads as off.
  settings.AutoCheck = ini.RINIb(kMainSection, "AutoCheck");
  const std::string time = ini.RINI(kMainSection, "AutoCheckTime");
  if (IsCheckTime(time)) settings.AutoCheckTime = time;
}

std::optional<std::string> SettingsFileText(const std::filesystem::path& programFolder,
                                            const Settings& settings) {
  const std::filesystem::path options = programFolder / kOptionsFile;
  std::optional<std::string> text = ReadFileBytes(options);
  // A file that is there but cannot be read is not replaced by a fresh one.
  if (!text) {
    if (MayExist(options)) return std::nullopt;
    text.emplace();
  }
  const auto flag = [](bool value) { return value ? "True" : "False"; };
  const std::pair<const char*, std::string_view> keys[] = {
      {"ID", settings.ID},
      {"Guest", flag(settings.Guest)},
      {"SaveLoginPassword", flag(settings.SaveLoginPassword)},
      {"UseProxy", flag(settings.UseProxy)},
      {"ProxyHost", settings.ProxyHost},
      {"ProxyPort", settings.ProxyPort},
      {"ProxyAuth", flag(settings.ProxyAuth)},
      {"ProxyLogin", settings.ProxyLogin},
      {"ProxyPass", settings.ProxyPass},
  };
  for (const auto& [key, value] : keys) *text = IniWriteValue(*text, kMainSection, key, value);
  if (settings.AutoCheck || !IniReadValue(*text, kMainSection, "AutoCheck").empty()) {
    *text = IniWriteValue(*text, kMainSection, "AutoCheck", flag(settings.AutoCheck));
    *text = IniWriteValue(*text, kMainSection, "AutoCheckTime", settings.AutoCheckTime);
  }
  return text;
}

bool SaveSettings(const std::filesystem::path& programFolder, const Settings& settings) {
  const std::optional<std::string> text = SettingsFileText(programFolder, settings);
  return text && WriteFileAtomic(programFolder / kOptionsFile, *text);
}

bool IsCheckTime(std::string_view text) {
  const auto digit = [&text](std::size_t i) { return text[i] >= '0' && text[i] <= '9'; };
  if (text.size() != 5 || text[2] != ':' || !digit(0) || !digit(1) || !digit(3) || !digit(4)) return false;
  return (text[0] - '0') * 10 + (text[1] - '0') < 24 && text[3] < '6';
}

bool IsValidProfileId(std::string_view id) {
  if (id.empty()) return false;
  for (char c : id) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace tw
