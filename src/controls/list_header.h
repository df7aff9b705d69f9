// mLstex: a column header over a plain list box. The header sits just above
// the list box, and every time it paints, the list box's tab stops are set to
// the header's column edges, so tab-separated lines follow a dragged divider.
#pragma once

#include <string_view>

#include "win32/windows_headers.h"

namespace tw {

// Creates a "SysHeader32" child of the list box's parent at (x, y, width,
// height) with style extraStyle | WS_CHILD, shows it with the GUI font and
// registers it with the list box. Returns the header, or null on failure.
HWND CreateListHeader(HWND listBox, int x, int y, int width, int height, DWORD extraStyle);

// Inserts a column at `index` with the given width in pixels, item mask,
// format, cp1251 title and bitmap. Returns the new column's index or -1.
int AddHeaderColumn(HWND header, int index, int width, UINT mask, int format, std::string_view title,
                    HBITMAP bitmap);

// The average character width of the list box's font, in pixels, as the
// list box uses it to turn dialog units into pixels.
int ListAverageCharWidth(HWND listBox);

// Index of the header's entry in the registration table, -1 when the header
// is not registered (never was, or has been destroyed).
int FindListHeader(HWND header);
// The list box registered with `header`, or null.
HWND ListBoxOfHeader(HWND header);

}  // namespace tw
