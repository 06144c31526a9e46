#include <fcntl.h>
#include <linux/fs.h>
#include <stdio.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <mutex>
#include <string>
#include <vector>

#include "copy/files_posix/kernel_calls.h"

namespace files {
namespace {

// Devices whose files refused a reflink: asked once, not once per file.
std::mutex refusedMutex;
std::vector<dev_t> refusedDevices;

bool reflinkRefused(dev_t device) {
  std::lock_guard<std::mutex> lock(refusedMutex);
  return std::find(refusedDevices.begin(), refusedDevices.end(), device) !=
         refusedDevices.end();
}

void rememberRefusal(dev_t device) {
  std::lock_guard<std::mutex> lock(refusedMutex);
  if (std::find(refusedDevices.begin(), refusedDevices.end(), device) == refusedDevices.end())
    refusedDevices.push_back(device);
}

std::atomic<bool> unnamedRefused{false};
std::atomic<bool> linksRefused{false};
std::atomic<bool> exclusiveRenamesRefused{false};
std::atomic<int> flushFailure{0}, closeFailure{0};

}  // namespace

int reflinkFile(int from, int to, dev_t sourceDevice) {
  if (reflinkRefused(sourceDevice)) return ENOTSUP;
  if (ioctl(to, FICLONE, from) == 0) return 0;
  rememberRefusal(sourceDevice);
  return ENOTSUP;
}

int kernelCopy(int from, int to, off_t& left) {
  while (left > 0) {
    ssize_t copied = copy_file_range(from, nullptr, to, nullptr, static_cast<size_t>(left), 0);
    // An early end is the reader's to confirm: kernels that copy_file_range files under
    // /proc answer 0 although they hold text.
    if (copied == 0) return ENOTSUP;
    if (copied > 0) {
      left -= copied;
      continue;
    }
    if (errno == EINTR) continue;
    if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
        errno == EBADF || errno == EPERM)
      return ENOTSUP;
    return errno;
  }
  return 0;
}

int renameExclusive(const char* from, const char* to) {
  if (linksRefused || exclusiveRenamesRefused) return ENOTSUP;
  if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
  if (errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP) return ENOTSUP;
  return errno;
}

void refuseExclusiveRenamesForTesting(bool refuse) { exclusiveRenamesRefused = refuse; }

int openUnnamedFile(const char* folder, mode_t mode, int& fd) {
  fd = -1;
  // An unnamed file takes its name through /proc (linkUnnamedFile); without it, none.
  static const bool linkable = access("/proc/self/fd", X_OK) == 0;
  if (unnamedRefused || !linkable) return ENOTSUP;
  fd = open(folder, O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
  if (fd >= 0) return 0;
  // Kernels and file systems without O_TMPFILE answer with one of these.
  if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) return ENOTSUP;
  return errno;
}

int linkUnnamedFile(int fd, const char* path) {
  // Linking an unnamed file by its descriptor is the cheaper way but needs a privilege
  // (CAP_DAC_READ_SEARCH); its name under /proc does not. A refusal is remembered.
  static std::atomic<bool> byDescriptor{true};
  const bool tried = byDescriptor;
  if (tried) {
    if (linkat(fd, "", AT_FDCWD, path, AT_EMPTY_PATH) == 0) return 0;
    // Without the privilege the kernel answers ENOENT, as it does for a missing folder.
    if (errno != EPERM && errno != ENOENT) return errno;
  }
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path, AT_SYMLINK_FOLLOW) != 0) return errno;
  if (tried) byDescriptor = false;
  return 0;
}

int flushFile(int fd) {
  if (flushFailure != 0) return flushFailure;
  return fdatasync(fd) == 0 ? 0 : errno;
}

int closeFile(int fd) {
  // Linux releases the descriptor even when close fails (EINTR too): never closed twice.
  const int error = close(fd) == 0 ? 0 : errno;
  return closeFailure != 0 ? closeFailure.load() : error;
}

void failFlushAndCloseForTesting(int flushError, int closeError) {
  flushFailure = flushError;
  closeFailure = closeError;
}

bool kernelHasUnnamedFiles() { return true; }

void refuseUnnamedFilesForTesting(bool refuse) { unnamedRefused = refuse; }

int hardLink(const char* from, const char* to) {
  if (linksRefused) return EPERM;
  return link(from, to) == 0 ? 0 : errno;
}

void refuseHardLinksForTesting(bool refuse) { linksRefused = refuse; }

bool folderIsAppendOnly(const char* folder) {
  const int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  int flags = 0;
  const bool appendOnly = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_APPEND_FL);
  close(fd);
  return appendOnly;
}

struct timespec modificationTime(const struct stat& status) {
  return status.st_mtim;
}

}  // namespace files
