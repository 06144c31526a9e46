#include "copy/files_posix/pending_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <mutex>
#include <random>
#include <utility>

#include "copy/files_posix/file_io.h"
#include "copy/files_posix/kernel_calls.h"
#include "quillkit/filesystem/file_status_posix.h"

namespace files {
namespace {

// --- temporary names, removed by the signals that end the process before it ends

/// One temporary name that exists right now. The slot keeps a copy of the name, so that
/// no thread can free it while a signal handler on another thread reads it.
struct NameSlot {
  enum State { kFree, kWriting, kHeld, kRemoving };
  std::atomic<int> state{kFree};
  /// The string of the PendingFile that holds the name, to find the slot by.
  std::atomic<const char*> owner{nullptr};
  char name[PATH_MAX] = {};
};
constexpr int kNameSlots = 64;
// All zero without code at start-up (the slots are constant-initialized): a run that
// copies nothing does not touch its pages.
NameSlot temporaryNames[kNameSlots];

extern "C" void removeTemporaryNames(int signalNumber) {
  for (NameSlot& slot : temporaryNames) {
    int held = NameSlot::kHeld;
    if (slot.state.compare_exchange_strong(held, NameSlot::kRemoving)) unlink(slot.name);
  }
  // End as the signal would have ended the process.
  signal(signalNumber, SIG_DFL);
  raise(signalNumber);
}

/// The signals that end the process by default and come from outside the program's own
/// steps. SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT, SIGTRAP and SIGSYS are left alone:
/// they tell of a fault in the program itself, after which no code should run on
/// memory that may be broken (the names themselves could be), and a core dump should
/// show the process as the fault left it.
const int kEndingSignals[] = {
    SIGHUP,  SIGINT,    SIGQUIT, SIGPIPE, SIGALRM, SIGTERM,
    SIGUSR1, SIGUSR2,   SIGXCPU, SIGXFSZ, SIGPROF, SIGVTALRM,
#ifdef SIGPOLL
    SIGPOLL,
#endif
#ifdef __linux__
    SIGPWR,  SIGSTKFLT,
#endif
};

void installHandler(int signalNumber) {
  struct sigaction previous;
  if (sigaction(signalNumber, nullptr, &previous) != 0) return;
  if (previous.sa_handler != SIG_DFL) return;  // ignored, or someone else's
  struct sigaction action = {};
  action.sa_handler = removeTemporaryNames;
  sigfillset(&action.sa_mask);  // one cleanup at a time, to its end
  sigaction(signalNumber, &action, nullptr);
}

void installCleanup() {
  static std::once_flag installed;
  std::call_once(installed, [] {
    for (int signalNumber : kEndingSignals) installHandler(signalNumber);
#ifdef SIGRTMIN
    // The real-time signals end the process too unless handled.
    for (int signalNumber = SIGRTMIN; signalNumber <= SIGRTMAX; ++signalNumber)
      installHandler(signalNumber);
#endif
  });
}

void registerName(const std::string& name) {
  installCleanup();
  if (name.size() >= PATH_MAX) return;
  for (NameSlot& slot : temporaryNames) {
    int free = NameSlot::kFree;
    if (!slot.state.compare_exchange_strong(free, NameSlot::kWriting)) continue;
    std::memcpy(slot.name, name.c_str(), name.size() + 1);
    slot.owner = name.c_str();
    slot.state = NameSlot::kHeld;
    return;
  }
}

void unregisterName(const std::string& name) {
  for (NameSlot& slot : temporaryNames) {
    if (slot.owner.load() != name.c_str()) continue;
    slot.owner = nullptr;
    int held = NameSlot::kHeld;
    slot.state.compare_exchange_strong(held, NameSlot::kFree);  // unless being removed
    return;
  }
}

/// A temporary name that the signals remove while this lives. It is listed before the
/// name is made, so that no instant leaves the name unlisted, and unlisted however the
/// scope is left: a name that turned out to be another's must not stay listed.
class ListedName {
 public:
  explicit ListedName(std::string name) : name_(std::move(name)) { registerName(name_); }
  ~ListedName() { unregisterName(name_); }
  ListedName(const ListedName&) = delete;
  ListedName& operator=(const ListedName&) = delete;
  const char* c_str() const { return name_.c_str(); }

 private:
  const std::string name_;
};

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

 private:
  bool (*const ask_)(const char* folder);
  std::mutex mutex_;
  std::string lastFolder_;
  bool lastAnswer_ = false;
};

/// True when `folder` is append-only, where a temporary name would stay for good.
bool folderKeepsNames(const std::string& folder) {
  static FolderMemo appendOnly(folderIsAppendOnly);
  return appendOnly.answerFor(folder);
}

/// True where closing a file in `folder` may fail: anywhere but on the local file
/// systems that write out nothing at close, and while a test makes closes fail.
bool closeMayFail(const std::string& folder) {
  static FolderMemo local(fileSystemIsLocal);
  return closeFailsForTesting() || !local.answerFor(folder);
}

/// A name beside `destination` that nothing has yet, made of random letters.
std::string temporaryNameFor(const std::string& destination) {
  static std::mutex mutex;
  static std::minstd_rand random(static_cast<unsigned>(getpid()) ^
                                 static_cast<unsigned>(time(nullptr)));
  static const char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string name = folderOf(destination) + "/.pelquist-";
  std::lock_guard<std::mutex> lock(mutex);
  for (int i = 0; i < 6; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
  return name;
}

}  // namespace

// --- PendingFile

PendingFile::~PendingFile() { discard(); }

int PendingFile::create(const std::string& destination, mode_t mode) {
  discard();
  destination_ = destination;
  destinationSeen_ = false;
  createdMode_ = mode & ~processUmask();
  int error = openUnnamedFile(folderOf(destination).c_str(), mode, fd_);
  if (error != ENOTSUP) return error;
  // No unnamed files here: a temporary name beside the destination, made only by us,
  // and only where it can be taken away again.
  if (folderKeepsNames(folderOf(destination))) return EPERM;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = temporaryNameFor(destination);
    fd_ = open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd_ >= 0) {
      temporary_ = name;
      registerName(temporary_);
      return 0;
    }
    if (errno != EEXIST) return errno;
  }
  return EEXIST;
}

int PendingFile::commit(bool replace, bool durable) {
  // Replacing must not trade the old content for data still in the page cache; a new
  // name loses nothing if a crash cuts it short, so it is not worth a flush per file,
  // unless its source is about to go. The file's own flush reports the errors of its
  // own write-out, as a flush of the whole file system would not. EINVAL says that the file
  // system has no flush at all, before anything is written out: no data is lost by it, and
  // close tells how the write-out went.
  if (replace || durable) {
    const int error = flushFile(fd_);
    if (error != 0 && error != EINVAL) return error;
  }
  if (temporary_.empty()) return replace ? replaceWithUnnamed() : linkUnnamed();
  // Closed before it takes the name: a file system that refuses the data at close
  // leaves no destination, or the old one.
  const int closed = closeFile(fd_);
  fd_ = -1;
  if (closed != 0) return closed;
  int error = replace ? (rename(temporary_.c_str(), destination_.c_str()) == 0 ? 0 : errno)
                      : claimName(temporary_, destination_);
  if (error != 0) return error;
  // The temporary name is the destination's now: nothing is left to remove.
  unregisterName(temporary_);
  temporary_.clear();
  return 0;
}

// An unnamed file takes its name through its descriptor, so it is closed after: where
// the close then fails, the name just taken is given up again (when it is still this
// file's), and the copy has failed. On a local file system a close cannot fail.
int PendingFile::linkUnnamed() {
  // Who the file is matters only where its close may fail, and costs a call.
  const quillkit::FileIdentity self = closeMayFail(folderOf(destination_))
                                          ? quillkit::posix::identityOf(fd_)
                                          : quillkit::FileIdentity();
  if (int error = linkUnnamedFile(fd_, destination_.c_str())) return error;
  const int error = closeFile(fd_);
  fd_ = -1;
  if (error != 0 && quillkit::posix::entryStatus(destination_).identity == self)
    unlink(destination_.c_str());
  return error;
}

// A missing destination is the unnamed file's name at once. An existing one cannot be
// replaced by linking: the file takes a temporary name for the instant between two
// calls, which only SIGKILL (or a crash) there can leave behind, and is closed before
// that name replaces the destination (a refusal at close keeps the old file).
int PendingFile::replaceWithUnnamed() {
  int error = destinationSeen_ ? EEXIST : linkUnnamed();
  if (error != EEXIST) return error;
  // Where names cannot be removed, the temporary name could not be renamed or removed.
  if (folderKeepsNames(folderOf(destination_))) return EPERM;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const ListedName name(temporaryNameFor(destination_));
    error = linkUnnamedFile(fd_, name.c_str());
    if (error == EEXIST) continue;  // the temporary name is taken: another one
    if (error == 0) {
      error = closeFile(fd_);
      fd_ = -1;
      if (error == 0) error = rename(name.c_str(), destination_.c_str()) == 0 ? 0 : errno;
      if (error != 0) unlink(name.c_str());
    }
    return error;
  }
  return EEXIST;
}

void PendingFile::discard() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) {
    unlink(temporary_.c_str());
    unregisterName(temporary_);
  }
  temporary_.clear();
}

int claimName(const std::string& from, const std::string& to) {
  int error = renameExclusive(from.c_str(), to.c_str());
  if (error != ENOTSUP) return error;
  // No exclusive rename here: a hard link claims the name for a file.
  if (!quillkit::posix::fileStatus(from).isDirectory()) {
    error = hardLink(from.c_str(), to.c_str());
    if (error == 0) return unlink(from.c_str()) == 0 ? 0 : errno;
    if (error == EEXIST || error == ENOENT || error == EACCES || error == ENOTDIR) return error;
  }
  // Neither (or a directory): a test just before a rename. Another program that takes
  // the name in between loses its entry, but no interruption can leave the name to an
  // empty or partial file, as claiming it with an empty file first would.
  if (quillkit::posix::entryStatus(to).exists()) return EEXIST;
  return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

// Made under a temporary name and renamed into place, so that a replaced entry is
// never missing in between.
int placeSymbolicLink(const std::string& target, const std::string& destination, bool replace,
                      const struct stat& like) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const ListedName name(temporaryNameFor(destination));
    if (symlink(target.c_str(), name.c_str()) != 0) {
      if (errno == EEXIST) continue;  // the temporary name is taken: another one
      return errno;
    }
    int error = 0;
    const struct timespec times[2] = {{0, UTIME_NOW}, modificationTime(like)};
    if (lchown(name.c_str(), like.st_uid, like.st_gid) != 0 && errno != EPERM) error = errno;
    if (error == 0 && utimensat(AT_FDCWD, name.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
      error = errno;
    if (error == 0)
      error = replace ? (rename(name.c_str(), destination.c_str()) == 0 ? 0 : errno)
                      : claimName(name.c_str(), destination);
    if (error != 0) unlink(name.c_str());
    return error;
  }
  return EEXIST;
}

}  // namespace files
