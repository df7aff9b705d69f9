// Byte-string helpers for cp1251 text: one character is one byte, so every
// search and replacement is a plain byte operation.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tw {

inline constexpr std::size_t kNotFound = std::string::npos;

// Position of the first `needle` at or after `from`, or kNotFound.
// Quicker than std::string_view::find on long texts full of markup.
std::size_t Find(std::string_view text, std::string_view needle, std::size_t from = 0);

inline bool Contains(std::string_view text, std::string_view needle) {
  return Find(text, needle) != kNotFound;
}

// Replaces every non-overlapping `from` by `to` in one left-to-right pass;
// what was inserted is never looked at again ("   " -> "  " for "  " -> " ").
// Linear in the size of the text. An empty `from` changes nothing.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
void ReplaceAllInPlace(std::string& text, std::string_view from, std::string_view to);

}  // namespace tw
