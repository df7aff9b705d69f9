// Every picture at every display scale: its exact size, the stored drawing
// where one exists, and the white key kept clean where it is filtered.
#include "win32/picture.h"

#include <gtest/gtest.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <string>
#include <vector>

#include "program/resource_ids.h"

namespace tw {
namespace {

using Microsoft::WRL::ComPtr;
constexpr std::uint32_t kWhite = 0xffffff;

struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> rgb;  // 0xRRGGBB, rows top to bottom
  std::uint32_t At(int x, int y) const { return rgb[static_cast<std::size_t>(y) * width + x]; }
};

Pixels Read(HBITMAP bitmap) {
  BITMAP info{};
  GetObjectW(bitmap, sizeof(info), &info);
  Pixels p{info.bmWidth, info.bmHeight,
           std::vector<std::uint32_t>(static_cast<std::size_t>(info.bmWidth) * info.bmHeight)};
  BITMAPINFO bmi{};
  bmi.bmiHeader = {sizeof(bmi.bmiHeader), p.width, -p.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, bitmap, 0, static_cast<UINT>(p.height), p.rgb.data(), &bmi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  for (auto& v : p.rgb) v &= 0xffffff;
  return p;
}

Pixels Load(int id, UINT dpi) {
  HBITMAP bitmap = win::LoadPicture(id, dpi);
  if (bitmap == nullptr) return {};
  Pixels p = Read(bitmap);
  DeleteObject(bitmap);
  return p;
}

// A stored file as the program must show it: key (alpha 0) as pure white.
Pixels File(const std::string& relative) {
  const std::wstring path =
      std::wstring(TW_SOURCE_DIR L"/assets/") + std::wstring(relative.begin(), relative.end());
  if (relative.ends_with(".bmp")) {
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    Pixels p = bitmap != nullptr ? Read(bitmap) : Pixels{};
    DeleteObject(bitmap);
    return p;
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  ComPtr<IWICFormatConverter> bgra;
  UINT w = 0, h = 0;
  if (FAILED(
          CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))) ||
      FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                WICDecodeMetadataCacheOnDemand, &decoder)) ||
      FAILED(decoder->GetFrame(0, &frame)) || FAILED(factory->CreateFormatConverter(&bgra)) ||
      FAILED(bgra->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                              WICBitmapPaletteTypeCustom)) ||
      FAILED(bgra->GetSize(&w, &h)))
    return {};
  Pixels p{static_cast<int>(w), static_cast<int>(h),
           std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h)};
  bgra->CopyPixels(nullptr, w * 4, w * h * 4, reinterpret_cast<BYTE*>(p.rgb.data()));
  for (auto& v : p.rgb) v = (v >> 24) == 0 ? kWhite : v & 0xffffff;
  return p;
}

std::vector<int> AllPictureIds() {
  std::vector<int> ids;
  EnumResourceNamesW(
      nullptr, RT_BITMAP,
      [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR list) -> BOOL {
        if (IS_INTRESOURCE(name))
          reinterpret_cast<std::vector<int>*>(list)->push_back(
              static_cast<int>(reinterpret_cast<ULONG_PTR>(name)));
        return TRUE;
      },
      reinterpret_cast<LONG_PTR>(&ids));
  return ids;
}

bool WhiteKeyed(const Pixels& p) {
  for (auto v : p.rgb)
    if (v == kWhite) return true;
  return false;
}

int WhiteShare(const Pixels& p) {  // per mille
  int white = 0;
  for (auto v : p.rgb) white += v == kWhite;
  return static_cast<int>(1000LL * white / static_cast<long long>(p.rgb.size()));
}

constexpr UINT kDpis[] = {72, 96, 108, 120, 132, 144, 168, 192, 240, 288, 336};

TEST(Picture, EveryPictureHasItsExactSizeAtEveryDpi) {
  const auto ids = AllPictureIds();
  ASSERT_GE(ids.size(), 37u);
  for (int id : ids) {
    const Pixels at100 = Load(id, 96);
    ASSERT_GT(at100.width, 0) << id;
    for (UINT dpi : kDpis) {
      const Pixels p = Load(id, dpi);
      EXPECT_EQ(p.width, MulDiv(at100.width, static_cast<int>(dpi), 96)) << id << " at " << dpi;
      EXPECT_EQ(p.height, MulDiv(at100.height, static_cast<int>(dpi), 96)) << id << " at " << dpi;
    }
  }
}

// The stored drawing comes back pixel for pixel at its own scale, never a
// stretched smaller one: at 96 the 100 % bitmap, at 144 the 150 % drawing.
TEST(Picture, AStoredScaleIsItsDrawingUnchanged) {
  struct Case {
    int id;
    UINT dpi;
    std::string file;
  };
  const Case cases[] = {
      {IDB_MAIN_INTRO, 96, "main_intro.bmp"},
      {IDB_OPTIONS_HELP, 96, "options_help.bmp"},
      {IDB_CHECK_IDLE_ON, 96, "check_idle_on.bmp"},
      {IDB_MAIN_INTRO, 144, "150/main_intro.png"},
      {IDB_HEART_COLOR, 144, "150/heart_color.png"},
      {IDB_CHECK_OVER_ON, 144, "150/check_over_on.png"},
      {IDB_ABOUT_CLOSE, 120, "125/about_close.png"},
      {IDB_OPTIONS_HELP, 168, "175/options_help.png"},
      {IDB_REPORT_CLOSE, 192, "200/report_close.png"},
      {IDB_CHECK_DISABLED_OFF, 192, "200/check_disabled_off.png"},
      {IDB_REPORT_ACCEPT, 288, "300/report_accept.png"},
      {IDB_MAIN_NORMAL, 288, "300/main_normal.png"},
  };
  for (const Case& c : cases) {
    const Pixels want = File(c.file);
    ASSERT_GT(want.width, 0) << c.file;
    const Pixels got = Load(c.id, c.dpi);
    ASSERT_EQ(got.width, want.width) << c.file;
    ASSERT_EQ(got.height, want.height) << c.file;
    int differing = 0;
    for (std::size_t i = 0; i < want.rgb.size(); ++i) differing += got.rgb[i] != want.rgb[i];
    EXPECT_EQ(differing, 0) << c.file;
  }
}

// Filtered between stored scales, a white-keyed picture stays one: every
// pixel is the key or below white, no near-white fringe borders the key,
// and about as much of it is key as at 100 %.
TEST(Picture, FilteringKeepsTheWhiteKeyClean) {
  int keyed = 0;
  for (int id : AllPictureIds()) {
    const Pixels at100 = Load(id, 96);
    if (!WhiteKeyed(at100)) continue;
    ++keyed;
    for (UINT dpi : {72u, 108u, 132u, 156u, 180u, 216u, 240u}) {
      const Pixels p = Load(id, dpi);
      ASSERT_GT(p.width, 0) << id << " at " << dpi;
      int strays = 0;
      int fringe = 0;
      for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
          const std::uint32_t v = p.At(x, y);
          if (v == kWhite) continue;
          const int r = v >> 16, g = (v >> 8) & 0xff, b = v & 0xff;
          strays += r == 255 || g == 255 || b == 255;
          const bool nearWhite = r >= 250 && g >= 250 && b >= 250;
          const bool byKey =
              (x > 0 && p.At(x - 1, y) == kWhite) || (x + 1 < p.width && p.At(x + 1, y) == kWhite) ||
              (y > 0 && p.At(x, y - 1) == kWhite) || (y + 1 < p.height && p.At(x, y + 1) == kWhite);
          fringe += nearWhite && byKey;
        }
      }
      EXPECT_EQ(strays, 0) << id << " at " << dpi;
      EXPECT_EQ(fringe, 0) << id << " at " << dpi;
      EXPECT_NEAR(WhiteShare(p), WhiteShare(at100), 40) << id << " at " << dpi;
    }
  }
  EXPECT_GE(keyed, 20);  // every button picture
}

}  // namespace
}  // namespace tw
