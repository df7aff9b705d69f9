#include "readers/reader_list.h"

#include <algorithm>

#include "files/atomic_file.h"
#include "text/bytes.h"

namespace tw {

std::string_view ReaderList::Keep(std::string text) {
  if (!texts_) texts_ = std::make_shared<std::deque<std::string>>();
  return texts_->emplace_back(std::move(text));
}

void ReaderList::Add(std::string_view id, std::string_view nick) {
  const std::string_view kept = Keep(std::string(id) + std::string(nick));
  entries.push_back({kept.substr(0, id.size()), kept.substr(id.size())});
}

namespace {

ReaderList ParseKept(std::string owned) {
  ReaderList list;
  const std::string_view text = list.Keep(std::move(owned));
  // One entry per line at most: counting the line feeds first spares the
  // vector its regrowth, which for a long list moved every entry again.
  list.entries.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = Find(text, "\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    ++list.lineCount;
    const std::size_t percent = line.find('%');
    if (percent != std::string_view::npos) {
      list.entries.push_back({line.substr(0, percent), line.substr(percent + 1)});
    }
    start = end + 2;
  }
  return list;
}

}  // namespace

ReaderList ParseReaderList(std::string_view text) { return ParseKept(std::string(text)); }

std::optional<ReaderList> ReadReaderListFile(const std::filesystem::path& file) {
  std::optional<std::string> bytes = ReadFileBytes(file);
  if (!bytes) return std::nullopt;
  return ParseKept(std::move(*bytes));
}

}  // namespace tw
