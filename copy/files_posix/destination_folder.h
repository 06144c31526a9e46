#ifndef PELQUIST_COPY_FILES_POSIX_DESTINATION_FOLDER_H_
#define PELQUIST_COPY_FILES_POSIX_DESTINATION_FOLDER_H_

// POSIX build only: a folder that copies take names in, held by its descriptor.

#include <sys/types.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "copy/files_posix/flush_batch.h"
#include "copy/files_posix/kernel_calls.h"
#include "quillkit/filesystem/file_status_posix.h"

namespace copy {
class TemporaryName;
}  // namespace copy

namespace copy::files {

/// A folder that files are made and named in, held by its descriptor while its owner
/// holds it: every step on a name in it (create, link, rename, unlink, owner, times, the
/// look at what is there) is a call relative to that descriptor, so that it stays the
/// folder opened, whatever is renamed or linked in its path later, and the kernel looks
/// up one name a step. What it learns of the folder (whether names stay there for good,
/// whether closing a file can fail, the flushes of copies written ahead) dies with it.
/// A folder that cannot be opened at first is tried again at each step, which fails
/// with the system's reason while it still cannot. Any thread may use it.
class DestinationFolder {
 public:
  /// The folder at `path` (native; followed where it is a link), opened now.
  DestinationFolder(const Context& context, std::string path);
  /// The folder open as `fd` (taken over), found at `path`.
  DestinationFolder(const Context& context, int fd, std::string path);
  ~DestinationFolder();
  DestinationFolder(const DestinationFolder&) = delete;
  DestinationFolder& operator=(const DestinationFolder&) = delete;

  const Context& context() const { return context_; }
  KernelCalls& kernel() const { return context_.kernel; }
  /// The folder's path as its owner named it: for texts, and for telling two spellings
  /// of one entry apart where identities cannot.
  const std::string& path() const { return path_; }
  /// path() and `name`.
  std::string pathOf(const std::string& name) const;

  /// 0 and the folder's descriptor in `fd`, or why it cannot be opened.
  int descriptor(int& fd);
  /// What the entry `name` leads to (links followed when `follow`).
  quillkit::posix::FileStatus status(const char* name, bool follow);
  /// True where names can be added but not removed (an append-only folder): a
  /// temporary name made there would stay for good.
  bool keepsNames();
  /// True where closing a file may fail: anywhere but on the local file systems that
  /// write out nothing at close.
  bool closeMayFail();
  /// False once a rename that refuses to replace was found missing here (ENOTSUP): a
  /// file system that has none is not asked again, a round trip a file on a share.
  bool mayRenameExclusively() const { return renamesExclusively_; }
  void renamesNotExclusively() { renamesExclusively_ = false; }
  /// The group that a file made here gets (the folder's where it passes its group on, the
  /// process's otherwise), learnt from the file `fd`, just made here, the first time.
  gid_t newFileGroup(int fd);
  /// True where a file keeps its identity (device and inode) for good: on the same local
  /// file systems. Elsewhere an inode number may be a path's (FUSE, sshfs), kept when the
  /// file under the name is replaced, and one share mounted twice shows each file under
  /// two devices.
  bool identitiesHold();
  /// True where the folder at `path` (native) is this folder reached another way that
  /// identities cannot tell (one share mounted twice, a share of a local folder): a name
  /// made here shows there. Asked of the file systems once a path; false where both keep
  /// identities.
  bool reachedAt(const std::string& path);
  /// Writes out everything of the folder's file system (the flush of a whole file
  /// system, or where there is none, of every file system) and waits.
  void writeOut();
  /// Holds the descriptor `held` (none where -1) until the next file is made in this
  /// folder by another thread, or the folder goes: what it leads to is let go there.
  void letGo(int held);
  /// Removes the temporary name `name` (of this folder) when the next file is made here
  /// by another thread, or the folder goes; listed for the cleanup until then.
  void removeLater(std::unique_ptr<TemporaryName> name);
  /// Closes what letGo() holds and removes what removeLater() holds: for the threads
  /// that make files here.
  void closeLetGo();
  /// The flushes of the copies written ahead into this folder, made together.
  FlushBatch& flushBatch() { return flushBatch_; }

 private:
  /// Opens the folder where it is not open yet: 0, or why it cannot be.
  int open();

  const Context& context_;
  const std::string path_;
  /// The descriptor, and what was learnt of the folder when it was opened; written once,
  /// before `open_` is set.
  std::atomic<bool> open_{false};
  int fd_ = -1;
  bool keepsNames_ = false;
  bool local_ = false;
  /// Held while the folder is opened after a first failure.
  std::mutex opening_;
  /// What letGo() and removeLater() hold, and their lock.
  std::mutex lettingGo_;
  std::vector<int> letGo_;
  std::vector<std::unique_ptr<TemporaryName>> toRemove_;
  /// mayRenameExclusively().
  std::atomic<bool> renamesExclusively_{true};
  /// newFileGroup(), once learnt; -1 before.
  std::atomic<long long> newFileGroup_{-1};
  /// What reachedAt() learnt, by path.
  std::mutex reaching_;
  std::map<std::string, bool> reached_;
  FlushBatch flushBatch_;
};

/// The folder part of a native path: "." when it has none, "/" for the root.
std::string folderOf(const std::string& path);
/// The last name of a native path: all of it where it holds no '/'.
const char* nameOf(const std::string& path);

}  // namespace copy::files

#endif  // PELQUIST_COPY_FILES_POSIX_DESTINATION_FOLDER_H_
