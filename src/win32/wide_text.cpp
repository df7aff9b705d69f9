#include "win32/wide_text.h"

#include "text/cp1251.h"

namespace tw::win {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wchar_t is UTF-16");

std::wstring Widen(std::string_view cp1251Bytes) {
  const std::u16string wide = Cp1251ToUtf16(cp1251Bytes);
  return std::wstring(wide.begin(), wide.end());
}

std::string Narrow(std::wstring_view text) {
  const std::u16string wide(text.begin(), text.end());
  return Utf16ToCp1251(wide);
}

}  // namespace tw::win
