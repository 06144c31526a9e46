#ifndef QUILLKIT_FILESYSTEM_POSIX_FILE_COPY_H_
#define QUILLKIT_FILESYSTEM_POSIX_FILE_COPY_H_

// POSIX build only: the file copy behind CopyFileWin32 and the built-in COPY, MOVE and
// XCOPY. Paths here are native ('/' separators). Every operation answers 0 or a
// positive errno value; a copy also says whether its read-back differed.

#include <cstddef>
#include <string>

namespace quillkit {
namespace posix {

/// How copyFile treats the destination and the copy.
struct CopyOptions {
  /// Replace an existing destination (never a read-only one); otherwise fail with EEXIST.
  bool replace = false;
  /// Read the copy back and compare it with the source before it takes the final name.
  bool verify = false;
  /// Give the copy its owner's write permission even when the source lacks it.
  bool makeWritable = false;
  /// Flush a new file to disk before it takes its name (a replacement always is): for
  /// a copy after which the source goes away.
  bool durable = false;
};

/// What a copy came to.
struct CopyResult {
  /// 0, or the errno of the step that failed.
  int error = 0;
  /// The copy was read back and differs from its source; it did not take the name.
  bool differs = false;

  bool succeeded() const { return error == 0 && !differs; }
};

/// Copies content, permission bits and modification time. The copy is written to a
/// temporary file beside the destination and takes its name only when complete, so a
/// failed copy leaves no destination or the old one, never a partial file. Fails with
/// EBUSY for a file copied onto itself (EEXIST when not replacing), EISDIR when either
/// side is a directory, EACCES for a read-only destination, EINVAL for a source that
/// is a pipe, socket or device.
CopyResult copyFile(const std::string& source, const std::string& destination,
                    const CopyOptions& options);

/// A file being written under a temporary name in its destination's folder. It takes
/// the destination name only through commit(); otherwise it is removed on destruction.
class PendingFile {
 public:
  PendingFile() = default;
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  /// Creates the temporary file for `destination`: 0, or ENOENT when its folder is missing.
  int create(const std::string& destination);
  /// The open descriptor for writing and reading back; -1 before create().
  int descriptor() const { return fd_; }
  /// Gives the file the destination name: when `replace`, flushed to disk and atomically
  /// replacing an existing file; otherwise failing with EEXIST if one appeared meanwhile
  /// (flushed first too when `durable`).
  int commit(bool replace, bool durable = false);
  /// Closes and removes the temporary file; nothing when there is none.
  void discard();

 private:
  /// Takes the destination name only if it is free (hard link, or exclusive rename).
  int claimName();

  int fd_ = -1;
  std::string temporary_;
  std::string destination_;
};

/// Opens `path` for reading when it is a regular file and stores the descriptor in
/// `fd`: 0, or errno (EISDIR for a directory, EINVAL for a pipe, socket or device,
/// which are never waited on).
int openRegularFile(const std::string& path, int& fd);

/// Checks the destination of a write that would replace it: 0 when it is missing or a
/// writable file, EISDIR for a directory, EACCES for a file its owner may not write.
int checkReplaceable(const std::string& destination);

/// Writes all of `size` bytes from `data` to `fd`: 0 or errno.
int writeAll(int fd, const char* data, std::size_t size);

/// Reads up to `size` bytes, retrying an interrupted read: 0 or errno; `got` is the count.
int readSome(int fd, char* buffer, std::size_t size, std::size_t& got);

}  // namespace posix
}  // namespace quillkit

#endif  // QUILLKIT_FILESYSTEM_POSIX_FILE_COPY_H_
