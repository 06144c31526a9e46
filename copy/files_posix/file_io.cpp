#include "copy/files_posix/file_io.h"

#include <fcntl.h>

#include <cerrno>
#include <cstring>

#include "quillkit/filesystem/file_status_posix.h"

namespace files {

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

int checkReplaceable(const std::string& destination, const quillkit::FileIdentity& source,
                     bool* exists, quillkit::FileIdentity* found) {
  const quillkit::posix::FileStatus target = quillkit::posix::fileStatus(destination);
  if (exists != nullptr) *exists = target.exists();
  if (found != nullptr) *found = target.identity;
  if (!target.exists()) return target.error == ENOENT ? 0 : target.error;
  if (target.identity == source) return EBUSY;
  if (target.isDirectory()) return EISDIR;
  // A file its owner may not write counts as read-only; like Windows, it stays.
  return target.readOnly ? EACCES : 0;
}

mode_t processUmask() {
  static const mode_t mask = [] {
    const mode_t value = umask(0);
    umask(value);
    return value;
  }();
  return mask;
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
    if (gotA < 0 || gotB < 0) return CopyResult::ofError(errno);
    if (gotA != gotB || std::memcmp(a.data(), b.data(), static_cast<std::size_t>(gotA)) != 0) {
      result.differs = true;
      return result;
    }
    if (gotA == 0) return result;
    offset += gotA;
  }
}

std::string folderOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace files
