// Reading and writing whole list files in the program folder. A file the
// program writes is never left half-written: the bytes go to a temporary file
// beside the target, which then replaces the target in one rename.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tw {

// The temporary file that stands beside `target` while it is being written.
std::filesystem::path TemporaryFileFor(const std::filesystem::path& target);

// Writes `bytes` to `target` through a temporary file and one replacing
// rename. With `modified`, the file gets that modification time before the
// rename. Returns false (and leaves `target` as it was, the temporary file
// removed) when any step fails.
bool WriteFileReplacing(const std::filesystem::path& target, std::string_view bytes,
                        std::optional<std::filesystem::file_time_type> modified = std::nullopt);

// The whole file as bytes, or nullopt when it is missing or unreadable.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file);

}  // namespace tw
