#include "win32/gdi.h"

#include "program/color.h"

namespace tw::win {

OffscreenSurface::OffscreenSurface(HDC reference, int width, int height) noexcept
    : dc_(CreateCompatibleDC(reference)),
      bitmap_(CreateCompatibleBitmap(reference, width, height)),
      width_(width),
      height_(height),
      selection_(dc_.Get(), bitmap_.Get()) {}

COLORREF ResolveSystemColor(std::uint32_t color) noexcept {
  return ResolveColor(color, [](int index) { return static_cast<std::uint32_t>(GetSysColor(index)); });
}

}  // namespace tw::win
