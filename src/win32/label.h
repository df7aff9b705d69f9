// Text labels of the program's windows (their fonts for a DPI: win32/dpi.h).
#pragma once

#include <string_view>

#include "win32/handle.h"
#include "win32/windows_headers.h"

namespace tw::win {

// The colour of the program's text links.
inline constexpr COLORREF kLinkColor = RGB(0, 0, 192);

HFONT GuiFont() noexcept;

// A left-aligned STATIC child without "&" prefixes, in `font` (the GUI font
// when null). `text` is cp1251.
HWND CreateLabel(HWND parent, int id, std::string_view text, int x, int y, int width, int height,
                 DWORD extraStyle = 0, HFONT font = nullptr) noexcept;

// For WM_SETCURSOR: the hand when the pointer is over `link`; true when set.
bool SetLinkCursor(HWND under, HWND link) noexcept;

}  // namespace tw::win
