// Reader list files ("tmp.id" and the snapshots <ID>.id): lines separated by
// CR LF, each "ID%nickname". A line is split at its first "%"; a line
// without "%" carries no entry but still counts as a line.
#pragma once

#include <cstddef>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// Both parts point into text the list holds, so reading a long list costs
// no allocation per entry.
struct ReaderEntry {
  std::string_view ID;
  std::string_view Nick;

  bool operator==(const ReaderEntry&) const = default;
};

struct ReaderList {
  std::vector<ReaderEntry> entries;  // in file order
  std::size_t lineCount = 0;         // every line read, entries or not

  // Appends an entry whose parts the list keeps its own copy of.
  void Add(std::string_view id, std::string_view nick);

  // Keeps `text` for entries to point into; the returned view stays valid as
  // long as the list or any copy of it lives.
  std::string_view Keep(std::string text);

 private:
  // Shared by copies, whose entries point into the same text. A deque never
  // moves its strings, so no view into them goes stale.
  std::shared_ptr<std::deque<std::string>> texts_;
};

// Splits list text (of which the list keeps a copy) into lines at CR LF. The CR LF after the last line ends
// that line and starts no new one; text after the last CR LF is a line.
ReaderList ParseReaderList(std::string_view text);

// The list in `file`, or nullopt when the file does not exist or cannot be
// read.
std::optional<ReaderList> ReadReaderListFile(const std::filesystem::path& file);

}  // namespace tw
