#include "settings/settings.h"

#include <system_error>

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
    Crypt crypt;
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
}

bool SaveSettings(const std::filesystem::path& programFolder, const Settings& settings) {
  Ini ini;
  ini.SetFileName(programFolder / kOptionsFile);
  // Every write is tried, so one failure does not keep the others back.
  bool ok = ini.WInI(kMainSection, "ID", settings.ID);
  ok &= ini.WInIb(kMainSection, "Guest", settings.Guest);
  ok &= ini.WInIb(kMainSection, "SaveLoginPassword", settings.SaveLoginPassword);
  ok &= ini.WInIb(kMainSection, "UseProxy", settings.UseProxy);
  ok &= ini.WInI(kMainSection, "ProxyHost", settings.ProxyHost);
  ok &= ini.WInI(kMainSection, "ProxyPort", settings.ProxyPort);
  ok &= ini.WInIb(kMainSection, "ProxyAuth", settings.ProxyAuth);
  ok &= ini.WInI(kMainSection, "ProxyLogin", settings.ProxyLogin);
  ok &= ini.WInI(kMainSection, "ProxyPass", settings.ProxyPass);
  return ok;
}

bool IsValidProfileId(std::string_view id) {
  if (id.empty()) return false;
  for (char c : id) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace tw
