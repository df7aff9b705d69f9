// Copying from the program's list boxes: Ctrl+C copies the selected line, a
// context menu offers "Копировать" and "Копировать всё" (every line, joined
// by CR LF). The clipboard gets Unicode text.
#pragma once

#include <string>
#include <string_view>

#include "win32/windows_headers.h"

namespace tw::win {

inline constexpr UINT kCopyLineCommand = 1;
inline constexpr UINT kCopyAllCommand = 2;

// Gives `list` the copy keys and menu for as long as it lives.
void EnableListCopy(HWND list) noexcept;

// Takes the copy keys off `list` while it lives and gives them back after:
// under Wine every message through the subclass costs about 0.1 ms, so a
// list of 20,000 lines fills in seconds with it and in milliseconds without.
class ListCopyPause {
 public:
  explicit ListCopyPause(HWND list) noexcept;
  ListCopyPause(const ListCopyPause&) = delete;
  ListCopyPause& operator=(const ListCopyPause&) = delete;
  ~ListCopyPause();

 private:
  HWND list_;
  bool paused_ = false;
};

// The selected line, or every line joined by CR LF; false when there was
// nothing to copy or the clipboard refused it.
bool CopyListLines(HWND list, bool all) noexcept;

// Puts `text` on the clipboard as CF_UNICODETEXT.
bool SetClipboardText(HWND owner, std::wstring_view text) noexcept;

}  // namespace tw::win
