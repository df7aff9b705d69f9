// The program's pictures, loaded from its resources at the size a window of a
// given DPI shows them.
#pragma once

#include "win32/handle.h"
#include "win32/windows_headers.h"

namespace tw::win {

// The picture `id` as a 24-bit DIB section of exactly its 100 % size times
// dpi / 96 (rounded as MulDiv does). 96 DPI gives the stored 100 % bitmap as
// it is; 120, 144, 168 and 192 give the stored 125..200 % drawings; any other
// DPI is filtered from the next larger drawing (above 192 from the 200 % one)
// with the white-key rule kept. Null when the resource is missing.
HBITMAP LoadPicture(int id, UINT dpi = USER_DEFAULT_SCREEN_DPI);

}  // namespace tw::win
