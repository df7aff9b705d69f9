// The notification-area icon of a background check that found something:
// the program's icon with a balloon, a menu, and a click that opens the
// changes (tallywick.exe /report). It lives in a process of its own, so the
// scheduled task ends as soon as the check is done.
#pragma once

#include <filesystem>
#include <string>

#include "autocheck/background_run.h"

namespace tw::win {

inline constexpr wchar_t kNotifyClassName[] = L"TallywickNotify";
// The hidden window that owns the icon: "Tallywick notify <folder id>".
std::wstring NotifyWindowTitle(const std::filesystem::path& programFolder);

// Starts this exe in its folder with `arguments`; false when it could not.
bool StartThisProgram(const std::wstring& arguments);

// Replaces the icon an earlier check of this folder may have left with a new
// process showing `notice`.
bool StartNotifier(const std::filesystem::path& programFolder, const CheckNotice& notice);

// Shows the icon and waits for the user; returns the exit code.
int RunNotifyIcon(const std::filesystem::path& programFolder, const CheckNotice& notice);

}  // namespace tw::win
