#ifndef PELQUIST_COPY_INTERPRETER_FILE_OPS_H_
#define PELQUIST_COPY_INTERPRETER_FILE_OPS_H_

// The file-system operations of the command interpreter. Paths are as typed ('\' and
// '/' are both separators); errors are errno values, 0 for success.

#include <string>
#include <vector>

namespace shell {

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

/// The absolute form of a path, its existing part resolved: "/home/u/dst/b.txt".
std::string fullPath(const std::string& path);

/// One file copied with the program's file copy (atomic, metadata kept). With
/// `verify` the copy is read back and compared before it takes its name.
int copyOneFile(const std::string& source, const std::string& destination, bool replace,
                bool verify, bool makeWritable);

/// A piece of a combined file: a source, and whether it ends at its first ^Z (0x1A).
struct CombinePart {
  std::string path;
  bool stopsAtEndMark = false;
};
/// Writes the parts one after another (and one ^Z at the end when `addEndMark`) into a
/// new file that replaces `destination` whole (when `replace`) or only if it does not
/// exist. The new file has the current time.
int combineFiles(const std::vector<CombinePart>& parts, const std::string& destination,
                 bool addEndMark, bool replace, bool verify);

/// Renames a file or directory, replacing an existing file only when `replace`. Across
/// file systems a file is copied, verified and only then removed at its old place; a
/// directory fails there with EXDEV.
int movePath(const std::string& source, const std::string& destination, bool replace);

/// Creates the directory and the missing ones above it.
int makeDirectories(const std::string& path);

/// The error of a verify that found a difference (a value errno never takes).
int verifyFailedError();

}  // namespace shell

#endif  // PELQUIST_COPY_INTERPRETER_FILE_OPS_H_
