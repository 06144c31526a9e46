#include "copy/files_posix/pending_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "copy/files_posix/destination_folder.h"
#include "copy/files_posix/file_io.h"
#include "copy/files_posix/kernel_calls.h"
#include "copy/temporaries/temporary_names.h"
#include "quillkit/filesystem/file_status_posix.h"

namespace copy::files {
namespace {

/// The random letters of a temporary name.
constexpr std::size_t kTemporaryLetters = 12;

/// A name that nothing has yet: 12 letters from the system's random source (71 bits), so
/// that no one can make the names of a run before it does; empty where there is no
/// random source.
std::string temporaryName() {
  static const char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  unsigned char bytes[kTemporaryLetters];
  if (randomBytes(bytes, sizeof bytes) != 0) return std::string();
  std::string name = ".pelquist-";
  for (unsigned char byte : bytes) name += kLetters[byte % (sizeof kLetters - 1)];
  return name;
}

/// Makes a temporary name in `folder` with `make` (given the folder's descriptor and the
/// name: 0 or errno, EEXIST when the name is taken), trying new names while they are
/// taken: 0 and the name in `made`, or why none could be made. `file` is the file open
/// under the name once it is made (-1: none). Where names cannot be removed (an
/// append-only folder), none is made: EPERM.
template <typename Make>
int makeTemporaryName(DestinationFolder& folder, Make make,
                      std::unique_ptr<TemporaryName>& made, const int& file) {
  int at;
  if (const int error = folder.descriptor(at)) return error;
  if (folder.keepsNames()) return EPERM;
  // Taken by chance, one name in 2^71: many tries only in a folder full of them.
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const std::string name = temporaryName();
    if (name.empty()) return ENOSYS;
    std::unique_ptr<TemporaryName> listed(new TemporaryName(name, at, folder.path()));
    const int error = make(at, listed->name().c_str());
    listed->made(error == 0 ? file : -1);
    if (error == EEXIST) continue;
    if (error == 0) made = std::move(listed);
    return error;
  }
  return EEXIST;
}

/// `error`, the answer of a rename of `from` to `name`; or 0 where it did not say whether
/// the rename was made, and it was.
int renameOutcome(int error, int fromAt, const char* from, int at, const char* name) {
  if (!outcomeUnknown(error)) return error;
  using quillkit::posix::statusAt;
  const bool made =
      statusAt(fromAt, from, false).error == ENOENT && statusAt(at, name, false).exists();
  return made ? 0 : error;
}

/// `error`, the answer of a link of the file `file` (its status) as `name` in `folder`;
/// or 0 where it did not say whether the link was made, and `name` holds that file.
int linkOutcome(int error, const struct stat& file, DestinationFolder& folder,
                const char* name) {
  int at;
  struct stat there;
  if (!outcomeUnknown(error) || folder.descriptor(at) != 0 ||
      fstatat(at, name, &there, AT_SYMLINK_NOFOLLOW) != 0)
    return error;
  const bool same = folder.identitiesHold()
                        ? file.st_dev == there.st_dev && file.st_ino == there.st_ino
                        : sameMarks(file, there);
  return same ? 0 : error;
}

}  // namespace

bool nameShowsAt(DestinationFolder& folder, const std::string& path) {
  std::unique_ptr<TemporaryName> probe;
  int fd = -1;
  const int error = makeTemporaryName(
      folder,
      [&](int in, const char* name) {
        fd = openat(in, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        return fd >= 0 ? 0 : errno;
      },
      probe, fd);
  if (error != 0) return false;
  probe->closing();
  close(fd);
  // A name never looked up before: no cache of the file systems can answer for it.
  const bool shows = quillkit::posix::entryStatus(path + "/" + probe->name()).exists();
  removeName(probe->folder(), probe->name().c_str());
  return shows;
}

bool outcomeUnknown(int error) {
  switch (error) {
    case EIO:
    case ETIMEDOUT:
    case ENOTCONN:
    case ECONNRESET:
    case ECONNABORTED:
    case ENETDOWN:
    case ENETUNREACH:
    case EHOSTUNREACH:
    case ESTALE:
      return true;
    default:
      return false;
  }
}

int renameAt(int fromAt, const char* from, int at, const char* name) {
  return renameOutcome(renameat(fromAt, from, at, name) == 0 ? 0 : errno, fromAt, from, at,
                       name);
}

// --- PendingFile

PendingFile::PendingFile(DestinationFolder& folder, std::string name)
    : folder_(folder), name_(std::move(name)) {}

PendingFile::~PendingFile() { discard(); }

int PendingFile::create(mode_t mode) {
  discard();
  destinationSeen_ = false;
  finished_ = false;
  createdMode_ = mode & ~folder_.context().umask;
  batchGeneration_ = flushWithOthers_ ? folder_.flushBatch().generation() : 0;
  int at;
  if (const int error = folder_.descriptor(at)) return error;
  const int error = folder_.kernel().openUnnamedFile(at, mode, fd_);
  if (error != ENOTSUP) return error;
  // No unnamed files here: a temporary name beside the destination, made only by us,
  // and only where it can be taken away again.
  return makeTemporaryName(
      folder_,
      [&](int in, const char* name) {
        fd_ = openat(in, name, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        return fd_ >= 0 ? 0 : errno;
      },
      temporary_, fd_);
}

int PendingFile::finish(bool flush) {
  finished_ = true;
  // An unnamed file keeps its descriptor until it is named: its flush can wait for then.
  if (flush && flushWithOthers_ && !temporary_ &&
      folder_.flushBatch().join(!folder_.closeMayFail(), batchTicket_)) {
    inBatch_ = true;
    return 0;
  }
  // The file's own flush reports the errors of its own write-out, as a flush of the whole
  // file system opened before would not. EINVAL says that the file system has no flush
  // at all, before anything is written out: no data is lost by it, and close tells how
  // the write-out went.
  if (flush) {
    const int error = folder_.kernel().flushFile(fd_);
    if (error != 0 && error != EINVAL) return error;
  }
  if (!temporary_) return 0;
  // Closed before it takes the name: a file system that refuses the data at close
  // leaves no destination, or the old one.
  temporary_->closing();
  const int closed = folder_.kernel().closeFile(fd_);
  fd_ = -1;
  return closed;
}

int PendingFile::commit(bool replace, bool durable) {
  // A new name loses nothing if a crash cuts it short, so it is not worth a flush per
  // file, unless its source is about to go.
  if (!finished_) {
    if (int error = finish(replace || durable)) return error;
  }
  int at;
  if (const int error = folder_.descriptor(at)) return error;
  if (inBatch_) {
    inBatch_ = false;
    const int error = folder_.flushBatch().flush(at, fd_, batchTicket_, batchGeneration_);
    if (error != 0 && error != EINVAL) return error;
  }
  if (!temporary_) return replace ? replaceWithUnnamed(at) : linkUnnamed(at);
  const char* temporary = temporary_->name().c_str();
  bool linked = false;  // the temporary name still leads to the file, named now too
  temporary_->placing();
  const int error = replace ? replaceWith(at, temporary)
                            : claimName(at, temporary, folder_, name_.c_str(), &linked);
  temporary_->placed();
  if (error != 0) return error;
  // Taken from the one thread that names the files in turn: another removes it (on a
  // share, a round trip spared here a file).
  if (linked) folder_.removeLater(std::move(temporary_));
  temporary_.reset();
  return 0;
}

// An unnamed file takes its name through its descriptor, so it is closed after: where
// the close then fails, the name just taken is given up again (when it is still this
// file's), and the copy has failed. On a local file system a close cannot fail.
int PendingFile::linkUnnamed(int at) {
  // Who the file is matters only where its close may fail, and costs a call.
  const quillkit::FileIdentity self =
      folder_.closeMayFail() ? quillkit::posix::identityOf(fd_) : quillkit::FileIdentity();
  int error = folder_.kernel().linkUnnamedFile(fd_, at, name_.c_str());
  struct stat file;
  if (outcomeUnknown(error) && fstat(fd_, &file) == 0)
    error = linkOutcome(error, file, folder_, name_.c_str());
  if (error != 0) return error;
  const int closed = folder_.kernel().closeFile(fd_);
  fd_ = -1;
  if (closed != 0 && quillkit::posix::statusAt(at, name_.c_str(), false).identity == self)
    unlinkat(at, name_.c_str(), 0);
  return closed;
}

// A missing destination is the unnamed file's name at once. An existing one cannot be
// replaced by linking: the file takes a temporary name for the instant between two
// calls, which only SIGKILL (or a crash) there can leave behind, and is closed before
// that name replaces the destination (a refusal at close keeps the old file).
int PendingFile::replaceWithUnnamed(int at) {
  int error = destinationSeen_ ? EEXIST : linkUnnamed(at);
  if (error != EEXIST) return error;
  std::unique_ptr<TemporaryName> name;
  error = makeTemporaryName(
      folder_,
      [&](int in, const char* temporary) {
        return folder_.kernel().linkUnnamedFile(fd_, in, temporary);
      },
      name, fd_);
  if (error != 0) return error;
  name->closing();
  error = folder_.kernel().closeFile(fd_);
  fd_ = -1;
  const char* temporary = name->name().c_str();
  name->placing();
  if (error == 0) error = replaceWith(at, temporary);
  name->placed();
  if (error != 0) removeName(at, temporary);
  return error;
}

// The file that the name leads to before is held while the name is taken from it, and
// let go by the folder's next copy: where it is the last name of that file, the file
// system frees its blocks then, on that copy's thread, not on the one that takes the
// names in turn.
int PendingFile::replaceWith(int at, const char* temporary) {
  const int replaced = holdEntry(at, name_.c_str());
  const int error = renameAt(at, temporary, at, name_.c_str());
  folder_.letGo(replaced);
  return error;
}

void PendingFile::discard() {
  if (inBatch_) folder_.flushBatch().leave();
  inBatch_ = false;
  if (fd_ >= 0) {
    if (temporary_) temporary_->closing();
    close(fd_);
  }
  fd_ = -1;
  if (temporary_) removeName(temporary_->folder(), temporary_->name().c_str());
  temporary_.reset();
}

int claimName(int fromAt, const char* from, DestinationFolder& folder, const char* name,
              bool* linked) {
  int at;
  if (const int error = folder.descriptor(at)) return error;
  KernelCalls& kernel = folder.kernel();
  int error = ENOTSUP;
  if (folder.mayRenameExclusively()) {
    error = kernel.renameExclusive(fromAt, from, at, name);
    if (error != ENOTSUP) return renameOutcome(error, fromAt, from, at, name);
    folder.renamesNotExclusively();
  }
  // No exclusive rename here: a hard link claims the name for a file. A link whose
  // answer was lost is looked for: the name it made is this file's, not one that existed.
  if (linked != nullptr || !quillkit::posix::statusAt(fromAt, from, true).isDirectory()) {
    error = kernel.hardLink(fromAt, from, at, name);
    struct stat file;
    if (outcomeUnknown(error) && fstatat(fromAt, from, &file, AT_SYMLINK_NOFOLLOW) == 0)
      error = linkOutcome(error, file, folder, name);
    if (error == 0 && linked != nullptr) *linked = true;
    if (error == 0) return linked != nullptr || unlinkat(fromAt, from, 0) == 0 ? 0 : errno;
    if (error == EEXIST || error == ENOENT || error == EACCES || error == ENOTDIR ||
        outcomeUnknown(error))
      return error;
  }
  // Neither (or a directory): a test just before a rename. Another program that takes
  // the name in between loses its entry, but no interruption can leave the name to an
  // empty or partial file, as claiming it with an empty file first would.
  if (quillkit::posix::statusAt(at, name, false).exists()) return EEXIST;
  return renameAt(fromAt, from, at, name);
}

// A new name is taken in one step: symlink makes it only where no entry has it. A
// replacing link is made under a temporary name and renamed into place, so that the
// replaced entry is never missing in between.
int placeSymbolicLink(const std::string& target, DestinationFolder& folder,
                      const std::string& name, bool replace, const struct stat& like) {
  int at;
  if (const int error = folder.descriptor(at)) return error;
  if (!replace) {
    if (symlinkat(target.c_str(), at, name.c_str()) != 0) return errno;
    const int error = dressNewLink(at, name.c_str(), like);
    if (error != 0 && error != EBUSY) unlinkat(at, name.c_str(), 0);
    return error;
  }
  std::unique_ptr<TemporaryName> temporary;
  int error = makeTemporaryName(
      folder,
      [&](int in, const char* made) {
        return symlinkat(target.c_str(), in, made) == 0 ? 0 : errno;
      },
      temporary, -1);
  if (error != 0) return error;
  const char* made = temporary->name().c_str();
  error = dressNewLink(at, made, like);
  if (error == 0) error = renameat(at, made, at, name.c_str()) == 0 ? 0 : errno;
  // A name that another swapped in (EBUSY) is theirs, not ours to remove.
  if (error != 0 && error != EBUSY) unlinkat(at, made, 0);
  return error;
}

}  // namespace copy::files
