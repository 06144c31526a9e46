#ifndef QUILLKIT_FILESYSTEM_NATIVE_PATH_POSIX_H_
#define QUILLKIT_FILESYSTEM_NATIVE_PATH_POSIX_H_

// POSIX build only: the form in which a path reaches the operating system.

#include <string>

namespace quillkit {
namespace posix {

/// `path` with every '\' that the path utilities take for a separator (one that is
/// not the second byte of a double-byte pair) turned into '/', so that `out\sub`
/// names the same folder on both builds.
std::string toNativePath(const char* path);

}  // namespace posix
}  // namespace quillkit

#endif  // QUILLKIT_FILESYSTEM_NATIVE_PATH_POSIX_H_
