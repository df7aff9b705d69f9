#include "win32/shell.h"

#include <vector>

#include "win32/wide_text.h"
#include "win32/windows_headers.h"

namespace tw::win {

namespace {
OpenUrlHook& Hook() {
  static OpenUrlHook hook;
  return hook;
}
OpenFileHook& FileHook() {
  static OpenFileHook hook;
  return hook;
}
}  // namespace

void SetOpenFileHook(OpenFileHook hook) { FileHook() = std::move(hook); }

void OpenFile(const std::filesystem::path& file) noexcept {
  try {
    if (FileHook()) {
      FileHook()(file);
      return;
    }
    ShellExecuteW(nullptr, L"open", file.wstring().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  } catch (...) {
  }
}

void SetOpenUrlHook(OpenUrlHook hook) { Hook() = std::move(hook); }

void OpenUrl(std::string_view url) noexcept {
  try {
    if (Hook()) {
      Hook()(std::string(url));
      return;
    }
    const std::wstring wide = Widen(url);
    ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWMINIMIZED);
  } catch (...) {
  }
}

std::filesystem::path ProgramExe() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::filesystem::current_path() / L"tallywick.exe";
    if (length < buffer.size()) return std::filesystem::path(std::wstring(buffer.data(), length));
    buffer.resize(buffer.size() * 2);  // long (\\?\) paths
  }
}

std::filesystem::path ProgramFolder() { return ProgramExe().parent_path(); }

}  // namespace tw::win
