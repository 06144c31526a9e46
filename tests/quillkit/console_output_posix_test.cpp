#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <sstream>
#include <string>

#include "quillkit/console_output.h"
#include "tests/support/temp_dir.h"

namespace {

// The end of the run hands the output over as a close does: a file system that refuses
// the data then (EDQUOT on NFS and FUSE) fails the run, unless a write failed first; the
// descriptor stays open all the same.
TEST(ConsoleOutput, FinishTellsARefusalAtCloseAfterAnyFailedWrite) {
  struct Row {
    const char* file;
    int refusedAtClose, expected;
  };
  TempDir dir;
  const std::string out = dir.join("out");
  const Row rows[] = {
      {out.c_str(), 0, 0}, {out.c_str(), EDQUOT, EDQUOT}, {"/dev/full", EDQUOT, ENOSPC}};
  for (const Row& row : rows) {
    const int fd = open(row.file, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_LE(0, fd) << row.file;
    std::ostringstream stream;
    quillkit::failConsoleCloseForTesting(row.refusedAtClose);
    {
      quillkit::ConsoleOutput output(stream, fd);
      stream << "line\n";
      EXPECT_EQ(row.expected, output.finish()) << row.file << " " << row.refusedAtClose;
    }
    quillkit::failConsoleCloseForTesting(0);
    EXPECT_EQ(row.expected == ENOSPC ? -1 : 1, write(fd, "+", 1)) << row.file;
    EXPECT_EQ(0, close(fd));
  }
  EXPECT_EQ("line\n+", dir.read("out"));
}

}  // namespace
