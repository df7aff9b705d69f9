// Reader list files ("tmp.id" and the snapshots <ID>.id): lines separated by
// CR LF, each "ID%nickname". A line is split at its first "%"; a line
// without "%" carries no entry but still counts as a line.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

struct ReaderEntry {
  std::string ID;
  std::string Nick;

  bool operator==(const ReaderEntry&) const = default;
};

struct ReaderList {
  std::vector<ReaderEntry> entries;  // in file order
  std::size_t lineCount = 0;         // every line read, entries or not
};

// Splits list text into lines at CR LF. The CR LF after the last line ends
// that line and starts no new one; text after the last CR LF is a line.
ReaderList ParseReaderList(std::string_view text);

// The list in `file`, or nullopt when the file does not exist or cannot be
// read.
std::optional<ReaderList> ReadReaderListFile(const std::filesystem::path& file);

}  // namespace tw
