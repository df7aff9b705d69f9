// verinfo: what Windows shows as a program's version, read through the
// version resource API, as UTF-8:
//
//   verinfo.exe <file>
//
// prints "<major>.<minor>.<build>.<revision>" (the fixed part), then the
// "FileVersion" and "ProductVersion" texts of the first language block, one
// a line. Exit code 1 when the file has no version resource.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

void PrintUtf8(const wchar_t* text) {
  char bytes[512];
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
  std::printf("%s\n", n > 0 ? bytes : "");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: verinfo.exe <file>\n");
    return 2;
  }
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(argv[1], &ignored);
  std::vector<BYTE> block(size);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (size == 0 || !GetFileVersionInfoW(argv[1], 0, size, block.data()) ||
      !VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || fixed == nullptr) {
    std::fprintf(stderr, "no version resource (error %lu)\n", GetLastError());
    return 1;
  }
  std::printf("%u.%u.%u.%u\n", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
              HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
  struct Translation {
    WORD language;
    WORD codePage;
  }* translation = nullptr;
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                      &length) ||
      length < sizeof(Translation)) {
    return 1;
  }
  for (const wchar_t* name : {L"FileVersion", L"ProductVersion"}) {
    wchar_t path[64];
    swprintf(path, 64, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language, translation->codePage,
             name);
    wchar_t* text = nullptr;
    PrintUtf8(VerQueryValueW(block.data(), path, reinterpret_cast<void**>(&text), &length) && text ? text
                                                                                                   : L"");
  }
  return 0;
}
