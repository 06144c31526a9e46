#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <sstream>

#include "quillkit/console_output.h"
#include "tests/support/temp_dir.h"

namespace {

/// Output to a file system that refuses it at close.
class RefusedAtClose : public quillkit::ConsoleOutput {
 public:
  using ConsoleOutput::ConsoleOutput;
  int closeCopy(int fd) override {
    ConsoleOutput::closeCopy(fd);
    return EDQUOT;
  }
};

// A file system that refuses the output at its close (EDQUOT on NFS and FUSE) fails the
// run; the descriptor stays open.
TEST(ConsoleOutput, FinishTellsARefusalAtClose) {
  TempDir dir;
  const int fd = open(dir.join("out").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  std::ostringstream stream;
  RefusedAtClose output(stream, fd);
  stream << "line\n";
  EXPECT_EQ(EDQUOT, output.finish());
  EXPECT_EQ(0, close(fd));
  EXPECT_EQ("line\n", dir.read("out"));
}

}  // namespace
