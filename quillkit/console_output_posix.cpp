#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "quillkit/console_output.h"
#include "quillkit/console_output_platform.h"
#include "quillkit/write_all_posix.h"

namespace quillkit {

int prepareStandardStreams() {
  signal(SIGPIPE, SIG_IGN);
  int outputError = 0;
  for (int fd : {0, 1, 2}) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // open() takes the lowest free number: this one.
    if (open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY) != fd) continue;
    if (fd == 1) outputError = EBADF;
  }
  return outputError;
}

namespace os {

int writeAll(int fd, const char* data, std::size_t size) {
  return posix::writeAll(fd, data, size);
}

bool isTerminal(int fd) { return isatty(fd) != 0; }

bool isSameTerminal(int fd, int other) {
  struct stat first, second;
  return isTerminal(fd) && isTerminal(other) && fstat(fd, &first) == 0 &&
         fstat(other, &second) == 0 && first.st_rdev == second.st_rdev;
}

int closeCopy(int fd) {
  const int copy = fcntl(fd, F_DUPFD_CLOEXEC, 3);
  if (copy < 0) return 0;
  // Linux releases the descriptor even when close fails; EINTR tells nothing of the data.
  return close(copy) == 0 || errno == EINTR ? 0 : errno;
}

}  // namespace os
}  // namespace quillkit
