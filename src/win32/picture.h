// The program's pictures, loaded from its resources at the size a window of a
// given DPI shows them.
#pragma once

#include "win32/handle.h"
#include "win32/windows_headers.h"

namespace tw::win {

// The picture `id` as a 24-bit DIB section, sized for `dpi` (96 = 100 %).
// Null when the resource is missing.
HBITMAP LoadPicture(int id, UINT dpi = USER_DEFAULT_SCREEN_DPI);

}  // namespace tw::win
