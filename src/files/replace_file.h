// The one step of a file write that differs between systems: the finished
// temporary file is forced to the disk and then takes the target's place in
// one rename. Until the bytes are on the disk, a power cut could leave the
// renamed file empty or full of zeros, which is worse than the old file.
#pragma once

#include <filesystem>

namespace tw {

// Flushes `temp` to the disk and renames it over `target`. False when either
// failed; `temp` is then still there and `target` as it was.
bool FlushAndReplace(const std::filesystem::path& temp, const std::filesystem::path& target);

}  // namespace tw
