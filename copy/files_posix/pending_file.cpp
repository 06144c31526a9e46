#include "copy/files_posix/pending_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <utility>

#include "copy/files_posix/file_io.h"
#include "copy/files_posix/flush_batch.h"
#include "copy/files_posix/kernel_calls.h"
#include "copy/files_posix/open_folder.h"
#include "copy/temporary_names.h"
#include "quillkit/filesystem/file_status_posix.h"

namespace copy::files {
namespace {

/// The random letters of a temporary name.
constexpr std::size_t kTemporaryLetters = 12;

/// The answer of one question about a folder, kept for the last folder asked: a run
/// writes many files into one folder, and the answers change only by a privileged
/// user's hand.
class FolderMemo {
 public:
  explicit FolderMemo(bool (*ask)(const char* folder)) : ask_(ask) {}
  bool answerFor(const std::string& folder) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!lastFolder_.empty() && folder == lastFolder_) return lastAnswer_;
    }
    const bool answer = ask_(folder.c_str());
    std::lock_guard<std::mutex> lock(mutex_);
    lastFolder_ = folder;
    lastAnswer_ = answer;
    return answer;
  }
  void forget() {
    std::lock_guard<std::mutex> lock(mutex_);
    lastFolder_.clear();
  }

 private:
  bool (*const ask_)(const char* folder);
  std::mutex mutex_;
  std::string lastFolder_;
  bool lastAnswer_ = false;
};

FolderMemo appendOnly(folderIsAppendOnly);
FolderMemo local([](const char* folder) { return kernel().fileSystemIsLocal(folder); });

/// True when `folder` is append-only, where a temporary name would stay for good.
bool folderKeepsNames(const std::string& folder) { return appendOnly.answerFor(folder); }

/// True where closing a file in `folder` may fail: anywhere but on the local file
/// systems that write out nothing at close.
bool closeMayFail(const std::string& folder) { return !local.answerFor(folder); }

/// A name beside `destination` that nothing has yet: 12 letters from the system's random
/// source (71 bits), so that no one can make the names of a run before it does; empty
/// where there is no random source.
std::string temporaryNameFor(const std::string& destination) {
  static const char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  unsigned char bytes[kTemporaryLetters];
  if (randomBytes(bytes, sizeof bytes) != 0) return std::string();
  std::string name = folderOf(destination) + "/.pelquist-";
  for (unsigned char byte : bytes) name += kLetters[byte % (sizeof kLetters - 1)];
  return name;
}

/// Makes a temporary name beside `destination` with `make` (0 or errno, EEXIST when the
/// name is taken), trying new names while they are taken: 0 and the name in `made`, or
/// why none could be made. Where names cannot be removed (an append-only folder), none
/// is made: EPERM.
template <typename Make>
int makeTemporaryName(const std::string& destination, Make make,
                      std::unique_ptr<TemporaryName>& made) {
  if (folderKeepsNames(folderOf(destination))) return EPERM;
  // Taken by chance, one name in 2^71: many tries only in a folder full of them.
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const std::string name = temporaryNameFor(destination);
    if (name.empty()) return ENOSYS;
    std::unique_ptr<TemporaryName> listed(new TemporaryName(name));
    const int error = make(name.c_str());
    listed->made();
    if (error == EEXIST) continue;
    if (error == 0) made = std::move(listed);
    return error;
  }
  return EEXIST;
}

}  // namespace

void forgetFolders() {
  appendOnly.forget();
  local.forget();
  forgetOpenFolder();
}

// --- PendingFile

PendingFile::PendingFile() = default;
PendingFile::~PendingFile() { discard(); }

int PendingFile::create(const std::string& destination, mode_t mode) {
  aimAt(destination);
  return create(mode);
}

void PendingFile::aimAt(const std::string& destination) {
  destination_ = destination;
  folder_ = folderOf(destination);
}

int PendingFile::create(mode_t mode) {
  discard();
  destinationSeen_ = false;
  finished_ = false;
  createdMode_ = mode & ~processUmask();
  batchGeneration_ = flushWithOthers_ ? flushBatch().generation(folder_) : 0;
  openFolder_ = openFolder(folder_);
  int error = openFolder_ ? kernel().openUnnamedFile(openFolder_->fd(), ".", mode, fd_) : EBADF;
  if (error != 0 && error != ENOTSUP) {
    // By its path where the folder could not be held open, or the one held refuses (it
    // was removed, and another may stand at its path now): the path has the last word.
    if (openFolder_) forgetOpenFolder();
    openFolder_.reset();
    error = kernel().openUnnamedFile(AT_FDCWD, folder_.c_str(), mode, fd_);
  }
  if (error != ENOTSUP) return error;
  openFolder_.reset();
  // No unnamed files here: a temporary name beside the destination, made only by us,
  // and only where it can be taken away again.
  return makeTemporaryName(
      destination_,
      [&](const char* name) {
        fd_ = open(name, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        return fd_ >= 0 ? 0 : errno;
      },
      temporary_);
}

int PendingFile::finish(bool flush) {
  finished_ = true;
  // An unnamed file keeps its descriptor until it is named: its flush can wait for then.
  if (flush && flushWithOthers_ && !temporary_ && flushBatch().join(folder_, batchTicket_)) {
    inBatch_ = true;
    return 0;
  }
  // The file's own flush reports the errors of its own write-out, as a flush of the whole
  // file system opened before would not. EINVAL says that the file system has no flush
  // at all, before anything is written out: no data is lost by it, and close tells how
  // the write-out went.
  if (flush) {
    const int error = kernel().flushFile(fd_);
    if (error != 0 && error != EINVAL) return error;
  }
  if (!temporary_) return 0;
  // Closed before it takes the name: a file system that refuses the data at close
  // leaves no destination, or the old one.
  const int closed = kernel().closeFile(fd_);
  fd_ = -1;
  return closed;
}

int PendingFile::commit(bool replace, bool durable) {
  // A new name loses nothing if a crash cuts it short, so it is not worth a flush per
  // file, unless its source is about to go.
  if (!finished_) {
    if (int error = finish(replace || durable)) return error;
  }
  if (inBatch_) {
    inBatch_ = false;
    const int error = flushBatch().flush(fd_, batchTicket_, batchGeneration_);
    if (error != 0 && error != EINVAL) return error;
  }
  if (!temporary_) return replace ? replaceWithUnnamed() : linkUnnamed();
  const char* temporary = temporary_->name().c_str();
  int error = replace ? (rename(temporary, destination_.c_str()) == 0 ? 0 : errno)
                      : claimName(temporary, destination_);
  if (error != 0) return error;
  // The temporary name is the destination's now: nothing is left to remove.
  temporary_.reset();
  return 0;
}

// An unnamed file takes its name through its descriptor, so it is closed after: where
// the close then fails, the name just taken is given up again (when it is still this
// file's), and the copy has failed. On a local file system a close cannot fail.
int PendingFile::linkUnnamed() {
  // Who the file is matters only where its close may fail, and costs a call.
  const quillkit::FileIdentity self =
      closeMayFail(folder_) ? quillkit::posix::identityOf(fd_) : quillkit::FileIdentity();
  // In the folder it was made in: by the name alone where that is held open.
  const int error = openFolder_
                        ? kernel().linkUnnamedFile(fd_, openFolder_->fd(), nameOf(destination_))
                        : kernel().linkUnnamedFile(fd_, AT_FDCWD, destination_.c_str());
  if (error != 0) return error;
  const int closed = kernel().closeFile(fd_);
  fd_ = -1;
  if (closed != 0 && quillkit::posix::entryStatus(destination_).identity == self)
    unlink(destination_.c_str());
  return closed;
}

// A missing destination is the unnamed file's name at once. An existing one cannot be
// replaced by linking: the file takes a temporary name for the instant between two
// calls, which only SIGKILL (or a crash) there can leave behind, and is closed before
// that name replaces the destination (a refusal at close keeps the old file).
int PendingFile::replaceWithUnnamed() {
  int error = destinationSeen_ ? EEXIST : linkUnnamed();
  if (error != EEXIST) return error;
  std::unique_ptr<TemporaryName> name;
  error = makeTemporaryName(
      destination_,
      [&](const char* temporary) { return kernel().linkUnnamedFile(fd_, AT_FDCWD, temporary); },
      name);
  if (error != 0) return error;
  error = kernel().closeFile(fd_);
  fd_ = -1;
  if (error == 0) error = rename(name->name().c_str(), destination_.c_str()) == 0 ? 0 : errno;
  if (error != 0) unlink(name->name().c_str());
  return error;
}

void PendingFile::discard() {
  if (inBatch_) flushBatch().leave();
  inBatch_ = false;
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (temporary_) unlink(temporary_->name().c_str());
  temporary_.reset();
  openFolder_.reset();
}

int claimName(const std::string& from, const std::string& to) {
  int error = kernel().renameExclusive(from.c_str(), to.c_str());
  if (error != ENOTSUP) return error;
  // No exclusive rename here: a hard link claims the name for a file.
  if (!quillkit::posix::fileStatus(from).isDirectory()) {
    error = kernel().hardLink(from.c_str(), to.c_str());
    if (error == 0) return unlink(from.c_str()) == 0 ? 0 : errno;
    if (error == EEXIST || error == ENOENT || error == EACCES || error == ENOTDIR) return error;
  }
  // Neither (or a directory): a test just before a rename. Another program that takes
  // the name in between loses its entry, but no interruption can leave the name to an
  // empty or partial file, as claiming it with an empty file first would.
  if (quillkit::posix::entryStatus(to).exists()) return EEXIST;
  return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

// A new name is taken in one step: symlink makes it only where no entry has it. A
// replacing link is made under a temporary name and renamed into place, so that the
// replaced entry is never missing in between.
int placeSymbolicLink(const std::string& target, const std::string& destination, bool replace,
                      const struct stat& like) {
  if (!replace) {
    if (symlink(target.c_str(), destination.c_str()) != 0) return errno;
    const int error = dressNewLink(destination.c_str(), like);
    if (error != 0 && error != EBUSY) unlink(destination.c_str());
    return error;
  }
  std::unique_ptr<TemporaryName> name;
  int error = makeTemporaryName(
      destination,
      [&](const char* temporary) {
        return symlink(target.c_str(), temporary) == 0 ? 0 : errno;
      },
      name);
  if (error != 0) return error;
  error = dressNewLink(name->name().c_str(), like);
  if (error == 0) error = rename(name->name().c_str(), destination.c_str()) == 0 ? 0 : errno;
  // A name that another swapped in (EBUSY) is theirs, not ours to remove.
  if (error != 0 && error != EBUSY) unlink(name->name().c_str());
  return error;
}

}  // namespace copy::files
