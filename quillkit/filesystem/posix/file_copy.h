#ifndef QUILLKIT_FILESYSTEM_POSIX_FILE_COPY_H_
#define QUILLKIT_FILESYSTEM_POSIX_FILE_COPY_H_

// POSIX build only: the file copy behind CopyFileWin32 and the built-in COPY, MOVE and
// XCOPY. Paths here are native ('/' separators). Every operation answers 0 or a
// positive errno value; a copy also says whether its read-back differed.

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <string>

namespace quillkit {
namespace posix {

/// How a copy treats the destination and the copy.
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
  /// The destination is the source itself under another name (error is EBUSY).
  bool sameFile = false;

  bool succeeded() const { return error == 0 && !differs; }
};

/// A file being written for a destination under no name, or where the file system
/// cannot do that, under a temporary name beside it. It takes the destination name only
/// through commit(); otherwise it is gone on destruction. An interrupted run leaves
/// nothing of an unnamed file, and a temporary name is removed by SIGINT and SIGTERM.
class PendingFile {
 public:
  PendingFile() = default;
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  /// Creates the file for `destination` with the permission bits `mode` (less the
  /// umask): 0, or errno (ENOENT when its folder is missing).
  int create(const std::string& destination, mode_t mode);
  /// The open descriptor for writing and reading back; -1 before create().
  int descriptor() const { return fd_; }
  /// True when the file was created with exactly `mode`, so no fchmod is needed.
  bool hasMode(mode_t mode) const { return createdMode_ == mode; }
  /// Says that the data is on disk already (the whole file system was flushed), so that
  /// commit need not flush it again.
  void markFlushed() { flushed_ = true; }
  /// Gives the file the destination name: when `replace`, flushed to disk and atomically
  /// replacing an existing file; otherwise failing with EEXIST if the name exists
  /// (flushed first too when `durable`).
  int commit(bool replace, bool durable = false);
  /// Closes and removes the file; nothing when there is none.
  void discard();

 private:
  int replaceWithUnnamed();
  int claimName();

  int fd_ = -1;
  mode_t createdMode_ = 0;
  bool flushed_ = false;
  /// Empty for an unnamed file.
  std::string temporary_;
  std::string destination_;
};

/// A copy written in full, with its permission bits and modification time, that has
/// not taken its name yet: copies that replace files can be written one after another,
/// flushed to disk together, and named afterwards.
class PendingCopy {
 public:
  /// Opens `source`, checks `destination` (when replacing: not the source itself, not a
  /// directory, not read-only) and writes the copy. Fails with EBUSY for a file copied onto
  /// itself (EEXIST at commit when not replacing), EISDIR when either side is a directory,
  /// EACCES for a read-only destination, EINVAL for a source that is a pipe, socket or device.
  CopyResult write(const std::string& source, const std::string& destination,
                   const CopyOptions& options);
  /// Gives the written copy its name (PendingFile::commit).
  CopyResult commit();
  /// The size of the source as it was opened.
  off_t size() const { return size_; }
  /// Writes everything of the copy's file system to disk: true when done, and then every
  /// copy written before it may be marked flushed.
  bool flushFileSystem();
  /// See PendingFile::markFlushed.
  void markFlushed() { file_.markFlushed(); }

 private:
  PendingFile file_;
  CopyOptions options_;
  off_t size_ = 0;
};

/// Copies content, permission bits and modification time: PendingCopy's write and
/// commit in one. A failed copy leaves no destination or the old one, never a partial
/// file, and nothing beside it.
CopyResult copyFile(const std::string& source, const std::string& destination,
                    const CopyOptions& options);

/// Opens `path` for reading when it is a regular file and stores the descriptor in
/// `fd` (and its status in `status`): 0, or errno (EISDIR for a directory, EINVAL for a
/// pipe, socket or device, which are never waited on).
int openRegularFile(const std::string& path, int& fd, struct stat& status);

/// Checks the destination of a write that would replace it: 0 when it is missing or a
/// writable file, EISDIR for a directory, EACCES for a file its owner may not write.
int checkReplaceable(const std::string& destination);

/// The process's umask, read once: the process does not change it while it copies.
mode_t processUmask();

/// Writes all of `size` bytes from `data` to `fd`: 0 or errno.
int writeAll(int fd, const char* data, std::size_t size);

/// Reads up to `size` bytes, retrying an interrupted read: 0 or errno; `got` is the count.
int readSome(int fd, char* buffer, std::size_t size, std::size_t& got);

/// Compares the whole content of two open files from their starts; `differs` when they
/// are not the same.
CopyResult compareContent(int left, int right);

}  // namespace posix
}  // namespace quillkit

#endif  // QUILLKIT_FILESYSTEM_POSIX_FILE_COPY_H_
