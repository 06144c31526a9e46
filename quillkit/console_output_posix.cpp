#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "quillkit/console_output.h"
#include "quillkit/console_output_platform.h"

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
  while (size > 0) {
    const ssize_t written = write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return 0;
}

bool isTerminal(int fd) { return isatty(fd) != 0; }

}  // namespace os
}  // namespace quillkit
