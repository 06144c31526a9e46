#ifndef PELQUIST_COPY_CMD_POSIX_PATHS_H_
#define PELQUIST_COPY_CMD_POSIX_PATHS_H_

// Typed paths as COPY, MOVE and XCOPY read and show them ('\' and '/' both separate,
// double-byte pairs are kept whole, the program inserts '/'), and what they name.

#include <string>
#include <vector>

namespace cmd {

/// The position where the last component begins (after the last separator); 0 when
/// the path has no separator.
std::size_t nameStart(const std::string& path);
/// True when `name` holds '*' or '?'.
bool hasWildcard(const std::string& name);
/// True when the path ends in a separator.
bool endsWithSeparator(const std::string& path);
/// `directory` and `name` with a separator between them unless the directory is empty
/// or already ends in one.
std::string joinPath(const std::string& directory, const std::string& name);
/// The form in which a typed path reaches the system: '/' separators, "." for "".
std::string nativePath(const std::string& path);

enum class PathKind { Missing, File, Directory };

/// What a path names at the moment it is looked at.
struct PathInfo {
  PathKind kind = PathKind::Missing;
  /// Why the path is missing (ENOENT, ENOTDIR, ...).
  int error = 0;
  /// Its owner may not write it.
  bool readOnly = false;
  unsigned long long device = 0;
  unsigned long long inode = 0;
};

/// Looks the path up as the file system names it (symbolic links followed).
PathInfo inspectPath(const std::string& path);
/// True when both name the same existing file or directory.
bool isSameEntry(const PathInfo& a, const PathInfo& b);
/// True when both paths are one name in one folder ("f", "./f", "sub/../f"), not two
/// names of the same file (a hard link, a symbolic link).
bool isSameName(const std::string& a, const std::string& b);
/// True when the folder that holds the path's last component exists (always for a
/// path without a folder: the current one).
bool folderExists(const std::string& path);

/// The absolute form of a path, its existing part resolved: "/home/u/dst/b.txt". A
/// relative path stays relative when the current directory cannot be read.
std::string fullPath(const std::string& path);

/// One entry found in a directory.
struct ListedEntry {
  std::string name;
  bool isDirectory = false;
};

/// The entries of `directory` (as typed; empty for the current one) whose names match
/// `pattern` as Windows matches them, in the find primitives' order, without "." and
/// "..". Empty when nothing matches or the directory cannot be read.
std::vector<ListedEntry> listMatches(const std::string& directory, const std::string& pattern);

}  // namespace cmd

#endif  // PELQUIST_COPY_CMD_POSIX_PATHS_H_
