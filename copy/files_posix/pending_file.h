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

class OpenFolder;

/// A file being written for a destination under no name, or where the file system
/// cannot do that, under a temporary name beside it. It takes the destination name only
/// through commit(); otherwise it is gone on destruction. An interrupted run leaves
/// nothing of an unnamed file, except the temporary name that replacing an existing
/// file takes between two calls when SIGKILL strikes there; a temporary name is removed
/// by every signal that the cleanup of main catches (interruption_cleanup.h). No
/// temporary name is made in a folder that would keep it (an append-only folder): EPERM.
class PendingFile {
 public:
  PendingFile();
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  /// Creates the file for `destination` with the permission bits `mode` (less the
  /// umask): 0, or errno (ENOENT when its folder is missing).
  int create(const std::string& destination, mode_t mode);
  /// Says the destination before create(mode): the paths are kept now, on this thread,
  /// so that create(mode) takes no memory on the thread that writes the file.
  void aimAt(const std::string& destination);
  /// Creates the file for the destination aimed at, as create(destination, mode) does.
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
  /// Gives the file the destination name: when `replace`, atomically replacing an
  /// existing file; otherwise failing with EEXIST if the name exists. Ends the writing
  /// first where finish() was not called, flushed when `replace` or `durable` (replacing
  /// must not trade the old content for data still in memory). A flush or close that
  /// fails fails the commit, and the file does not keep the name.
  int commit(bool replace, bool durable = false);
  /// Closes and removes the file; nothing when there is none.
  void discard();

 private:
  int linkUnnamed();
  int replaceWithUnnamed();

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
  std::string destination_;
  /// The destination's folder, and where it could be, held open for an unnamed file:
  /// the file is made and named in it through its descriptor.
  std::string folder_;
  std::shared_ptr<const OpenFolder> openFolder_;
};

/// Forgets what was learnt of folders by their names (whether they keep names, whether
/// a close can fail there): a name of an open folder (pathOfOpenFolder) leads to
/// another folder once its descriptor is closed and its number taken again.
void forgetFolders();

/// Gives the file or directory `from` the name `to` only where no entry has that name,
/// and takes `from` away: 0, EEXIST when `to` exists, or errno. An exclusive rename
/// where the kernel has one, else a hard link and an unlink, else a test and a rename
/// (`to` never names an empty file, but a name taken in that instant is lost).
int claimName(const std::string& from, const std::string& to);

/// Makes `destination` a symbolic link to `target` with the owner (where the process may
/// set it) and times of the link `like`: only where no entry has that name, in one step,
/// or when `replace`, replacing the entry there whole (EPERM in an append-only folder).
/// 0 or errno.
int placeSymbolicLink(const std::string& target, const std::string& destination, bool replace,
                      const struct stat& like);

}  // namespace copy::files

#endif  // PELQUIST_COPY_FILES_POSIX_PENDING_FILE_H_
