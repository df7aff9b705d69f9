// Move-only owners of Win32 handles and GDI objects. The delete function is
// part of the type, so a brush can never be released with CloseHandle.
#pragma once

#include <utility>

#include "win32/windows_headers.h"

namespace tw::win {

template <typename T, auto Delete>
class UniqueHandle {
 public:
  UniqueHandle() noexcept = default;
  explicit UniqueHandle(T value) noexcept : value_(value) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : value_(std::exchange(other.value_, T{})) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.value_, T{}));
    return *this;
  }
  ~UniqueHandle() { Reset(); }

  T Get() const noexcept { return value_; }
  explicit operator bool() const noexcept { return value_ != T{}; }
  T Release() noexcept { return std::exchange(value_, T{}); }
  void Reset(T value = T{}) noexcept {
    const T old = std::exchange(value_, value);
    if (old != T{}) Delete(old);
  }

 private:
  T value_{};
};

namespace detail {
template <typename T>
inline void DeleteGdi(T object) noexcept {
  DeleteObject(object);
}
inline void CloseKernel(HANDLE handle) noexcept { CloseHandle(handle); }
inline void DeleteMemoryDc(HDC dc) noexcept { DeleteDC(dc); }
inline void DestroyIconHandle(HICON icon) noexcept { DestroyIcon(icon); }
}  // namespace detail

template <typename T>
using GdiObject = UniqueHandle<T, detail::DeleteGdi<T>>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;
using Bitmap = GdiObject<HBITMAP>;
using Font = GdiObject<HFONT>;
using Region = GdiObject<HRGN>;
using KernelHandle = UniqueHandle<HANDLE, detail::CloseKernel>;
using MemoryDc = UniqueHandle<HDC, detail::DeleteMemoryDc>;
using Icon = UniqueHandle<HICON, detail::DestroyIconHandle>;

}  // namespace tw::win
