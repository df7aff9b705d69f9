#include "win32/picture.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <cstring>
#include <optional>
#include <span>
#include <string>

#include "program/picture_scaling.h"
#include "win32/window.h"

namespace tw::win {

namespace {

using Microsoft::WRL::ComPtr;

// The scales stored beside the 100 % bitmap, as PNG resources of type
// "PNG<percent>" under the same id (assets/make-assets draws them).
constexpr int kStoredScales[] = {125, 150, 175, 200, 300};

std::span<const BYTE> ResourceBytes(int id, const wchar_t* type) {
  HINSTANCE module = ProgramInstance();
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
  if (found == nullptr) return {};
  HGLOBAL loaded = LoadResource(module, found);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr) return {};
  return {static_cast<const BYTE*>(bytes), SizeofResource(module, found)};
}

// The 100 % size, read from the bitmap resource's header.
std::optional<SIZE> Size100(int id) {
  const auto bytes = ResourceBytes(id, RT_BITMAP);
  BITMAPINFOHEADER header{};
  if (bytes.size() < sizeof(header)) return std::nullopt;
  std::memcpy(&header, bytes.data(), sizeof(header));
  return SIZE{header.biWidth, header.biHeight < 0 ? -header.biHeight : header.biHeight};
}

// COM for the calling thread while a picture is decoded.
class ComScope {
 public:
  ComScope() noexcept : initialized_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  ~ComScope() {
    if (initialized_) CoUninitialize();
  }

 private:
  bool initialized_;
};

// A PNG resource as 32-bit BGRA pixels.
std::optional<PicturePixels> DecodePng(std::span<const BYTE> png) {
  ComScope com;
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  ComPtr<IWICFormatConverter> converter;
  UINT width = 0;
  UINT height = 0;
  if (FAILED(
          CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))) ||
      FAILED(factory->CreateStream(&stream)) ||
      FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(png.data()), static_cast<DWORD>(png.size()))) ||
      FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                              &decoder)) ||
      FAILED(decoder->GetFrame(0, &frame)) || FAILED(factory->CreateFormatConverter(&converter)) ||
      FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                                   nullptr, 0, WICBitmapPaletteTypeCustom)) ||
      FAILED(converter->GetSize(&width, &height))) {
    return std::nullopt;
  }
  PicturePixels result{static_cast<int>(width), static_cast<int>(height), {}};
  result.pixels.resize(static_cast<std::size_t>(width) * height);
  if (FAILED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(result.pixels.size() * 4),
                                   reinterpret_cast<BYTE*>(result.pixels.data())))) {
    return std::nullopt;
  }
  return result;
}

// Opaque 0xAARRGGBB pixels as a 24-bit top-down DIB section.
HBITMAP DibSection(const PicturePixels& picture) {
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
  bmi.bmiHeader.biWidth = picture.width;
  bmi.bmiHeader.biHeight = -picture.height;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 24;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP result = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (result == nullptr) return nullptr;
  const int stride = (picture.width * 3 + 3) & ~3;
  for (int y = 0; y < picture.height; ++y) {
    BYTE* row = static_cast<BYTE*>(bits) + static_cast<std::ptrdiff_t>(y) * stride;
    for (int x = 0; x < picture.width; ++x) {
      const std::uint32_t p = picture.pixels[static_cast<std::size_t>(y) * picture.width + x];
      row[3 * x] = static_cast<BYTE>(p);
      row[3 * x + 1] = static_cast<BYTE>(p >> 8);
      row[3 * x + 2] = static_cast<BYTE>(p >> 16);
    }
  }
  GdiFlush();
  return result;
}

}  // namespace

HBITMAP LoadPicture(int id, UINT dpi) {
  if (dpi == USER_DEFAULT_SCREEN_DPI) {
    return static_cast<HBITMAP>(
        LoadImageW(ProgramInstance(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  }
  const auto size100 = Size100(id);
  if (!size100) return nullptr;
  // The smallest stored scale at least as large, so filtering only ever
  // shrinks a little; above the largest, the largest grows.
  int scale = kStoredScales[std::size(kStoredScales) - 1];
  for (int stored : kStoredScales) {
    if (stored * USER_DEFAULT_SCREEN_DPI >= static_cast<int>(dpi) * 100) {
      scale = stored;
      break;
    }
  }
  const auto png = ResourceBytes(id, (L"PNG" + std::to_wstring(scale)).c_str());
  const auto stored = png.empty() ? std::nullopt : DecodePng(png);
  if (!stored) return nullptr;
  const int d = static_cast<int>(dpi);
  return DibSection(ScalePicture(*stored, MulDiv(size100->cx, d, USER_DEFAULT_SCREEN_DPI),
                                 MulDiv(size100->cy, d, USER_DEFAULT_SCREEN_DPI)));
}

}  // namespace tw::win
