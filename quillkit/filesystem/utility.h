#ifndef QUILLKIT_FILESYSTEM_UTILITY_H_
#define QUILLKIT_FILESYSTEM_UTILITY_H_

// Double-byte-aware operations on path strings (Shift-JIS, code page 932). None of
// them touches the file system. Positions are 32-bit; "not found" is -1.

#include <cstddef>
#include <cstdint>
#include <string>

#include "quillkit/string_ref.h"

namespace quillkit {

/// True for an ASCII letter; false for every byte 0x80-0xFF.
bool isAlpha(char c);

/// 1 for 0x81-0x9F and 0xE0-0xF5, else 0.
int isLeadByte(unsigned char c);
/// 1 for 0x40-0x7E and 0x80-0xFC, else 0.
int isTrailByte(unsigned char c);
/// True for a lead byte of the C runtime's code page 932 table, 0x81-0x9F and
/// 0xE0-0xFC: wider than isLeadByte, as the split and the extension search use it.
bool isCodePageLeadByte(unsigned char c);

/// Index of the first `ch` outside double-byte pairs (the first byte is compared
/// before any pair test), or -1.
int32_t findChar(const char* text, char ch);
/// 1 when the path holds a ':' outside pairs: callers take it for a drive.
int hasColon(const char* path);
/// True when the path is absolute, so that no current directory completes it: on
/// Windows a drive and its root ("C:\x", "C:/x"), or two separators ("\\server\share",
/// "\\?\C:\x"); on POSIX a leading '/'.
bool isAbsolutePath(const char* path);
/// True for a Windows path that names its drive but not its root ("C:src", "C:") or its
/// root but not its drive ("\src"); always false on POSIX.
bool isDriveOrRootRelative(const char* path);
/// 4 for a path that begins with "\\?\" or "\\.\" (either separator), which hands the
/// rest to the system as it is: that '?' is no wildcard. 0 otherwise, and on POSIX.
std::size_t literalPrefixLength(const char* path);
/// The separator characters, backslash then slash.
const char* pathSeparators();
/// True for either separator character, backslash or slash.
bool isSeparator(char c);
/// Index of the last '\' or '/' outside pairs, or -1.
int32_t findLastSeparator(const char* path);
/// True when a name read from a directory holds a byte that the path utilities take for a
/// separator (a '\' outside pairs, possible on POSIX): joined to its folder it would name
/// another path, so no path of this program names that entry.
bool nameHoldsSeparator(const char* name);
/// Why no path of this program reaches the entry `name` (not "." or "..") read from a
/// directory: kNameHoldsSeparator for a name that holds a separator; on Windows also
/// kNameOutsideCodePage (a '?', in the place of a character the code page lacks),
/// kNameEndsWithDotOrSpace and kNameIsDevice (a device's name, with or without an
/// extension). Null when a path reaches it.
const char* unreachableNameReason(const char* name);
/// 1 when findLastSeparator(path) equals length - 1 (so 1 for an empty path).
int endsWithSeparator(const char* path, uint32_t length);
/// The first byte of the extension of the path's last component (after its dot), or
/// the terminating NUL when there is none. Points into `path`.
const char* getExtension(const char* path);

/// A path split into drive, directory, name and extension, by the C runtime's rules; a
/// part is cut only where the system would refuse it whole.
struct PathParts {
  std::string drive;
  std::string dir;
  std::string fname;
  std::string ext;

  /// Overwrites all four parts from the path (read up to its NUL). Always true.
  bool split(StringRef path);
};

/// Turns every "\.\" into "\", byte by byte, searching again from the start each time.
void collapseDotSegments(std::string& path);

/// Appends `fname` to `directory`: a separator is inserted unless the directory is
/// empty or ends in one, one leading separator of the name is dropped, then dot
/// segments are collapsed. A name that begins with a drive (letter and ':') is an
/// assertion report. Always true.
bool appendPath(std::string& directory, StringRef fname);

}  // namespace quillkit

#endif  // QUILLKIT_FILESYSTEM_UTILITY_H_
