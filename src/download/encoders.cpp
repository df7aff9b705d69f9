#include "download/encoders.h"

#include <algorithm>

namespace tw {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

bool IsControlByte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F;
}

}  // namespace

std::string ConvertNick(std::string_view login) {
  if (!login.empty() && login.front() == '%' && std::none_of(login.begin(), login.end(), IsControlByte)) {
    return std::string(login);
  }
  std::string out;
  out.reserve(login.size() * 3);
  for (const char c : login) {
    if (c == ' ') {
      out.push_back('+');
      continue;
    }
    const auto byte = static_cast<unsigned char>(c);
    out.push_back('%');
    out.push_back(kHexDigits[byte >> 4]);
    out.push_back(kHexDigits[byte & 0x0F]);
  }
  return out;
}

std::array<char, 4> EncodeTriplet(unsigned char b0, unsigned char b1, unsigned char b2) {
  return {kBase64Alphabet[b0 >> 2], kBase64Alphabet[((b0 & 3) << 4) | (b1 >> 4)],
          kBase64Alphabet[((b1 & 15) << 2) | (b2 >> 6)], kBase64Alphabet[b2 & 63]};
}

std::string Base64Encode(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  std::size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    const auto quad = EncodeTriplet(at(i), at(i + 1), at(i + 2));
    out.append(quad.data(), quad.size());
  }
  const std::size_t rest = bytes.size() - i;
  if (rest == 1) {
    const auto quad = EncodeTriplet(at(i), 0, 0);
    out.append(quad.data(), 2);
    out.append("==");
  } else if (rest == 2) {
    const auto quad = EncodeTriplet(at(i), at(i + 1), 0);
    out.append(quad.data(), 3);
    out.push_back('=');
  }
  return out;
}

}  // namespace tw
