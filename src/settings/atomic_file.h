// Whole-file reads and writes for the data files in the program folder. A
// write never leaves a half-written file: the bytes go to "<name>.tmp" in the
// same folder, are flushed, and one rename replaces the target.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tw {

// The file's bytes, or nullopt when it does not exist or cannot be read.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path);

// Replaces `path` with `bytes`. On failure the target is left as it was, the
// temporary file is removed, and false is returned.
bool WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes);

}  // namespace tw
