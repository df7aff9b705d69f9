#include "text/bytes.h"

namespace tw {

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  for (;;) {
    const std::size_t hit = text.find(from, pos);
    if (hit == std::string_view::npos) break;
    out.append(text.substr(pos, hit - pos));
    out.append(to);
    pos = hit + from.size();
  }
  out.append(text.substr(pos));
  return out;
}

void ReplaceAllInPlace(std::string& text, std::string_view from, std::string_view to) {
  if (from.empty() || text.find(from) == std::string::npos) return;
  text = ReplaceAll(text, from, to);
}

}  // namespace tw
