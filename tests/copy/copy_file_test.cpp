#include "copy/copy_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "support/file_util.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

class CopyFileTest : public ::testing::Test {
 protected:
  std::string path(const std::string& name) const { return dir_.join(name); }
  ScopedTempDir dir_;
};

TEST_F(CopyFileTest, CopiesContentToNewName) {
  std::string content("line one\r\nbinary \0\x1a\xff tail", 24);
  writeFile(path("a.bin"), content);
  ASSERT_TRUE(CopyFileWin32(path("b.bin"), path("a.bin"), false));
  EXPECT_EQ(content, readFile(path("b.bin")));
  EXPECT_EQ(content, readFile(path("a.bin")));
}

TEST_F(CopyFileTest, CopiesEmptyFile) {
  writeFile(path("empty"), "");
  ASSERT_TRUE(CopyFileWin32(path("copy"), path("empty"), false));
  EXPECT_TRUE(fileExists(path("copy")));
  EXPECT_EQ("", readFile(path("copy")));
}

TEST_F(CopyFileTest, KeepsModificationTime) {
  writeFile(path("a.txt"), "old");
  auto stamp = fs::last_write_time(path("a.txt")) - std::chrono::hours(24 * 400);
  fs::last_write_time(path("a.txt"), stamp);
  ASSERT_TRUE(CopyFileWin32(path("b.txt"), path("a.txt"), false));
  EXPECT_EQ(stamp, fs::last_write_time(path("b.txt")));
}

TEST_F(CopyFileTest, ReadOnlySourceGivesReadOnlyCopy) {
  writeFile(path("ro.txt"), "x");
  fs::permissions(path("ro.txt"),
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  ASSERT_TRUE(CopyFileWin32(path("copy.txt"), path("ro.txt"), false));
  EXPECT_EQ(fs::perms::none,
            fs::status(path("copy.txt")).permissions() & fs::perms::owner_write);
}

TEST_F(CopyFileTest, ExistingDestinationIsKeptWithoutForceWrite) {
  writeFile(path("a.txt"), "new");
  writeFile(path("b.txt"), "old content");
  EXPECT_FALSE(CopyFileWin32(path("b.txt"), path("a.txt"), false));
  EXPECT_EQ("old content", readFile(path("b.txt")));
}

TEST_F(CopyFileTest, ForceWriteReplacesExistingDestination) {
  writeFile(path("a.txt"), "new");
  writeFile(path("b.txt"), "old content that is longer");
  ASSERT_TRUE(CopyFileWin32(path("b.txt"), path("a.txt"), true));
  EXPECT_EQ("new", readFile(path("b.txt")));
}

TEST_F(CopyFileTest, FileOntoItselfFailsAndStaysIntact) {
  writeFile(path("a.txt"), "precious");
  for (bool forceWrite : {false, true}) {
    EXPECT_FALSE(CopyFileWin32(path("a.txt"), path("a.txt"), forceWrite)) << forceWrite;
    EXPECT_EQ("precious", readFile(path("a.txt")));
  }
}

TEST_F(CopyFileTest, FailuresCreateNothing) {
  writeFile(path("a.txt"), "a");
  makeDirectories(path("dir"));
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
  EXPECT_EQ((std::vector<std::string>{"a.txt", "dir"}), listDirectory(dir_.path()));
  EXPECT_TRUE(listDirectory(path("dir")).empty());
}

}  // namespace
