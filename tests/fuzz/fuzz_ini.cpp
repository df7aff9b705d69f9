// Any bytes as a profile file: reads never crash, and a value written into
// the file reads back as written while other sections keep their values.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte says how many of the last bytes are the value to write.
  const size_t valueSize = std::min<size_t>(data[0] % 80, size - 1);
  const std::string file(reinterpret_cast<const char*>(data) + 1, size - 1 - valueSize);
  const std::string value(reinterpret_cast<const char*>(data) + size - valueSize, valueSize);

  (void)tw::IniReadValue(file, "Main", "ID");
  (void)tw::IniReadValue(file, "", "");
  const std::string other = tw::IniReadValue(file, "X", "Y");

  const std::string written = tw::IniWriteValue(file, "Main", "ID", value);
  if (value.find_first_of(std::string("\r\n\0", 3)) == std::string::npos) {
    if (tw::IniReadValue(written, "main", "id") != value) std::abort();
  }
  if (tw::IniReadValue(written, "X", "Y") != other) std::abort();
  return 0;
}
