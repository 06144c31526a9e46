#ifndef QUILLKIT_FILESYSTEM_FILE_STATUS_POSIX_H_
#define QUILLKIT_FILESYSTEM_FILE_STATUS_POSIX_H_

// POSIX build only: what a native path names at the moment it is looked at. Every
// "does it exist", "is it a directory" and "is it the same file" of the POSIX build is
// answered here.

#include <string>

#include "quillkit/filesystem/file_identity.h"

namespace quillkit {
namespace posix {

enum class FileKind { Missing, File, Directory };

/// One look at a name.
struct FileStatus {
  FileKind kind = FileKind::Missing;
  /// Why the name is missing (ENOENT, ENOTDIR, EACCES, ...); 0 when it exists.
  int error = 0;
  /// Its owner may not write it (what Windows calls read-only).
  bool readOnly = false;
  /// The name itself is a symbolic link (only from entryStatus).
  bool isLink = false;
  FileIdentity identity;

  bool exists() const { return kind != FileKind::Missing; }
  bool isDirectory() const { return kind == FileKind::Directory; }
};

/// What `path` leads to, symbolic links followed.
FileStatus fileStatus(const std::string& path);
/// The entry `path` itself, a symbolic link not followed (a dangling link exists).
FileStatus entryStatus(const std::string& path);
/// What the entry `name` of the folder open as `folder` leads to (links followed when
/// `follow`; the entry itself otherwise), as fileStatus and entryStatus tell of a path.
FileStatus statusAt(int folder, const char* name, bool follow);
/// The identity of an open file or directory; unknown when it cannot be read.
FileIdentity identityOf(int fd);

}  // namespace posix
}  // namespace quillkit

#endif  // QUILLKIT_FILESYSTEM_FILE_STATUS_POSIX_H_
