#include "text/cp1251.h"

namespace tw {

std::u16string Cp1251ToUtf16(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (char c : bytes) out.push_back(Cp1251ToUnit(static_cast<unsigned char>(c)));
  return out;
}

namespace {

// Reverse table for the upper half, built once.
struct ReverseTable {
  std::array<char, 0x10000> bytes{};
  ReverseTable() {
    bytes.fill(kCp1251Unmappable);
    for (unsigned b = 0; b < 0x80; ++b) bytes[b] = static_cast<char>(b);
    for (unsigned i = 0; i < kCp1251High.size(); ++i) {
      bytes[kCp1251High[i]] = static_cast<char>(0x80 + i);
    }
  }
};

const ReverseTable& Reverse() {
  static const ReverseTable table;
  return table;
}

}  // namespace

std::string Utf16ToCp1251(std::u16string_view text) {
  const auto& table = Reverse();
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      ++i;  // one character outside the code page, one '?'
      out.push_back(kCp1251Unmappable);
      continue;
    }
    out.push_back(table.bytes[unit]);
  }
  return out;
}

std::string Utf8ToCp1251(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
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
    } else if (lead >= 0x80) {
      extra = 0;  // stray continuation byte
      cp = 0xFFFD;
    }
    if (i + extra >= utf8.size()) {  // sequence cut off by the end
      out.push_back(kCp1251Unmappable);
      break;
    }
    for (std::size_t k = 1; k <= extra; ++k) {
      cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    }
    i += extra + 1;
    out.push_back(CodePointToCp1251(cp));
  }
  return out;
}

std::string Cp1251ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (char c : bytes) {
    const char16_t u = Cp1251ToUnit(static_cast<unsigned char>(c));
    if (u < 0x80) {
      out.push_back(static_cast<char>(u));
    } else if (u < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (u >> 6)));
      out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (u >> 12)));
      out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    }
  }
  return out;
}

}  // namespace tw
