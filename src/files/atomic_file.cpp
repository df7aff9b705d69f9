#include "files/atomic_file.h"

#include <exception>
#include <fstream>
#include <system_error>

#include "files/replace_file.h"

namespace tw {

namespace fs = std::filesystem;

namespace {

std::optional<int> changesLeft;

// False once a test's stop has been reached.
bool MayChange() {
  if (!changesLeft) return true;
  if (*changesLeft == 0) return false;
  --*changesLeft;
  return true;
}

}  // namespace

void StopFileChangesAfter(std::optional<int> changes) { changesLeft = changes; }

fs::path TemporaryFileFor(const fs::path& target, std::string_view suffix) {
  fs::path temp = target;
  temp += suffix;
  return temp;
}

std::optional<std::string> ReadFileBytes(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  try {
    // Reading in blocks into a buffer of the file's size: a list of 100,000
    // readers is read without regrowing the string.
    const auto size = fs::file_size(path, ec);
    std::string bytes;
    if (!ec) bytes.reserve(static_cast<std::size_t>(size));
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
      bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) return std::nullopt;
    return bytes;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

bool MayExist(const fs::path& path) {
  std::error_code ec;
  return fs::exists(path, ec) || ec;
}

bool DeleteForced(const fs::path& path) {
  std::error_code ec;
  if (!fs::exists(path, ec)) return true;
  if (!MayChange()) return false;
  fs::remove(path, ec);
  if (!fs::exists(path, ec)) return true;
  // A read-only file goes too.
  fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ec);
  fs::remove(path, ec);
  return !fs::exists(path, ec);
}

SavedFile SavedFile::Of(const fs::path& path) {
  SavedFile saved;
  std::optional<std::string> bytes = ReadFileBytes(path);
  if (!bytes) {
    saved.existed = MayExist(path);
    saved.readable = !saved.existed;
    return saved;
  }
  saved.existed = true;
  saved.bytes = std::move(*bytes);
  std::error_code ec;
  const fs::file_time_type modified = fs::last_write_time(path, ec);
  if (!ec) saved.modified = modified;
  return saved;
}

bool SavedFile::Restore(const fs::path& path) const {
  if (existed) return readable && WriteFileAtomic(path, bytes, {kTempSuffix, modified});
  return DeleteForced(path) && !MayExist(path);
}

bool WriteFileAtomic(const fs::path& path, std::string_view bytes, const AtomicWrite& how) {
  if (!MayChange()) return false;
  const fs::path temp = TemporaryFileFor(path, how.tempSuffix);
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
    written = written && !out.fail();  // the close can fail too (disk full)
  }
  if (written && how.modified) {
    fs::last_write_time(temp, *how.modified, ec);
    written = !ec;
  }
  written = written && FlushAndReplace(temp, path);
  // Only what this call created is removed; anything else in the way stays.
  if (!written && created) fs::remove(temp, ec);
  return written;
}

}  // namespace tw
