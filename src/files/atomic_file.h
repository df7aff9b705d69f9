// Whole-file reads and writes for the files in the program folder: the
// settings, the credentials, the reader lists and the histories. A write
// never leaves a half-written file where a reader of the target could take
// it, not even after a power cut: the bytes go to a temporary file beside the
// target, are forced to the disk, and one rename replaces the target.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tw {

// Suffixes of the temporary files: settings and credential files are written
// through "<name>.tmp", reader lists through "<name>.new". Neither ends in
// ".id", so an unfinished list is never taken for one.
inline constexpr std::string_view kTempSuffix = ".tmp";
inline constexpr std::string_view kListTempSuffix = ".new";

// The temporary file that stands beside `target` while it is written.
std::filesystem::path TemporaryFileFor(const std::filesystem::path& target,
                                       std::string_view suffix = kTempSuffix);

// The file's bytes, or nullopt when it does not exist or cannot be read.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path);

// False only when nothing stands at `path`: a file that cannot even be looked
// at counts as there, so an unreadable file is never taken for a missing one.
bool MayExist(const std::filesystem::path& path);

struct AtomicWrite {
  std::string_view tempSuffix = kTempSuffix;
  // When set, the file gets this modification time before the rename.
  std::optional<std::filesystem::file_time_type> modified;
};

// Replaces `path` with `bytes`. On failure the target is left as it was, the
// temporary file this call made is removed, and false is returned.
bool WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes, const AtomicWrite& how = {});

// Deletes `path` also when it is read-only. False when it still exists.
bool DeleteForced(const std::filesystem::path& path);

// For tests of a change made of several steps: after `changes` more writes or
// deletions through this file, every further one fails without touching the
// disk, as if the machine had stopped there. nullopt lifts the stop.
void StopFileChangesAfter(std::optional<int> changes);

// A file as it is now, to be put back when a later step of the same change
// fails.
struct SavedFile {
  bool existed = false;
  bool readable = true;  // false when it is there but could not be read
  std::string bytes;
  std::optional<std::filesystem::file_time_type> modified;

  static SavedFile Of(const std::filesystem::path& path);
  // The file as it was, bytes and time, or gone again when there was none.
  // False when that could not be done.
  bool Restore(const std::filesystem::path& path) const;
};

}  // namespace tw
