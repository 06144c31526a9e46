#include <cerrno>

#include "quillkit/filesystem/posix/kernel_calls.h"

namespace quillkit {
namespace posix {

// Kernels other than Linux: the portable ways (read and write; a hard link to claim a
// name) serve instead.
int kernelCopy(int, int) { return ENOTSUP; }

int renameExclusive(const char*, const char*) { return ENOTSUP; }

struct timespec modificationTime(const struct stat& status) {
#ifdef __APPLE__
  return status.st_mtimespec;
#else
  return status.st_mtim;
#endif
}

}  // namespace posix
}  // namespace quillkit
