#include "readers/reader_list.h"

#include "readers/list_file_io.h"

namespace tw {

ReaderList ParseReaderList(std::string_view text) {
  ReaderList list;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    ++list.lineCount;
    const std::size_t percent = line.find('%');
    if (percent != std::string_view::npos) {
      list.entries.push_back({std::string(line.substr(0, percent)), std::string(line.substr(percent + 1))});
    }
    start = end + 2;
  }
  return list;
}

std::optional<ReaderList> ReadReaderListFile(const std::filesystem::path& file) {
  const std::optional<std::string> bytes = ReadWholeFile(file);
  if (!bytes) return std::nullopt;
  return ParseReaderList(*bytes);
}

}  // namespace tw
