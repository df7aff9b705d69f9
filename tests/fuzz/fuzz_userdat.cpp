// Any bytes as user.dat give two strings without reading out of bounds; any
// credentials that are accepted for writing read back unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/credential_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  (void)tw::ReadCredentialRecord(bytes);

  if (size >= 2 && size <= 60) {
    const size_t split = 1 + data[0] % (size - 1);
    const std::string login = bytes.substr(1, split);
    const std::string password = bytes.substr(1 + split);
    unsigned char next = 50;
    tw::Crypt crypt([&next]() { return next = static_cast<unsigned char>(next == 199 ? 50 : next + 1); });
    std::string record;
    if (!password.empty() && crypt.BuildRecord(login, password, record).status == tw::CryptStatus::Written) {
      const tw::Credentials back = tw::ReadCredentialRecord(record + "\r\n");
      if (back.login != login || back.password != password) std::abort();
    }
  }
  return 0;
}
