// Any page: no crash, and tmp.id is either the new list plus CR LF (on
// success) or exactly what it was before (on any message); never partial.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "files/atomic_file.h"
#include "readers/profile_parser.h"
#include "text/cp1251.h"

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const fs::path folder = [] {
    fs::path p = fs::temp_directory_path() / ("tw-fuzz-parser-" + std::to_string(::getpid()));
    fs::create_directories(p);
    return p;
  }();
  const fs::path list = folder / "tmp.id";
  const std::string before = tw::ReadFileBytes(list).value_or("<none>");
  std::string page(reinterpret_cast<const char*>(data), size);
  std::string owner;
  const bool guest = size > 0 && (data[0] & 1);
  const bool marked = page.find(tw::cp1251("#readerslist\">Всего:").view()) != std::string::npos;
  std::optional<std::size_t> total = 7;
  const std::string message = tw::ParseProfilePage(page, owner, {"42", guest, folder}, &total);
  if (total && !marked) std::abort();  // a total comes only from the block's marker
  const std::string after = tw::ReadFileBytes(list).value_or("<none>");
  if (message.empty()) {
    if (after != page + "\r\n" || page.find('%') == std::string::npos) std::abort();
  } else if (after != before) {
    std::abort();
  }
  if (fs::exists(tw::TemporaryFileFor(list, tw::kListTempSuffix))) std::abort();
  return 0;
}
