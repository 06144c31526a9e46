#include "copy/destination.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "copy/file_layer.h"
#include "tests/support/temp_dir.h"

namespace copy {

namespace fs = std::filesystem;

namespace {

/// Copies into the test's folder (or `folder` below it) as collect-copy does: a
/// destination held open, one copy prepared, then named.
class DestinationTest : public ::testing::Test {
 protected:
  std::string path(const std::string& name) const { return dir_.join(name); }
  bool copied(const std::string& name, const std::string& source, bool forceWrite,
              const std::string& folder = "") {
    std::unique_ptr<Destination> destination = openDestination(dir_.join(folder), files_);
    std::unique_ptr<PreparedCopy> copy = destination->makeCopy(path(source), name, forceWrite);
    copy->prepare();
    return copy->takeName().copied;
  }
  TempDir dir_;
  const FileLayer files_;
};

TEST_F(DestinationTest, CopiesContentToNewName) {
  std::string content("line one\r\nbinary \0\x1a\xff tail", 24);
  dir_.write("a.bin", content);
  ASSERT_TRUE(copied("b.bin", "a.bin", false));
  EXPECT_EQ(content, dir_.read("b.bin"));
  EXPECT_EQ(content, dir_.read("a.bin"));
}

TEST_F(DestinationTest, CopiesEmptyFile) {
  dir_.write("empty", "");
  ASSERT_TRUE(copied("copy", "empty", false));
  EXPECT_TRUE(dir_.exists("copy"));
  EXPECT_EQ("", dir_.read("copy"));
}

TEST_F(DestinationTest, KeepsModificationTime) {
  dir_.write("a.txt", "old");
  auto stamp = fs::last_write_time(path("a.txt")) - std::chrono::hours(24 * 400);
  fs::last_write_time(path("a.txt"), stamp);
  ASSERT_TRUE(copied("b.txt", "a.txt", false));
  EXPECT_EQ(stamp, fs::last_write_time(path("b.txt")));
}

TEST_F(DestinationTest, ReadOnlySourceGivesReadOnlyCopy) {
  dir_.write("ro.txt", "x");
  fs::permissions(path("ro.txt"),
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  ASSERT_TRUE(copied("copy.txt", "ro.txt", false));
  EXPECT_EQ(fs::perms::none,
            fs::status(path("copy.txt")).permissions() & fs::perms::owner_write);
}

TEST_F(DestinationTest, ExistingDestinationIsKeptWithoutForceWrite) {
  dir_.write("a.txt", "new");
  dir_.write("b.txt", "old content");
  EXPECT_FALSE(copied("b.txt", "a.txt", false));
  EXPECT_EQ("old content", dir_.read("b.txt"));
}

TEST_F(DestinationTest, ForceWriteReplacesExistingDestination) {
  dir_.write("a.txt", "new");
  dir_.write("b.txt", "old content that is longer");
  ASSERT_TRUE(copied("b.txt", "a.txt", true));
  EXPECT_EQ("new", dir_.read("b.txt"));
}

TEST_F(DestinationTest, FileOntoItselfFailsAndStaysIntact) {
  dir_.write("a.txt", "precious");
  for (bool forceWrite : {false, true}) {
    EXPECT_FALSE(copied("a.txt", "a.txt", forceWrite)) << forceWrite;
    EXPECT_EQ("precious", dir_.read("a.txt"));
  }
}

TEST_F(DestinationTest, FailuresCreateNothing) {
  dir_.write("a.txt", "a");
  dir_.makeDirs("dir");
  struct Case {
    const char* folder;
    const char* name;
    const char* source;
  };
  const Case cases[] = {
      {"", "b.txt", "missing.txt"},  // source missing
      {"", "b.txt", "nodir/a.txt"},  // source's folder missing
      {"nodir", "b.txt", "a.txt"},   // destination's folder missing
      {"", "dir", "a.txt"},          // destination is a folder
      {"", "b.txt", "dir"},          // source is a folder
  };
  for (const Case& c : cases) {
    for (bool forceWrite : {false, true}) {
      EXPECT_FALSE(copied(c.name, c.source, forceWrite, c.folder))
          << c.folder << "/" << c.name << " <- " << c.source;
    }
  }
  EXPECT_EQ((std::vector<std::string>{"a.txt", "dir"}), dir_.list());
  EXPECT_TRUE(dir_.list("dir").empty());
}

}  // namespace

}  // namespace copy
