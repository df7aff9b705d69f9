// Opening web pages in the user's browser, and the program folder.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace tw::win {

// Every web page of the program opens here: ShellExecuteW "open" with no
// owner, no parameters, no folder, minimized. `url` is cp1251.
void OpenUrl(std::string_view url) noexcept;

// Tests redirect OpenUrl to record the address instead of starting a
// browser. An empty function restores the shell.
using OpenUrlHook = std::function<void(const std::string& url)>;
void SetOpenUrlHook(OpenUrlHook hook);

// Opens a file of the program folder in the program the user has for it
// (ShellExecuteW "open", shown normally). Tests redirect it like OpenUrl.
void OpenFile(const std::filesystem::path& file) noexcept;
using OpenFileHook = std::function<void(const std::filesystem::path& file)>;
void SetOpenFileHook(OpenFileHook hook);

// The running exe and its folder, whatever characters the path holds.
std::filesystem::path ProgramExe();
std::filesystem::path ProgramFolder();

}  // namespace tw::win
