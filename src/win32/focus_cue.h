// The dotted focus cue the program's own controls draw while the keyboard
// holds them, and how they tell a keyboard focus from a click's.
#pragma once

#include "win32/windows_headers.h"

namespace tw::win {

// Draws (or, drawn again, removes) the dotted cue on `rect`.
void DrawFocusCue(HDC dc, const RECT& rect) noexcept;

// True while a pointer button is down: the focus arriving then came with a
// click, not from the keyboard.
bool FocusFromPointer() noexcept;

}  // namespace tw::win
