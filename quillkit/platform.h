#ifndef QUILLKIT_PLATFORM_H_
#define QUILLKIT_PLATFORM_H_

// The few facts in which the Windows and the POSIX builds differ above the system
// calls. This is the only header outside the *_win32/*_posix sources that asks.

#include <cstddef>

namespace quillkit {
namespace platform {

#ifdef _WIN32
/// The separator that the path utilities insert.
constexpr char kInsertedSeparator = '\\';
/// Paths carry drive letters ("C:"), with the rules that go with them.
constexpr bool kHasDrives = true;
/// Longest path that createDirectories accepts, and the current-directory buffer.
constexpr std::size_t kMaxCreatePath = 260;
constexpr std::size_t kCurrentDirectoryBuffer = 522;
/// The dot-segment collapse and the extension search also treat '/' as a separator.
constexpr bool kSlashIsFullSeparator = false;
#else
constexpr char kInsertedSeparator = '/';
constexpr bool kHasDrives = false;
constexpr std::size_t kMaxCreatePath = 4096;
constexpr std::size_t kCurrentDirectoryBuffer = 4096 + 1;
constexpr bool kSlashIsFullSeparator = true;
#endif

}  // namespace platform

/// True when the path is absolute: on Windows it holds a ':' (a drive), on POSIX it
/// begins with '/'.
bool isAbsolutePath(const char* path);

}  // namespace quillkit

#endif  // QUILLKIT_PLATFORM_H_
