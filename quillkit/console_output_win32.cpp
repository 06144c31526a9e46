#include <errno.h>
#include <io.h>

#include "quillkit/console_output.h"
#include "quillkit/console_output_platform.h"

namespace quillkit {

// A closed output fails at its first write; no file the program opens takes its place.
int prepareStandardStreams() { return 0; }

namespace os {

int writeAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const int part = size > 0x10000 ? 0x10000 : static_cast<int>(size);
    const int written = _write(fd, data, static_cast<unsigned>(part));
    if (written <= 0) return errno != 0 ? errno : EIO;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return 0;
}

bool isTerminal(int fd) { return _isatty(fd) != 0; }

bool isSameTerminal(int fd, int other) { return isTerminal(fd) && isTerminal(other); }

int closeCopy(int fd) {
  const int copy = _dup(fd);
  if (copy < 0) return 0;
  return _close(copy) == 0 ? 0 : errno;
}

}  // namespace os
}  // namespace quillkit
