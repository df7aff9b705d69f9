// The in-memory configuration and its file "options.ini" in the program
// folder. Login and password live in "user.dat" (see credential_file.h).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tw {

// Every text field holds cp1251 bytes exactly as typed.
struct Settings {
  std::string ID;
  bool Guest = false;
  std::string Login;
  std::string Password;
  bool SaveLoginPassword = false;
  bool UseProxy = false;
  std::string ProxyHost;
  std::string ProxyPort;
  bool ProxyAuth = false;
  std::string ProxyLogin;
  std::string ProxyPass;
  // The daily background check: on or off, and its hour ("HH:MM").
  bool AutoCheck = false;
  std::string AutoCheckTime = "09:00";

  bool operator==(const Settings&) const = default;
};

// File names inside the program folder.
inline constexpr char kOptionsFile[] = "options.ini";
inline constexpr char kUserFile[] = "user.dat";
inline constexpr char kTmpListFile[] = "tmp.id";
inline constexpr char kMainSection[] = "Main";
inline constexpr char kLastUpdateKey[] = "LastUpdate";
inline constexpr char kDefaultCheckTime[] = "09:00";

// "HH:MM" with hours 00..23 and minutes 00..59.
bool IsCheckTime(std::string_view text);

// Fills `settings` from options.ini (and user.dat) in `programFolder`.
void LoadSettings(const std::filesystem::path& programFolder, Settings& settings);
// The text options.ini gets for `settings`: its present text (none when it
// is missing) with every field but Login and Password written in the
// profile-file way, so unknown keys, "LastUpdate" and the key order stay.
// The two keys of the daily check are written only once it has been on, so
// a file of someone who never used it stays as it always was.
// nullopt when the file exists but cannot be read.
std::optional<std::string> SettingsFileText(const std::filesystem::path& programFolder,
                                            const Settings& settings);
// Replaces options.ini with SettingsFileText in one step, so a failure never
// leaves a mix of old and new keys. Returns false when the file could not
// be written (it is then as it was); the caller must tell the user.
bool SaveSettings(const std::filesystem::path& programFolder, const Settings& settings);

// A profile ID names a file (<ID>.id) and goes into the request line, so it
// must be one or more ASCII digits and nothing else.
bool IsValidProfileId(std::string_view id);

}  // namespace tw
