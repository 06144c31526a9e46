#include "copy/files_posix/pending_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <ctime>
#include <mutex>
#include <random>

#include "copy/files_posix/file_io.h"
#include "copy/files_posix/kernel_calls.h"
#include "quillkit/filesystem/file_status_posix.h"

namespace files {
namespace {

// --- temporary names, removed by SIGINT and SIGTERM before the process ends

/// The temporary names that exist right now. A signal handler runs on the thread it
/// interrupts, so a slot is never emptied while the handler reads it.
constexpr int kNameSlots = 128;
std::atomic<const char*> temporaryNames[kNameSlots];

extern "C" void removeTemporaryNames(int signalNumber) {
  for (std::atomic<const char*>& slot : temporaryNames) {
    const char* name = slot.load();
    if (name != nullptr) unlink(name);
  }
  // End as the signal would have ended the process.
  signal(signalNumber, SIG_DFL);
  raise(signalNumber);
}

void installCleanup() {
  static std::once_flag installed;
  std::call_once(installed, [] {
    for (int signalNumber : {SIGINT, SIGTERM}) {
      struct sigaction previous;
      sigaction(signalNumber, nullptr, &previous);
      if (previous.sa_handler != SIG_DFL) continue;  // ignored, or someone else's
      struct sigaction action = {};
      action.sa_handler = removeTemporaryNames;
      sigemptyset(&action.sa_mask);
      sigaction(signalNumber, &action, nullptr);
    }
  });
}

void registerName(const std::string& name) {
  installCleanup();
  for (std::atomic<const char*>& slot : temporaryNames) {
    const char* empty = nullptr;
    if (slot.compare_exchange_strong(empty, name.c_str())) return;
  }
}

void unregisterName(const std::string& name) {
  for (std::atomic<const char*>& slot : temporaryNames) {
    const char* mine = name.c_str();
    if (slot.compare_exchange_strong(mine, nullptr)) return;
  }
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
  createdMode_ = mode & ~processUmask();
  int error = openUnnamedFile(folderOf(destination).c_str(), mode, fd_);
  if (error != ENOTSUP) return error;
  // No unnamed files here: a temporary name beside the destination, made only by us.
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
  // unless its source is about to go. The file's own flush is the one that reports the
  // errors of its own write-out, so it runs even after a flush of the file system.
  // EINVAL says that the file system has no flush at all, before anything is written
  // out: no data is lost by it, and close tells how the write-out went.
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
// file's), and the copy has failed.
int PendingFile::linkUnnamed() {
  const quillkit::FileIdentity self = quillkit::posix::identityOf(fd_);
  if (int error = linkUnnamedFile(fd_, destination_.c_str())) return error;
  const int error = closeFile(fd_);
  fd_ = -1;
  if (error != 0 && quillkit::posix::entryStatus(destination_).identity == self)
    unlink(destination_.c_str());
  return error;
}

// An unnamed file cannot be renamed over a name: it takes a temporary name, is closed
// (a refusal at close keeps the old file), and that name replaces the destination.
int PendingFile::replaceWithUnnamed() {
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = temporaryNameFor(destination_);
    registerName(name);
    int error = linkUnnamedFile(fd_, name.c_str());
    if (error == EEXIST) {
      unregisterName(name);
      continue;
    }
    if (error == 0) {
      error = closeFile(fd_);
      fd_ = -1;
      if (error == 0) error = rename(name.c_str(), destination_.c_str()) == 0 ? 0 : errno;
      if (error != 0) unlink(name.c_str());
    }
    unregisterName(name);
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
  // No exclusive rename here: a hard link claims the name, or for a directory a test
  // just before a rename.
  if (quillkit::posix::fileStatus(from).isDirectory()) {
    if (quillkit::posix::entryStatus(to).exists()) return EEXIST;
    return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
  }
  if (link(from.c_str(), to.c_str()) == 0) return unlink(from.c_str()) == 0 ? 0 : errno;
  error = errno;
  if (error == EEXIST || error == ENOENT || error == EACCES || error == ENOTDIR) return error;
  // Last resort where there are no hard links: claim the name with an empty file, then
  // replace it whole.
  int claim = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (claim < 0) return errno;
  close(claim);
  if (rename(from.c_str(), to.c_str()) != 0) {
    error = errno;
    unlink(to.c_str());
    return error;
  }
  return 0;
}

}  // namespace files
