// A stored file whose replacement cannot be finished: the old file stays
// whole, the temporary file goes, and the writer says it failed.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "files/atomic_file.h"
#include "files/replace_file.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

struct Held {
  HANDLE handle = INVALID_HANDLE_VALUE;
  ~Held() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(ReplaceFailure, OldFileStaysWholeAndTheWriterSaysSo) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const fs::path folder = fs::path(temp) / (L"tw-replace-" + std::to_wstring(GetCurrentProcessId()));
  fs::create_directories(folder);
  struct Case {
    const char* name;
    // Sets the obstacle up; the handle, if any, is held through the write.
    void (*setUp)(const fs::path& target, Held& held);
    bool throughWriter;  // else the platform step alone, on a ready temporary file
  };
  const Case cases[] = {
      {"target open without sharing",
       [](const fs::path& target, Held& held) {
         held.handle = CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
       },
       true},
      {"target open for reading by another program",
       [](const fs::path& target, Held& held) {
         held.handle =
             CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
       },
       true},
      {"temporary file held by a scanner, so it cannot be opened to flush",
       [](const fs::path& target, Held& held) {
         const fs::path tempFile = TemporaryFileFor(target);
         WriteBytes(tempFile, "new");
         held.handle = CreateFileW(tempFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
       },
       false},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path target = folder / ("case" + std::to_string(n++) + ".ini");
    WriteBytes(target, "[Main]\r\nID=42\r\n");
    bool written = true;
    {
      Held held;
      c.setUp(target, held);
      written = c.throughWriter ? WriteFileAtomic(target, "[Main]\r\nID=7\r\n")
                                : FlushAndReplace(TemporaryFileFor(target), target);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadFileBytes(target), "[Main]\r\nID=42\r\n");
    if (c.throughWriter) {
      EXPECT_FALSE(fs::exists(TemporaryFileFor(target)));
    }
  }
  std::error_code ec;
  fs::remove_all(folder, ec);
}

}  // namespace
}  // namespace tw
