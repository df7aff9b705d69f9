// Text labels of the program's windows (their fonts for a DPI: win32/dpi.h).
#pragma once

#include <string_view>

#include "win32/handle.h"
#include "win32/windows_headers.h"

namespace tw::win {

HFONT GuiFont() noexcept;

// A left-aligned STATIC child without "&" prefixes, in `font` (the GUI font
// when null). `text` is cp1251.
HWND CreateLabel(HWND parent, int id, std::string_view text, int x, int y, int width, int height,
                 DWORD extraStyle = 0, HFONT font = nullptr) noexcept;

}  // namespace tw::win
