#ifndef PELQUIST_COPY_FILES_POSIX_PENDING_FILE_H_
#define PELQUIST_COPY_FILES_POSIX_PENDING_FILE_H_

// Inside the file operations only: a new file that takes its name when it is complete,
// and the one way the program takes a name without replacing what is there.

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>

namespace copy {
class TemporaryName;
}  // namespace copy

namespace copy::files {

class DestinationFolder;

/// A file being written for the entry `name` of a destination folder under no name, or
/// where the file system cannot do that, under a temporary name beside it. It takes the
/// name only through commit(); otherwise it is gone on destruction. An interrupted run
/// leaves nothing of an unnamed file, except the temporary name that replacing an
/// existing file takes between two calls when SIGKILL strikes there; a temporary name is
/// removed by every signal that the cleanup of main catches (interruption_cleanup.h). No
/// temporary name is made in a folder that would keep it (an append-only folder): EPERM.
class PendingFile {
 public:
  /// A file for the entry `name` of `folder`, which outlives it; created by create().
  PendingFile(DestinationFolder& folder, std::string name);
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  /// Creates the file with the permission bits `mode` (less the umask): 0, or errno
  /// (ENOENT when the folder is missing). It takes no memory on this thread.
  int create(mode_t mode);
  /// The open descriptor for writing and reading back; -1 before create().
  int descriptor() const { return fd_; }
  /// Says that the destination was just seen to exist: a commit that replaces it goes
  /// straight to the temporary name, without first trying the name as a new one.
  void expectDestination() { destinationSeen_ = true; }
  /// True when the file was created with exactly `mode`, so no fchmod is needed.
  bool hasMode(mode_t mode) const { return createdMode_ == mode; }
  /// Says, before create(), that the file is one of many written ahead of their naming:
  /// its flush may wait for commit() and be made there with the others' (flush_batch.h).
  void flushWithOthers() { flushWithOthers_ = true; }
  /// Ends the writing: flushed to disk when `flush` (or, with flushWithOthers(), by the
  /// time commit() names it), and a file under a temporary name closed (it needs no
  /// descriptor to take its name). 0, or the errno of a flush or close that failed: the
  /// file cannot take its name then.
  int finish(bool flush);
  /// Gives the file its name: when `replace`, atomically replacing an existing file;
  /// otherwise failing with EEXIST if the name exists. Ends the writing first where
  /// finish() was not called, flushed when `replace` or `durable` (replacing must not
  /// trade the old content for data still in memory). A flush or close that fails fails
  /// the commit, and the file does not keep the name.
  int commit(bool replace, bool durable = false);
  /// Closes and removes the file; nothing when there is none.
  void discard();

 private:
  int linkUnnamed(int at);
  int replaceWithUnnamed(int at);
  /// Renames `temporary` over the file's name: 0 or errno.
  int replaceWith(int at, const char* temporary);

  DestinationFolder& folder_;
  const std::string name_;
  int fd_ = -1;
  mode_t createdMode_ = 0;
  bool destinationSeen_ = false;
  bool finished_ = false;
  bool flushWithOthers_ = false;
  /// The flush batch's generation when the file was created, and its ticket while its
  /// flush waits in the batch (`inBatch_`).
  std::uint64_t batchGeneration_ = 0;
  std::uint64_t batchTicket_ = 0;
  bool inBatch_ = false;
  /// Empty for an unnamed file.
  std::unique_ptr<TemporaryName> temporary_;
};

/// Gives the entry `from` (relative to the folder open as `fromAt`) the name `name` in
/// `folder` only where no entry has that name, and takes `from` away: 0, EEXIST when the
/// name exists, or errno. An exclusive rename where the kernel has one, else a hard link
/// and an unlink, else a test and a rename (the name never holds an empty file, but one
/// taken in that instant is lost). Where `linked` is given, `from` is a file, and a hard
/// link that claims the name leaves `from` for the caller to remove (`*linked` true).
int claimName(int fromAt, const char* from, DestinationFolder& folder, const char* name,
              bool* linked = nullptr);

/// Makes a temporary name in `folder` and tells whether the folder at `path` (native)
/// shows it too, then removes it: false where none can be made.
bool nameShowsAt(DestinationFolder& folder, const std::string& path);

/// True for the errors after which a step on a name may have been made or not: the file
/// system said nothing of the name (a server's answer lost, its connection gone).
bool outcomeUnknown(int error);
/// Renames `from` (relative to `fromAt`) to `name` in the folder open as `at`: 0 or errno.
/// Where the answer does not say whether it was made (outcomeUnknown), it was when
/// `from` is gone and `name` is there.
int renameAt(int fromAt, const char* from, int at, const char* name);

/// Makes the entry `name` of `folder` a symbolic link to `target` with the owner (where
/// the process may set it) and times of the link `like`: only where no entry has that
/// name, in one step, or when `replace`, replacing the entry there whole (EPERM in an
/// append-only folder). 0 or errno.
int placeSymbolicLink(const std::string& target, DestinationFolder& folder,
                      const std::string& name, bool replace, const struct stat& like);

}  // namespace copy::files

#endif  // PELQUIST_COPY_FILES_POSIX_PENDING_FILE_H_
