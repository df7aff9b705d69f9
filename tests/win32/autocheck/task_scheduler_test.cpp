// The daily task through the real Task Scheduler interfaces: registered,
// found by name with its action, one per folder, orphans removed, deleted.
// The trigger and settings are tested in the XML the program builds.
// WINE_TASK_DEFINITION: Wine 8 keeps a task's name but neither its triggers
// nor its actions, so there the action reads back empty.
#include "autocheck/task_scheduler.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "win32/windows_headers.h"

namespace tw::win {
namespace {

std::filesystem::path MakeCopy(const wchar_t* name) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / name;
  std::filesystem::create_directories(folder);
  std::ofstream(folder / L"tallywick.exe") << "MZ";
  return folder;
}

TEST(TaskScheduler, RegisterFindEnsureAndDeleteByFolder) {
  _wsystem(L"net start schedule >nul 2>&1");  // Wine starts no service by itself
  const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  const std::filesystem::path folder = MakeCopy(L"tw-task Программа & co");
  const std::filesystem::path exe = folder / L"tallywick.exe";
  ASSERT_EQ(DeleteCheckTask(folder), "") << "no task is no failure";
  EXPECT_FALSE(FindCheckTask(folder));

  ASSERT_EQ(RegisterCheckTask(exe, "07:00"), "");
  std::string error;
  const std::optional<FoundTask> found = FindCheckTask(folder, &error);
  ASSERT_TRUE(found) << error;
  if (!wine || !found->command.empty()) {
    EXPECT_EQ(found->command, exe.wstring());
    EXPECT_EQ(found->arguments, L"/check");
    EXPECT_EQ(found->workingDirectory, folder.wstring());
  }

  // A copy in another folder keeps a task of its own; once the first
  // folder is gone, its task goes with the next registration.
  const std::filesystem::path other = MakeCopy(L"tw-task other");
  ASSERT_EQ(EnsureCheckTask(other / L"tallywick.exe", "08:00"), "");
  EXPECT_TRUE(FindCheckTask(other));
  EXPECT_TRUE(FindCheckTask(folder));
  std::filesystem::remove_all(folder);
  DeleteOrphanedCheckTasks();
  if (!wine) {
    EXPECT_FALSE(FindCheckTask(folder));
  }
  EXPECT_TRUE(FindCheckTask(other));

  EXPECT_EQ(DeleteCheckTask(other), "");
  EXPECT_EQ(DeleteCheckTask(folder), "");
  EXPECT_FALSE(FindCheckTask(other));
  std::filesystem::remove_all(other);
}

}  // namespace
}  // namespace tw::win
