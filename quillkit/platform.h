#ifndef QUILLKIT_PLATFORM_H_
#define QUILLKIT_PLATFORM_H_

// The few facts in which the Windows and the POSIX builds differ above the system
// calls. This is the only header outside the *_win32/*_posix sources that asks.

#include <cstddef>
#ifndef _WIN32
#include <limits.h>  // PATH_MAX
#endif

namespace quillkit {
namespace os {

#ifdef _WIN32
/// The Windows build: system services of Windows, CR LF line ends on text streams.
constexpr bool kWindows = true;
/// The separator that the path utilities insert.
constexpr char kInsertedSeparator = '\\';
/// Paths carry drive letters ("C:"), with the rules that go with them.
constexpr bool kHasDrives = true;
/// Longest path that createDirectories accepts, and the current-directory buffer.
constexpr std::size_t kMaxCreatePath = 260;
/// Longest part of a path that PathParts::split keeps: a part cut any shorter would name
/// another folder. The system takes at most 32,767 UTF-16 units, two bytes at most in the
/// code page, so it refuses a part this long anyway.
constexpr std::size_t kMaxPathPart = 65534;
constexpr std::size_t kCurrentDirectoryBuffer = 522;
/// The dot-segment collapse and the extension search also treat '/' as a separator.
constexpr bool kSlashIsFullSeparator = false;
/// PathParts::split takes a lead byte for the start of a pair only when a trail byte
/// follows, so that a '/' after a UTF-8 character still separates.
constexpr bool kSplitPairNeedsTrailByte = false;
/// A path that begins with a separator starts at the root, which takes the place of a
/// drive: createDirectories never creates it, changeDirectory keeps a lone separator.
constexpr bool kLeadingSeparatorIsRoot = false;
/// Names written to the console show their control bytes as '?' (shownName); a
/// Windows name cannot hold them.
constexpr bool kMasksControlBytes = false;
/// A name that ends with a dot or a space, or is a device's (NUL, CON, COM1, ... with
/// any extension), names no file to the system's path calls: they drop the dot or the
/// space, and open the device in the file's place.
constexpr bool kHasDosNameRules = true;
#else
constexpr bool kWindows = false;
constexpr char kInsertedSeparator = '/';
constexpr bool kHasDrives = false;
constexpr std::size_t kMaxCreatePath = PATH_MAX;
// A part cut any shorter would name another folder; at this length the system refuses it.
constexpr std::size_t kMaxPathPart = PATH_MAX;
constexpr std::size_t kCurrentDirectoryBuffer = PATH_MAX + 1;
constexpr bool kSlashIsFullSeparator = true;
constexpr bool kSplitPairNeedsTrailByte = true;
constexpr bool kLeadingSeparatorIsRoot = true;
constexpr bool kMasksControlBytes = true;
constexpr bool kHasDosNameRules = false;
#endif

}  // namespace os

}  // namespace quillkit

#endif  // QUILLKIT_PLATFORM_H_
