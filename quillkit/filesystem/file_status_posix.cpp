#include "quillkit/filesystem/file_status_posix.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

namespace quillkit {
namespace posix {
namespace {

FileIdentity identityFrom(const struct stat& status) {
  return {true, static_cast<uint64_t>(status.st_dev), static_cast<uint64_t>(status.st_ino)};
}

FileStatus describe(int result, const struct stat& status) {
  FileStatus file;
  if (result != 0) {
    file.error = errno;
    return file;
  }
  file.kind = S_ISDIR(status.st_mode) ? FileKind::Directory : FileKind::File;
  file.readOnly = (status.st_mode & S_IWUSR) == 0;
  file.isLink = S_ISLNK(status.st_mode);
  file.identity = identityFrom(status);
  return file;
}

}  // namespace

FileStatus fileStatus(const std::string& path) {
  struct stat status;
  return describe(stat(path.c_str(), &status), status);
}

FileStatus entryStatus(const std::string& path) {
  struct stat status;
  return describe(lstat(path.c_str(), &status), status);
}

FileStatus statusAt(int folder, const char* name, bool follow) {
  struct stat status;
  return describe(fstatat(folder, name, &status, follow ? 0 : AT_SYMLINK_NOFOLLOW), status);
}

FileIdentity identityOf(int fd) {
  struct stat status;
  return fstat(fd, &status) == 0 ? identityFrom(status) : FileIdentity();
}

}  // namespace posix
}  // namespace quillkit
