#include "copy/files_posix/kernel_calls.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace copy::files {

// The calls that every kernel makes alike.

int KernelCalls::flushFile(int fd) { return flushData(fd) == 0 ? 0 : errno; }

int KernelCalls::flushFolder(int at) {
  const int fd = openat(at, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0 && errno == EACCES) {
    sync();  // waits on Linux
    return 0;
  }
  if (fd < 0) return errno;
  const int error = fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
  close(fd);
  return error;
}

int KernelCalls::closeFile(int fd) {
  // Linux and the BSDs release the descriptor even when close fails (EINTR too): never
  // closed twice.
  return close(fd) == 0 ? 0 : errno;
}

ssize_t KernelCalls::readAt(int fd, char* buffer, std::size_t size, off_t offset) {
  return pread(fd, buffer, size, offset);
}

int KernelCalls::hardLink(int fromAt, const char* from, int toAt, const char* to) {
  return linkat(fromAt, from, toAt, to, 0) == 0 ? 0 : errno;
}

Listed KernelCalls::folderLists(int at, const char* folder, const std::string& name) {
  const int fd = openat(at, folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* listing = fd >= 0 ? fdopendir(fd) : nullptr;
  if (listing == nullptr) {
    if (fd >= 0) close(fd);
    return Listed::Unknown;
  }
  Listed listed = Listed::No;
  while (const dirent* entry = readdir(listing)) {
    if (name == entry->d_name) {
      listed = Listed::Yes;
      break;
    }
  }
  closedir(listing);
  return listed;
}

int removeName(int at, const char* name) {
  for (int attempt = 0;; ++attempt) {
    if (unlinkat(at < 0 ? AT_FDCWD : at, name, 0) == 0) return 0;
    if (errno != EBUSY || attempt == 100) return errno;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

int randomBytes(unsigned char* bytes, std::size_t count) {
  for (std::size_t done = 0; done < count;) {  // at most 256 bytes a call
    const std::size_t size = count - done < 256 ? count - done : 256;
    if (getentropy(bytes + done, size) != 0) return errno;
    done += size;
  }
  return 0;
}

}  // namespace copy::files
