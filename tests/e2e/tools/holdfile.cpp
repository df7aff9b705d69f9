// holdfile: keeps a file open with no sharing at all, as another program
// that has it locked would.
//
//   holdfile.exe <file>
//
// Prints "held" once the file is open, then holds it until its standard
// input ends (or two minutes pass). Exit code 1 when the file cannot be
// opened.
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: holdfile.exe <file>\n");
    return 2;
  }
  const HANDLE file =
      CreateFileW(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "cannot open (error %lu)\n", GetLastError());
    return 1;
  }
  std::printf("held\n");
  std::fflush(stdout);
  // A waiting thread reads standard input; the main one gives up after the
  // limit, so a forgotten holder never outlives its script for long.
  const HANDLE reader = CreateThread(
      nullptr, 0,
      [](void*) -> DWORD {
        while (std::getchar() != EOF) {
        }
        return 0;
      },
      nullptr, 0, nullptr);
  if (reader != nullptr) {
    WaitForSingleObject(reader, 120000);
    CloseHandle(reader);
  }
  CloseHandle(file);
  return 0;
}
