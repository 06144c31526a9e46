#ifndef QUILLKIT_WRITE_ALL_POSIX_H_
#define QUILLKIT_WRITE_ALL_POSIX_H_

// POSIX build only: the one write loop of the program, shared by the console and the
// file operations.

#include <cstddef>

namespace quillkit {
namespace posix {

/// Writes all `size` bytes to `fd`, going on after short writes and interruptions;
/// answers 0, or the errno of the write that failed.
int writeAll(int fd, const char* data, std::size_t size);

}  // namespace posix
}  // namespace quillkit

#endif  // QUILLKIT_WRITE_ALL_POSIX_H_
