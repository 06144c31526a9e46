#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
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

// A standard stream that the run began without is opened on /dev/null, so that no file
// the program opens takes its number; a missing standard output is one that fails.
TEST(StandardStreams, MissingOnesAreOpenedOnTheNullDevice) {
  for (const int fd : {0, 1, 2}) {
    const pid_t child = fork();
    if (child == 0) {
      close(fd);
      const int error = quillkit::prepareStandardStreams();
      struct stat opened, null;
      _exit(fstat(fd, &opened) == 0 && stat("/dev/null", &null) == 0 &&
                    opened.st_rdev == null.st_rdev
                ? error
                : 255);
    }
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    EXPECT_TRUE(WIFEXITED(status)) << fd;
    EXPECT_EQ(fd == 1 ? EBADF : 0, WEXITSTATUS(status)) << fd;
  }
}

// An output known to fail from the start (a closed standard output) gets nothing, and
// the run learns of that failure at the finish.
TEST(ConsoleOutput, AnOutputKnownToFailGetsNothing) {
  TempDir dir;
  const int fd = open(dir.join("out").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  std::ostringstream stream;
  {
    quillkit::ConsoleOutput output(stream, fd, EBADF);
    stream << "line\n";
    EXPECT_EQ(EBADF, output.finish());
  }
  EXPECT_EQ(0, close(fd));
  EXPECT_EQ("", dir.read("out"));
}

// On a terminal a line goes out as it ends, a line that fills the buffer (4096 bytes)
// too, and a part of a line only at the finish; the stream then has its own buffer
// back. A '|' written straight to the terminal marks how far the output had gone.
TEST(ConsoleOutput, OnATerminalEachLineGoesOutAsItEnds) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(master, 0);
  ASSERT_TRUE(grantpt(master) == 0 && unlockpt(master) == 0);
  const int terminal = open(ptsname(master), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(terminal, 0);
  struct termios mode;
  ASSERT_EQ(0, tcgetattr(terminal, &mode));
  cfmakeraw(&mode);  // no CR before LF
  ASSERT_EQ(0, tcsetattr(terminal, TCSANOW, &mode));
  std::ostringstream stream;
  {
    quillkit::ConsoleOutput output(stream, terminal);
    const auto mark = [terminal] { EXPECT_EQ(1, write(terminal, "|", 1)); };
    stream << "ab\n";
    mark();
    stream << "cd";
    mark();
    stream << std::string(4094, 'x');
    stream.put('\n');
    mark();
    stream << "ef";
    EXPECT_EQ(0, output.finish());
    mark();
  }
  stream << "own";
  EXPECT_EQ("own", stream.str());
  std::string shown;
  char chunk[1024];
  while (std::count(shown.begin(), shown.end(), '|') < 4) {
    const ssize_t got = read(master, chunk, sizeof chunk);
    ASSERT_GT(got, 0);
    shown.append(chunk, static_cast<std::size_t>(got));
  }
  EXPECT_EQ("ab\n||cd" + std::string(4094, 'x') + "\n|ef|", shown);
  close(terminal);
  close(master);
}

}  // namespace
