// The program's pictures, loaded from its resources at the size a window of a
// given DPI shows them.
#pragma once

#include "win32/handle.h"
#include "win32/windows_headers.h"

namespace tw::win {

// The picture `id` as a 24-bit DIB section of exactly its 100 % size times
// dpi / 96 (rounded as MulDiv does). 96 DPI gives the stored 100 % bitmap as
// it is; 120, 144, 168, 192 and 288 give the stored 125..200 % and 300 %
// drawings; any other DPI is filtered down from the next larger drawing
// (200..300 % from the 300 % one, so a 4K screen at 250 % stays sharp;
// above 300 % the 300 % one grows) with the white-key rule kept. Null when
// the resource is missing.
HBITMAP LoadPicture(int id, UINT dpi = USER_DEFAULT_SCREEN_DPI);

}  // namespace tw::win
