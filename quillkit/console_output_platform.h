#ifndef QUILLKIT_CONSOLE_OUTPUT_PLATFORM_H_
#define QUILLKIT_CONSOLE_OUTPUT_PLATFORM_H_

// The system calls behind the console output, one implementation per platform
// (console_output_posix.cpp, console_output_win32.cpp). Only console_output.cpp and
// prepareStandardStreams call them.

#include <cstddef>

namespace quillkit {
namespace os {

/// Writes all `size` bytes to `fd` (a text-mode descriptor on Windows writes CR LF
/// for LF, as the standard output always has); 0, or the errno value of the failure.
int writeAll(int fd, const char* data, std::size_t size);
/// True when `fd` is a terminal (a console on Windows).
bool isTerminal(int fd);
/// True when `fd` and `other` are both terminals and the same one.
bool isSameTerminal(int fd, int other);
/// Closes a second descriptor of `fd`'s file, which a file system that writes out at
/// close takes as a close of the file: 0, or the errno with which it refused the data.
/// `fd` stays open; 0 as well when no second descriptor can be had.
int closeCopy(int fd);

}  // namespace os
}  // namespace quillkit

#endif  // QUILLKIT_CONSOLE_OUTPUT_PLATFORM_H_
