#include "quillkit/filesystem/posix/file_copy.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <random>

#include "quillkit/filesystem/posix/kernel_calls.h"

namespace quillkit {
namespace posix {
namespace {

/// Closes its descriptor on every way out.
class Descriptor {
 public:
  Descriptor() = default;
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  int& slot() { return fd_; }

 private:
  int fd_ = -1;
};

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

std::string folderOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
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

// Plain read/write from the descriptors' current offsets to the end of `from`.
int copyByReading(int from, int to) {
  static constexpr std::size_t kChunk = 1 << 17;
  std::string buffer(kChunk, '\0');
  for (;;) {
    std::size_t got = 0;
    if (int error = readSome(from, &buffer[0], kChunk, got)) return error;
    if (got == 0) return 0;
    if (int error = writeAll(to, buffer.data(), got)) return error;
  }
}

// The kernel's ways first; where it declines, the data is read and written.
int copyData(int from, int to, const struct stat& source) {
  int error = kernelCopy(from, to, source.st_dev, source.st_size);
  return error == ENOTSUP ? copyByReading(from, to) : error;
}

// Checks an existing destination of a replacing copy before anything is written. A
// copy that does not replace learns of an existing destination when it claims the name.
int checkDestination(const struct stat& source, const std::string& destination) {
  struct stat target;
  if (stat(destination.c_str(), &target) != 0) return errno == ENOENT ? 0 : errno;
  if (target.st_dev == source.st_dev && target.st_ino == source.st_ino) return EBUSY;
  if (S_ISDIR(target.st_mode)) return EISDIR;
  // A file its owner may not write counts as read-only; like Windows, it stays.
  return (target.st_mode & S_IWUSR) == 0 ? EACCES : 0;
}

CopyResult failed(int error) {
  CopyResult result;
  result.error = error;
  return result;
}

}  // namespace

mode_t processUmask() {
  static const mode_t mask = [] {
    const mode_t value = umask(0);
    umask(value);
    return value;
  }();
  return mask;
}

int openRegularFile(const std::string& path, int& fd, struct stat& status) {
  // Without O_NONBLOCK a FIFO with no writer would hold the open forever; a regular
  // file reads the same either way, so the flag stays.
  fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return errno;
  int error = 0;
  if (fstat(fd, &status) != 0)
    error = errno;
  else if (S_ISDIR(status.st_mode))
    error = EISDIR;
  else if (!S_ISREG(status.st_mode))
    error = EINVAL;  // only regular files have an end
  if (error == 0) return 0;
  close(fd);
  fd = -1;
  return error;
}

int checkReplaceable(const std::string& destination) {
  struct stat target;
  if (stat(destination.c_str(), &target) != 0) return errno == ENOENT ? 0 : errno;
  if (S_ISDIR(target.st_mode)) return EISDIR;
  return (target.st_mode & S_IWUSR) == 0 ? EACCES : 0;
}

int writeAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t written = write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return 0;
}

int readSome(int fd, char* buffer, std::size_t size, std::size_t& got) {
  ssize_t count;
  do {
    count = read(fd, buffer, size);
  } while (count < 0 && errno == EINTR);
  got = count < 0 ? 0 : static_cast<std::size_t>(count);
  return count < 0 ? errno : 0;
}

CopyResult compareContent(int left, int right) {
  static constexpr std::size_t kChunk = 1 << 16;
  std::string a(kChunk, '\0'), b(kChunk, '\0');
  off_t offset = 0;
  CopyResult result;
  for (;;) {
    ssize_t gotA = pread(left, &a[0], kChunk, offset);
    ssize_t gotB = pread(right, &b[0], kChunk, offset);
    if (gotA < 0 || gotB < 0) return failed(errno);
    if (gotA != gotB || std::memcmp(a.data(), b.data(), static_cast<std::size_t>(gotA)) != 0) {
      result.differs = true;
      return result;
    }
    if (gotA == 0) return result;
    offset += gotA;
  }
}

// --- PendingFile

PendingFile::~PendingFile() { discard(); }

int PendingFile::create(const std::string& destination, mode_t mode) {
  discard();
  flushed_ = false;
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
  // unless its source is about to go.
  if ((replace || durable) && !flushed_ && fdatasync(fd_) != 0 && errno != EINVAL) return errno;
  int error = 0;
  if (temporary_.empty())
    error = replace ? replaceWithUnnamed() : linkUnnamedFile(fd_, destination_.c_str());
  else if (replace)
    error = rename(temporary_.c_str(), destination_.c_str()) == 0 ? 0 : errno;
  else
    error = claimName();
  if (error != 0) return error;
  // A temporary name is the destination's now, or gone: nothing is left to remove.
  if (!temporary_.empty()) {
    unregisterName(temporary_);
    temporary_.clear();
  }
  close(fd_);
  fd_ = -1;
  return 0;
}

// An unnamed file cannot be renamed over a name: it takes a temporary name for the
// instant between two calls.
int PendingFile::replaceWithUnnamed() {
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = temporaryNameFor(destination_);
    registerName(name);
    int error = linkUnnamedFile(fd_, name.c_str());
    if (error == 0) {
      error = rename(name.c_str(), destination_.c_str()) == 0 ? 0 : errno;
      if (error != 0) unlink(name.c_str());
    }
    unregisterName(name);
    if (error != EEXIST) return error;
  }
  return EEXIST;
}

// The temporary name takes the destination only where no entry has it.
int PendingFile::claimName() {
  if (link(temporary_.c_str(), destination_.c_str()) == 0) {
    unlink(temporary_.c_str());
    return 0;
  }
  int error = errno;
  if (error == EEXIST || error == ENOENT || error == EACCES || error == ENOTDIR) return error;
  // Some file systems have no hard links; an exclusive rename does the same job.
  error = renameExclusive(temporary_.c_str(), destination_.c_str());
  if (error != ENOTSUP) return error;
  // Last resort: claim the name with an empty file, then replace it whole.
  int claim = open(destination_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (claim < 0) return errno;
  close(claim);
  if (rename(temporary_.c_str(), destination_.c_str()) != 0) {
    error = errno;
    unlink(destination_.c_str());
    return error;
  }
  return 0;
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

// --- PendingCopy

CopyResult PendingCopy::write(const std::string& source, const std::string& destination,
                              const CopyOptions& options) {
  options_ = options;
  Descriptor in;
  struct stat status;
  if (int error = openRegularFile(source, in.slot(), status)) return failed(error);
  size_ = status.st_size;
  if (options.replace) {
    if (int error = checkDestination(status, destination)) {
      CopyResult refused = failed(error);
      refused.sameFile = error == EBUSY;
      return refused;
    }
  }
  mode_t mode = status.st_mode & 0777;
  if (options.makeWritable) mode |= S_IWUSR;
  if (int error = file_.create(destination, mode)) return failed(error);
  const int out = file_.descriptor();
  if (int error = copyData(in.get(), out, status)) return failed(error);
  if (options.verify) {
    CopyResult compared = compareContent(in.get(), out);
    if (!compared.succeeded()) return compared;
  }
  if (!file_.hasMode(mode) && fchmod(out, mode) != 0) return failed(errno);
  const struct timespec times[2] = {{0, UTIME_NOW}, modificationTime(status)};
  if (futimens(out, times) != 0) return failed(errno);
  return CopyResult();
}

bool PendingCopy::flushFileSystem() {
  return file_.descriptor() >= 0 && posix::flushFileSystem(file_.descriptor()) == 0;
}

CopyResult PendingCopy::commit() {
  return failed(file_.commit(options_.replace, options_.durable));
}

CopyResult copyFile(const std::string& source, const std::string& destination,
                    const CopyOptions& options) {
  PendingCopy copy;
  CopyResult written = copy.write(source, destination, options);
  return written.succeeded() ? copy.commit() : written;
}

}  // namespace posix
}  // namespace quillkit
