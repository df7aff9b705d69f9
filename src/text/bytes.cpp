#include "text/bytes.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tw {

namespace {

// The first `needle` (two bytes or more) at or after `from`. Sixteen
// positions are tried at once: only where both the first and the last byte
// of the needle match is the rest compared. For markup, whose needles begin
// with bytes as common as "<" or "&", this is several times quicker than
// stopping at every first byte.
std::size_t FindFrom(std::string_view text, std::string_view needle, std::size_t from) {
#if defined(__SSE2__)
  const std::size_t m = needle.size();
  if (m >= 2 && from <= text.size() && text.size() - from >= m + 15) {
    const char* const data = text.data();
    const __m128i first = _mm_set1_epi8(needle[0]);
    const __m128i last = _mm_set1_epi8(needle[m - 1]);
    std::size_t i = from;
    // Blocks whose last needle would end inside the text.
    for (; i + m + 15 <= text.size(); i += 16) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i + m - 1));
      unsigned mask = static_cast<unsigned>(
          _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
      while (mask != 0) {
        const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(mask));
        std::size_t k = 1;
        while (k + 1 < m && data[at + k] == needle[k]) ++k;
        if (k + 1 >= m) return at;
        mask &= mask - 1;
      }
    }
    return text.find(needle, i);
  }
#endif
  return text.find(needle, from);
}

}  // namespace

std::size_t Find(std::string_view text, std::string_view needle, std::size_t from) {
  return FindFrom(text, needle, from);
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  for (;;) {
    const std::size_t hit = FindFrom(text, from, pos);
    if (hit == std::string_view::npos) break;
    out.append(text.substr(pos, hit - pos));
    out.append(to);
    pos = hit + from.size();
  }
  out.append(text.substr(pos));
  return out;
}

void ReplaceAllInPlace(std::string& text, std::string_view from, std::string_view to) {
  if (from.empty()) return;
  std::size_t hit = FindFrom(text, from, 0);
  if (hit == std::string::npos) return;
  if (to.size() > from.size()) {
    text = ReplaceAll(text, from, to);
    return;
  }
  // The text does not grow: it is compacted in place, with no second copy
  // of a page of several megabytes. The write position never passes the
  // read position, so nothing not yet read is overwritten.
  char* const data = text.data();
  std::size_t write = hit;
  std::size_t read = hit;
  while (hit != std::string::npos) {
    if (write != read) std::memmove(data + write, data + read, hit - read);
    write += hit - read;
    std::memcpy(data + write, to.data(), to.size());
    write += to.size();
    read = hit + from.size();
    hit = FindFrom(text, from, read);
  }
  std::memmove(data + write, data + read, text.size() - read);
  text.resize(write + text.size() - read);
}

}  // namespace tw
