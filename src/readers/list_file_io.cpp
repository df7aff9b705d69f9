#include "readers/list_file_io.h"

#include <fstream>
#include <system_error>

namespace tw {

namespace fs = std::filesystem;

fs::path TemporaryFileFor(const fs::path& target) {
  fs::path temp = target;
  temp += ".new";
  return temp;
}

bool WriteFileReplacing(const fs::path& target, std::string_view bytes,
                        std::optional<fs::file_time_type> modified) {
  const fs::path temp = TemporaryFileFor(target);
  std::error_code ec;
  bool created = false;
  bool written = false;
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    created = static_cast<bool>(out);
    if (created) {
      out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
      out.flush();
      written = static_cast<bool>(out);
    }
    out.close();
    written = written && !out.fail();
  }
  if (written && modified) {
    fs::last_write_time(temp, *modified, ec);
    written = !ec;
  }
  if (written) {
    fs::rename(temp, target, ec);
    written = !ec;
  }
  // Only what this call created is removed; anything else in the way stays.
  if (!written && created) fs::remove(temp, ec);
  return written;
}

std::optional<std::string> ReadWholeFile(const fs::path& file) {
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  const auto size = fs::file_size(file, ec);
  std::string bytes;
  if (!ec) bytes.reserve(static_cast<std::size_t>(size));
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad()) return std::nullopt;
  return bytes;
}

}  // namespace tw
