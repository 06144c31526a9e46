#include "copy/copy_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "tests/support/temp_dir.h"

namespace copy {

namespace fs = std::filesystem;

namespace {

class CopyFileTest : public ::testing::Test {
 protected:
  std::string path(const std::string& name) const { return dir_.join(name); }
  TempDir dir_;
};

TEST_F(CopyFileTest, CopiesContentToNewName) {
  std::string content("line one\r\nbinary \0\x1a\xff tail", 24);
  dir_.write("a.bin", content);
  ASSERT_TRUE(CopyFileWin32(path("b.bin"), path("a.bin"), false));
  EXPECT_EQ(content, dir_.read("b.bin"));
  EXPECT_EQ(content, dir_.read("a.bin"));
}

TEST_F(CopyFileTest, CopiesEmptyFile) {
  dir_.write("empty", "");
  ASSERT_TRUE(CopyFileWin32(path("copy"), path("empty"), false));
  EXPECT_TRUE(dir_.exists("copy"));
  EXPECT_EQ("", dir_.read("copy"));
}

TEST_F(CopyFileTest, KeepsModificationTime) {
  dir_.write("a.txt", "old");
  auto stamp = fs::last_write_time(path("a.txt")) - std::chrono::hours(24 * 400);
  fs::last_write_time(path("a.txt"), stamp);
  ASSERT_TRUE(CopyFileWin32(path("b.txt"), path("a.txt"), false));
  EXPECT_EQ(stamp, fs::last_write_time(path("b.txt")));
}

TEST_F(CopyFileTest, ReadOnlySourceGivesReadOnlyCopy) {
  dir_.write("ro.txt", "x");
  fs::permissions(path("ro.txt"),
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  ASSERT_TRUE(CopyFileWin32(path("copy.txt"), path("ro.txt"), false));
  EXPECT_EQ(fs::perms::none,
            fs::status(path("copy.txt")).permissions() & fs::perms::owner_write);
}

TEST_F(CopyFileTest, ExistingDestinationIsKeptWithoutForceWrite) {
  dir_.write("a.txt", "new");
  dir_.write("b.txt", "old content");
  EXPECT_FALSE(CopyFileWin32(path("b.txt"), path("a.txt"), false));
  EXPECT_EQ("old content", dir_.read("b.txt"));
}

TEST_F(CopyFileTest, ForceWriteReplacesExistingDestination) {
  dir_.write("a.txt", "new");
  dir_.write("b.txt", "old content that is longer");
  ASSERT_TRUE(CopyFileWin32(path("b.txt"), path("a.txt"), true));
  EXPECT_EQ("new", dir_.read("b.txt"));
}

TEST_F(CopyFileTest, FileOntoItselfFailsAndStaysIntact) {
  dir_.write("a.txt", "precious");
  for (bool forceWrite : {false, true}) {
    EXPECT_FALSE(CopyFileWin32(path("a.txt"), path("a.txt"), forceWrite)) << forceWrite;
    EXPECT_EQ("precious", dir_.read("a.txt"));
  }
}

TEST_F(CopyFileTest, FailuresCreateNothing) {
  dir_.write("a.txt", "a");
  dir_.makeDirs("dir");
  struct Case {
    const char* destination;
    const char* source;
  };
  const Case cases[] = {
      {"b.txt", "missing.txt"},  // source missing
      {"b.txt", "nodir/a.txt"},  // source's folder missing
      {"nodir/b.txt", "a.txt"},  // destination's folder missing
      {"dir", "a.txt"},          // destination is a folder
      {"b.txt", "dir"},          // source is a folder
  };
  for (const Case& c : cases) {
    for (bool forceWrite : {false, true}) {
      EXPECT_FALSE(CopyFileWin32(path(c.destination), path(c.source), forceWrite))
          << c.destination << " <- " << c.source;
    }
  }
  EXPECT_EQ((std::vector<std::string>{"a.txt", "dir"}), dir_.list());
  EXPECT_TRUE(dir_.list("dir").empty());
}

}  // namespace

}  // namespace copy
