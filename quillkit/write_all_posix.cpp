#include "quillkit/write_all_posix.h"

#include <unistd.h>

#include <cerrno>

namespace quillkit {
namespace posix {

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

}  // namespace posix
}  // namespace quillkit
