#include "files/atomic_file.h"

#include <gtest/gtest.h>

#include <chrono>

#include "settings/temp_folder.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

TEST(AtomicFile, WritesReplaceAndReadBack) {
  test::TempFolder folder;
  const fs::path file = folder / "options.ini";
  EXPECT_FALSE(ReadFileBytes(file).has_value());
  ASSERT_TRUE(WriteFileAtomic(file, std::string("a\0b\r\n", 5)));
  EXPECT_EQ(ReadFileBytes(file), std::string("a\0b\r\n", 5));
  ASSERT_TRUE(WriteFileAtomic(file, ""));
  EXPECT_EQ(ReadFileBytes(file), "");
  const std::string big(300000, 'z');  // longer than one read block
  ASSERT_TRUE(WriteFileAtomic(file, big));
  EXPECT_EQ(ReadFileBytes(file), big);
  EXPECT_FALSE(fs::exists(folder / "options.ini.tmp"));
  EXPECT_FALSE(ReadFileBytes(folder.path()).has_value()) << "a folder is no file";
}

TEST(AtomicFile, ListsGoThroughTheirOwnTemporaryNameAndKeepTheirTime) {
  test::TempFolder folder;
  const fs::path list = folder / "5.id";
  EXPECT_EQ(TemporaryFileFor(list, kListTempSuffix), folder / "5.id.new");
  EXPECT_EQ(TemporaryFileFor(list), folder / "5.id.tmp");
  const auto when = fs::file_time_type::clock::now() - std::chrono::hours(50);
  ASSERT_TRUE(WriteFileAtomic(list, "1%A\r\n", {kListTempSuffix, when}));
  EXPECT_EQ(ReadFileBytes(list), "1%A\r\n");
  const auto kept = fs::last_write_time(list);
  EXPECT_LT(std::chrono::abs(kept - when), std::chrono::seconds(2));
}

TEST(AtomicFile, FailureLeavesTheTargetAndWhatStandsInTheWay) {
  test::TempFolder folder;
  const fs::path list = folder / "5.id";
  ASSERT_TRUE(WriteFileAtomic(list, "old\r\n"));
  // A folder where the temporary file would go: nothing can be written.
  fs::create_directories(folder / "5.id.new" / "inside");
  EXPECT_FALSE(WriteFileAtomic(list, "new\r\n", {kListTempSuffix, std::nullopt}));
  EXPECT_EQ(ReadFileBytes(list), "old\r\n");
  EXPECT_TRUE(fs::exists(folder / "5.id.new" / "inside"));
  // The rename fails when the target is a non-empty folder: the temporary
  // file this call made is removed again.
  fs::create_directories(folder / "busy" / "inside");
  EXPECT_FALSE(WriteFileAtomic(folder / "busy", "x"));
  EXPECT_FALSE(fs::exists(folder / "busy.tmp"));
  EXPECT_TRUE(fs::exists(folder / "busy" / "inside"));
  // A folder that does not exist.
  EXPECT_FALSE(WriteFileAtomic(folder / "missing" / "5.id", "x"));
}

}  // namespace
}  // namespace tw
