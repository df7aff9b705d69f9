// The real tallywick.exe twice: the second start is refused with a message
// and ends; the first keeps running.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "wait.h"
#include "win32/handle.h"
#include "win32/shell.h"

namespace tw {
namespace {

win::KernelHandle Start(const std::filesystem::path& exe) {
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  std::wstring command = L"\"" + exe.wstring() + L"\"";
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      exe.parent_path().c_str(), &si, &pi)) {
    return {};
  }
  CloseHandle(pi.hThread);
  return win::KernelHandle(pi.hProcess);
}

bool Ended(HANDLE process) { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }

TEST(SingleInstance, SecondStartIsRefusedFirstKeepsRunning) {
  const std::filesystem::path built = win::ProgramFolder() / "tallywick.exe";
  ASSERT_TRUE(std::filesystem::exists(built)) << built.string();
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tw-single-instance";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  std::filesystem::copy_file(built, folder / "tallywick.exe");
  std::ofstream(folder / "tmp.id") << "1%left over\r\n";

  win::KernelHandle first = Start(folder / "tallywick.exe");
  ASSERT_TRUE(first);
  HWND main = nullptr;
  ASSERT_TRUE(
      test::WaitFor([&] { return (main = FindWindowW(L"TallywickMain", nullptr)) != nullptr; }, 20000));
  EXPECT_TRUE(test::WaitFor([&] { return !std::filesystem::exists(folder / "tmp.id"); }));

  win::KernelHandle second = Start(folder / "tallywick.exe");
  ASSERT_TRUE(second);
  HWND box = nullptr;
  ASSERT_TRUE(test::WaitFor(
      [&] { return (box = FindWindowW(L"#32770", L"\u041e\u0448\u0438\u0431\u043a\u0430")) != nullptr; },
      20000));
  wchar_t text[128] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 128);
  EXPECT_STREQ(text,
               L"\u041f\u0440\u043e\u0433\u0440\u0430\u043c\u043c\u0430 \u0443\u0436\u0435 "
               L"\u0437\u0430\u043f\u0443\u0449\u0435\u043d\u0430!");
  EXPECT_FALSE(Ended(second.Get())) << "the second copy waits for the message to be closed";
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(test::WaitFor([&] { return Ended(second.Get()); }, 10000));
  EXPECT_FALSE(Ended(first.Get()));
  EXPECT_TRUE(IsWindow(main));

  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(test::WaitFor([&] { return Ended(first.Get()); }, 10000));
  if (!Ended(first.Get())) TerminateProcess(first.Get(), 1);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

}  // namespace
}  // namespace tw
