// How far a list box scrolls sideways: as far as its longest line reaches,
// so a long nickname is never cut off at the list's edge.
#pragma once

#include <string>
#include <vector>

#include "win32/windows_headers.h"

namespace tw::win {

// Sets `list`'s horizontal extent to its widest line in its own font, tabs
// expanded at `tabStops` (pixels from the line's start; none: no tabs), plus
// `margin` pixels for the list's inner edge. An empty list scrolls not at all.
void FitListExtent(HWND list, const std::vector<int>& tabStops, int margin) noexcept;
// The same for a list whose lines the caller still holds: `lines` are what
// the list shows, so nothing is read back from it.
void FitListExtent(HWND list, const std::vector<std::u16string>& lines, const std::vector<int>& tabStops,
                   int margin) noexcept;

}  // namespace tw::win
