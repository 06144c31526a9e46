#include <gtest/gtest.h>

#include <cerrno>

#include <unistd.h>

#include "copy/copy_file.h"
#include "quillkit/diagnostics.h"
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

// Onto another name of itself, with force-write: the file stays, and the error says
// what happened.
TEST_F(PosixCopyFileTest, CopyOntoAnotherNameOfItselfSaysSo) {
  dir_.write("a.txt", "precious");
  ASSERT_EQ(0, link(path("a.txt").c_str(), path("b.txt").c_str()));
  ASSERT_EQ(0, symlink(path("a.txt").c_str(), path("c.txt").c_str()));
  for (const char* other : {"b.txt", "c.txt"}) {
    EXPECT_FALSE(CopyFileWin32(path(other), path("a.txt"), true)) << other;
    EXPECT_EQ("ERROR Message:The destination is the source file itself, under another name.",
              quillkit::getLastErrorMessage())
        << other;
  }
  EXPECT_EQ("precious", dir_.read("a.txt"));
}

TEST_F(PosixCopyFileTest, BackslashesAreSeparators) {
  dir_.write("sub/a.txt", "a");
  EXPECT_TRUE(CopyFileWin32(dir_.path() + "\\sub\\b.txt", dir_.path() + "\\sub\\a.txt", false));
  EXPECT_EQ("a", dir_.read("sub/b.txt"));
}

}  // namespace
