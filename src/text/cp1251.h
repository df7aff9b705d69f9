// Windows-1251 text: the one code page of the wire and of every data file.
// Core text is a std::string of cp1251 bytes; the screen is UTF-16. Both
// directions go through the table here, never through the system code page.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace tw {

// UTF-16 code unit of every cp1251 byte. 0x98 has no character in the code
// page; it maps to U+0098 so that every byte survives a round trip.
inline constexpr std::array<char16_t, 128> kCp1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // F8
};

inline constexpr char kCp1251Unmappable = '?';

constexpr char16_t Cp1251ToUnit(unsigned char byte) {
  return byte < 0x80 ? static_cast<char16_t>(byte) : kCp1251High[byte - 0x80];
}

// The cp1251 byte of a Unicode code point, or '?' when the code page has none.
constexpr char CodePointToCp1251(char32_t cp) {
  if (cp < 0x80) return static_cast<char>(cp);
  for (std::size_t i = 0; i < kCp1251High.size(); ++i) {
    if (kCp1251High[i] == cp) return static_cast<char>(0x80 + i);
  }
  return kCp1251Unmappable;
}

std::u16string Cp1251ToUtf16(std::string_view bytes);
// Surrogate pairs and anything else outside the code page become one '?'.
std::string Utf16ToCp1251(std::u16string_view text);
// For tools and tests that speak UTF-8 (the stand-in, fixtures, logs).
std::string Utf8ToCp1251(std::string_view utf8);
std::string Cp1251ToUtf8(std::string_view bytes);

// A UTF-8 literal turned into cp1251 bytes at compile time:
//   std::string title = cp1251("Сообщение");
template <std::size_t N>
struct Cp1251Literal {
  std::array<char, N> bytes{};
  std::size_t length = 0;

  consteval explicit Cp1251Literal(const char (&utf8)[N]) {
    std::size_t i = 0;
    while (i + 1 < N) {
      const auto lead = static_cast<unsigned char>(utf8[i]);
      char32_t cp = lead;
      std::size_t extra = 0;
      if (lead >= 0xF0) {
        cp = lead & 0x07;
        extra = 3;
      } else if (lead >= 0xE0) {
        cp = lead & 0x0F;
        extra = 2;
      } else if (lead >= 0xC0) {
        cp = lead & 0x1F;
        extra = 1;
      }
      for (std::size_t k = 1; k <= extra; ++k) {
        cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
      }
      i += extra + 1;
      bytes[length++] = CodePointToCp1251(cp);
    }
  }

  constexpr std::string_view view() const { return {bytes.data(), length}; }
  constexpr operator std::string_view() const { return view(); }
  operator std::string() const { return std::string(view()); }
  std::string str() const { return std::string(view()); }

  friend bool operator==(const std::string& lhs, const Cp1251Literal& rhs) {
    return std::string_view(lhs) == rhs.view();
  }
  friend std::string operator+(std::string lhs, const Cp1251Literal& rhs) {
    lhs.append(rhs.view());
    return lhs;
  }
  friend std::string operator+(const Cp1251Literal& lhs, std::string_view rhs) {
    std::string out(lhs.view());
    out.append(rhs);
    return out;
  }
};

template <std::size_t N>
consteval Cp1251Literal<N> cp1251(const char (&utf8)[N]) {
  return Cp1251Literal<N>(utf8);
}

}  // namespace tw
