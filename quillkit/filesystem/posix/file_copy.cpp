#include "quillkit/filesystem/posix/file_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "quillkit/filesystem/posix/kernel_calls.h"

namespace quillkit {
namespace posix {
namespace {

/// Closes its descriptor on every way out.
class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  int& slot() { return fd_; }

 private:
  int fd_;
};

std::string folderOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
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
int copyData(int from, int to) {
  int error = kernelCopy(from, to);
  return error == ENOTSUP ? copyByReading(from, to) : error;
}

// Compares the whole content of two descriptors from their starts.
CopyResult compareContent(int left, int right) {
  static constexpr std::size_t kChunk = 1 << 16;
  std::string a(kChunk, '\0'), b(kChunk, '\0');
  off_t offset = 0;
  CopyResult result;
  for (;;) {
    ssize_t gotA = pread(left, &a[0], kChunk, offset);
    ssize_t gotB = pread(right, &b[0], kChunk, offset);
    if (gotA < 0 || gotB < 0) {
      result.error = errno;
      return result;
    }
    if (gotA != gotB || std::memcmp(a.data(), b.data(), static_cast<std::size_t>(gotA)) != 0) {
      result.differs = true;
      return result;
    }
    if (gotA == 0) return result;
    offset += gotA;
  }
}

// Checks an existing destination against the source before anything is written.
int checkDestination(const struct stat& source, const std::string& destination, bool replace) {
  struct stat target;
  if (stat(destination.c_str(), &target) != 0) return errno == ENOENT ? 0 : errno;
  if (target.st_dev == source.st_dev && target.st_ino == source.st_ino)
    return replace ? EBUSY : EEXIST;
  if (!replace) return S_ISDIR(target.st_mode) ? EISDIR : EEXIST;
  return checkReplaceable(destination);
}

CopyResult failed(int error) {
  CopyResult result;
  result.error = error;
  return result;
}

}  // namespace

int openRegularFile(const std::string& path, int& fd) {
  // Without O_NONBLOCK a FIFO with no writer would hold the open forever.
  fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return errno;
  struct stat status;
  int error = 0;
  if (fstat(fd, &status) != 0)
    error = errno;
  else if (S_ISDIR(status.st_mode))
    error = EISDIR;
  else if (!S_ISREG(status.st_mode))
    error = EINVAL;  // only regular files have an end
  else if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
    error = errno;
  if (error == 0) return 0;
  close(fd);
  fd = -1;
  return error;
}

int checkReplaceable(const std::string& destination) {
  struct stat target;
  if (stat(destination.c_str(), &target) != 0) return errno == ENOENT ? 0 : errno;
  if (S_ISDIR(target.st_mode)) return EISDIR;
  // A file its owner may not write counts as read-only; like Windows, it stays.
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

PendingFile::~PendingFile() { discard(); }

int PendingFile::create(const std::string& destination) {
  discard();
  destination_ = destination;
  std::string pattern = folderOf(destination) + "/.pelquist-XXXXXX";
  fd_ = mkostemp(&pattern[0], O_CLOEXEC);
  if (fd_ < 0) return errno;
  temporary_ = pattern;
  return 0;
}

int PendingFile::commit(bool replace, bool durable) {
  // Replacing must not trade the old content for data still in the page cache; a new
  // name loses nothing if a crash cuts it short, so it is not worth a flush per file,
  // unless its source is about to go.
  if ((replace || durable) && fsync(fd_) != 0 && errno != EINVAL) return errno;
  int error = 0;
  if (replace) {
    if (rename(temporary_.c_str(), destination_.c_str()) != 0) error = errno;
  } else {
    error = claimName();
  }
  if (error != 0) return error;
  close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) unlink(temporary_.c_str());
  temporary_.clear();
  return 0;
}

int PendingFile::claimName() {
  if (link(temporary_.c_str(), destination_.c_str()) == 0) return 0;
  int error = errno;
  if (error == EEXIST || error == ENOENT || error == EACCES || error == ENOTDIR) return error;
  // Some file systems have no hard links; an exclusive rename does the same job.
  error = renameExclusive(temporary_.c_str(), destination_.c_str());
  if (error == 0) temporary_.clear();
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
  temporary_.clear();
  return 0;
}

void PendingFile::discard() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) unlink(temporary_.c_str());
  temporary_.clear();
}

CopyResult copyFile(const std::string& source, const std::string& destination,
                    const CopyOptions& options) {
  Descriptor in;
  if (int error = openRegularFile(source, in.slot())) return failed(error);
  struct stat status;
  if (fstat(in.get(), &status) != 0) return failed(errno);
  if (int error = checkDestination(status, destination, options.replace)) return failed(error);

  PendingFile out;
  if (int error = out.create(destination)) return failed(error);
  if (int error = copyData(in.get(), out.descriptor())) return failed(error);
  if (options.verify) {
    CopyResult compared = compareContent(in.get(), out.descriptor());
    if (!compared.succeeded()) return compared;
  }
  mode_t mode = status.st_mode & 0777;
  if (options.makeWritable) mode |= S_IWUSR;
  if (fchmod(out.descriptor(), mode) != 0) return failed(errno);
  const struct timespec times[2] = {{0, UTIME_NOW}, modificationTime(status)};
  if (futimens(out.descriptor(), times) != 0) return failed(errno);
  return failed(out.commit(options.replace, options.durable));
}

}  // namespace posix
}  // namespace quillkit
