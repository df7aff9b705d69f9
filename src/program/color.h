// Colours as the program stores them: 0x00BBGGRR, or a system colour by its
// index, resolved only when drawn (the user may change the scheme meanwhile).
#pragma once

#include <cstdint>
#include <functional>

namespace tw {

// 0x00BBGGRR, or kSystemColorFlag + n for system colour n.
using Color = std::uint32_t;
inline constexpr Color kSystemColorFlag = 0x80000000u;
inline constexpr Color kBlack = 0x000000;
inline constexpr Color kWhite = 0xFFFFFF;

constexpr Color SystemColor(int index) { return kSystemColorFlag + static_cast<Color>(index); }
constexpr Color Rgb(int r, int g, int b) {
  return static_cast<Color>(r) | (static_cast<Color>(g) << 8) | (static_cast<Color>(b) << 16);
}

using SystemColorSource = std::function<Color(int index)>;

// A system colour becomes its current value; a direct colour stays.
inline Color ResolveColor(Color color, const SystemColorSource& system) {
  return (color & kSystemColorFlag) != 0 ? system(static_cast<int>(color & 0x7FFFFFFF)) : color;
}

}  // namespace tw
