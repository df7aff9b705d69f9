// Any bytes survive the cp1251 round trip; any UTF-16 converts without
// reading out of bounds.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "text/bytes.h"
#include "text/cp1251.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  if (tw::Utf16ToCp1251(tw::Cp1251ToUtf16(bytes)) != bytes) std::abort();
  std::u16string wide(size / 2, u'\0');
  for (size_t i = 0; i + 1 < size; i += 2) wide[i / 2] = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  (void)tw::Utf16ToCp1251(wide);
  (void)tw::Utf8ToCp1251(bytes);
  const std::string replaced = tw::ReplaceAll(bytes, "  ", " ");
  if (replaced.size() > bytes.size()) std::abort();
  return 0;
}
