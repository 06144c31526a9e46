#ifndef PELQUIST_COPY_CMD_POSIX_PATHS_H_
#define PELQUIST_COPY_CMD_POSIX_PATHS_H_

// Typed paths as COPY, MOVE and XCOPY read and show them ('\' and '/' both separate,
// double-byte pairs are kept whole, the program inserts '/'), and what they name.

#include <string>
#include <vector>

#include "quillkit/filesystem/file_status_posix.h"

namespace copy::cmd {

/// The position where the last component begins (after the last separator); 0 when
/// the path has no separator.
std::size_t nameStart(const std::string& path);
/// True when `name` holds '*' or '?'.
bool hasWildcard(const std::string& name);
/// True when the path is not empty and ends in a separator.
bool hasTrailingSeparator(const std::string& path);
/// `directory` and `name` with a separator between them unless the directory is empty
/// or already ends in one.
std::string joinPath(const std::string& directory, const std::string& name);
/// The form in which a typed path reaches the system: '/' separators, "." for "".
std::string nativePath(const std::string& path);

using quillkit::posix::FileKind;
using quillkit::posix::FileStatus;

/// Looks the typed path up as the file system names it (symbolic links followed).
FileStatus inspectPath(const std::string& path);
/// True when both paths are one name in one folder ("f", "./f", "sub/../f"), not two
/// names of the same file (a hard link, a symbolic link).
bool isSameName(const std::string& a, const std::string& b);
/// True when the folder that holds the path's last component exists (always for a
/// path without a folder: the current one).
bool folderExists(const std::string& path);

/// The absolute form of a typed path as it is shown, its existing folders resolved and
/// its last component as typed (a symbolic link by its own name): "/home/u/dst/b.txt". A
/// relative path stays relative when the current directory cannot be read.
std::string absolutePath(const std::string& path);
/// The same with the last component resolved too: where the path really leads, for
/// telling whether one path lies inside another.
std::string resolvedPath(const std::string& path);

/// One entry found in a directory.
struct ListedEntry {
  std::string name;
  bool isDirectory = false;
};

/// What listMatches found, and what it could not name or read.
struct Listing {
  /// The matching entries, in the find primitives' order, without "." and "..".
  std::vector<ListedEntry> entries;
  /// The matching entries whose names hold a '\' (possible on POSIX): a path names
  /// another entry then, so they are left out of `entries`.
  std::vector<ListedEntry> unnamable;
  /// 0, or the errno for why the directory could not be listed (or not to its end). A
  /// missing directory and a pattern that matches nothing are no error.
  int error = 0;
};

/// The entries of `directory` (as typed; empty for the current one) whose names match
/// `pattern` as Windows matches them.
Listing listMatches(const std::string& directory, const std::string& pattern);
/// The error lines for an entry that listMatches left out as unnamable, found at `path`
/// (shown as shownName shows it).
std::string unnamableEntryText(const std::string& path);

}  // namespace copy::cmd

#endif  // PELQUIST_COPY_CMD_POSIX_PATHS_H_
