#include <fcntl.h>
#include <linux/fs.h>
#include <stdio.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

#include "quillkit/filesystem/posix/kernel_calls.h"

namespace quillkit {
namespace posix {

int kernelCopy(int from, int to) {
  // A reflink shares the blocks; copy_file_range copies inside the kernel. File
  // systems decline either, and then the caller reads the rest.
  if (ioctl(to, FICLONE, from) == 0) return 0;
  for (;;) {
    ssize_t copied = copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
    if (copied == 0) return 0;
    if (copied > 0 || errno == EINTR) continue;
    if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
        errno == EBADF || errno == EPERM)
      return ENOTSUP;
    return errno;
  }
}

int renameExclusive(const char* from, const char* to) {
  if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
  if (errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP) return ENOTSUP;
  return errno;
}

struct timespec modificationTime(const struct stat& status) {
  return status.st_mtim;
}

}  // namespace posix
}  // namespace quillkit
