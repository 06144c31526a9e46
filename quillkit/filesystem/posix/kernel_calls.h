#ifndef QUILLKIT_FILESYSTEM_POSIX_KERNEL_CALLS_H_
#define QUILLKIT_FILESYSTEM_POSIX_KERNEL_CALLS_H_

#include <sys/stat.h>
#include <time.h>

namespace quillkit {
namespace posix {

// The POSIX file copy's fast and exclusive calls that only some kernels offer: Linux
// has them; elsewhere they report ENOTSUP and the caller takes its portable way.

/// Copies the rest of `from` to `to` inside the kernel (a reflink, or an in-kernel
/// copy). 0 when done; ENOTSUP when the kernel cannot for these files, so the caller
/// reads and writes the rest; any other errno is a real failure.
int kernelCopy(int from, int to);

/// Renames `from` to `to` only when `to` does not exist. 0 when done, EEXIST when it
/// exists, ENOTSUP when the kernel or file system has no such rename.
int renameExclusive(const char* from, const char* to);

/// The modification time of `status` to the nanosecond (the field's name differs
/// between kernels).
struct timespec modificationTime(const struct stat& status);

}  // namespace posix
}  // namespace quillkit

#endif  // QUILLKIT_FILESYSTEM_POSIX_KERNEL_CALLS_H_
