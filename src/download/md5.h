// MD5 (RFC 1321) of cp1251 bytes; the user_pass cookie carries the digest of
// the password, never the password itself.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tw {

class Md5 {
 public:
  // 32 lower-case hex digits. The state is reset at every call, so one object
  // digests any number of texts one after the other.
  std::string CalculateMD5(std::string_view bytes);

 private:
  void Reset();
  void Update(const unsigned char* data, std::size_t size);
  void Transform(const unsigned char* block);

  std::array<std::uint32_t, 4> state_{};
  std::array<unsigned char, 64> buffer_{};
  std::uint64_t count_ = 0;  // bytes fed
};

}  // namespace tw
