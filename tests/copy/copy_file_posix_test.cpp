#include <gtest/gtest.h>

#include <cerrno>

#include "copy/copy_file.h"
#include "tests/support/temp_dir.h"

namespace {

class PosixCopyFileTest : public ::testing::Test {
 protected:
  std::string path(const std::string& name) const { return dir_.join(name); }
  TempDir dir_;
};

TEST_F(PosixCopyFileTest, CopyFileWin32LeavesErrnoForTheErrorText) {
  dir_.write("a.txt", "a");
  dir_.write("b.txt", "b");
  errno = 0;
  EXPECT_FALSE(CopyFileWin32(path("b.txt"), path("a.txt"), false));
  EXPECT_EQ(EEXIST, errno);
  EXPECT_FALSE(CopyFileWin32(path("c.txt"), path("none.txt"), false));
  EXPECT_EQ(ENOENT, errno);
}

TEST_F(PosixCopyFileTest, BackslashesAreSeparators) {
  dir_.write("sub/a.txt", "a");
  EXPECT_TRUE(CopyFileWin32(dir_.path() + "\\sub\\b.txt", dir_.path() + "\\sub\\a.txt", false));
  EXPECT_EQ("a", dir_.read("sub/b.txt"));
}

}  // namespace
