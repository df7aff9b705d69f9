#include <windows.h>

#include "files/replace_file.h"

namespace tw {

bool FlushAndReplace(const std::filesystem::path& temp, const std::filesystem::path& target) {
  // The file's cache is flushed whichever handle asks for it; a scanner that
  // reads the new file meanwhile is no reason to fail.
  const HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool flushed = FlushFileBuffers(file) != 0;
  CloseHandle(file);
  // WRITE_THROUGH: the call returns only once the rename is on the disk too.
  return flushed &&
         MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace tw
