// usercred: writes a credential file the way the options window saves one.
//
//   usercred.exe <file> <login> <password>
//
// Login and password are given in UTF-8 and stored in the program's code
// page. Exit code 0 when the file was written, 1 when it was refused.
#include <windows.h>

#include <cstdio>
#include <string>

#include "settings/credential_file.h"
#include "text/cp1251.h"
#include "win32/wide_text.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: usercred.exe <file> <login> <password>\n");
    return 2;
  }
  const std::string login = tw::win::Narrow(argv[2]);
  const std::string password = tw::win::Narrow(argv[3]);
  const tw::CryptResult result = tw::Crypt()(login, password, std::filesystem::path(argv[1]));
  if (result.status != tw::CryptStatus::Written) {
    std::fprintf(stderr, "not written (status %d)\n", static_cast<int>(result.status));
    return 1;
  }
  // Read back with the program's own reader: what the program will see.
  const tw::Crypt reader;
  if (reader.EnCrypt(argv[1], 1) != login || reader.EnCrypt(argv[1], 2) != password) {
    std::fprintf(stderr, "the written file does not read back\n");
    return 1;
  }
  return 0;
}
