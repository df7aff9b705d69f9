#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "files/replace_file.h"

namespace tw {

bool FlushAndReplace(const std::filesystem::path& temp, const std::filesystem::path& target) {
  const int file = ::open(temp.c_str(), O_WRONLY | O_CLOEXEC);
  if (file < 0) return false;
  const bool flushed = ::fsync(file) == 0;
  ::close(file);
  if (!flushed || std::rename(temp.c_str(), target.c_str()) != 0) return false;
  // The new name is on the disk only once its folder is.
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

}  // namespace tw
