#include "win32/picture.h"

#include "win32/gdi.h"
#include "win32/window.h"

namespace tw::win {

namespace {

// A copy of `source` scaled to w x h with halftone filtering.
HBITMAP Stretched(HBITMAP source, int w, int h) {
  BITMAP info{};
  if (GetObjectW(source, sizeof(info), &info) == 0) return nullptr;
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
  bmi.bmiHeader.biWidth = w;
  bmi.bmiHeader.biHeight = -h;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 24;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP result = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (result == nullptr) return nullptr;
  MemoryDc from(CreateCompatibleDC(nullptr));
  MemoryDc to(CreateCompatibleDC(nullptr));
  SelectObjectRestorer selectFrom(from.Get(), source);
  SelectObjectRestorer selectTo(to.Get(), result);
  SetStretchBltMode(to.Get(), HALFTONE);
  SetBrushOrgEx(to.Get(), 0, 0, nullptr);
  StretchBlt(to.Get(), 0, 0, w, h, from.Get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
  return result;
}

}  // namespace

HBITMAP LoadPicture(int id, UINT dpi) {
  auto picture = static_cast<HBITMAP>(
      LoadImageW(ProgramInstance(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (picture == nullptr || dpi == USER_DEFAULT_SCREEN_DPI) return picture;
  Bitmap original(picture);
  BITMAP info{};
  GetObjectW(picture, sizeof(info), &info);
  return Stretched(picture, MulDiv(info.bmWidth, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI),
                   MulDiv(info.bmHeight, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI));
}

}  // namespace tw::win
