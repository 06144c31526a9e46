#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>

#include "quillkit/filesystem/directory_reader_posix.h"

namespace quillkit {
namespace posix {

DirectoryReader::~DirectoryReader() {
  if (fd_ >= 0) close(fd_);
}

int DirectoryReader::open(const char* path) {
  fd_ = ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  return fd_ < 0 ? errno : 0;
}

bool DirectoryReader::next(DirectoryEntry& entry) {
  if (at_ >= used_) {
    ssize_t got;
    do {
      got = getdents64(fd_, buffer_, sizeof buffer_);
    } while (got < 0 && errno == EINTR);
    if (got <= 0) {
      error_ = got < 0 ? errno : 0;
      return false;
    }
    used_ = got;
    at_ = 0;
  }
  const auto* record = reinterpret_cast<const struct dirent64*>(buffer_ + at_);
  at_ += record->d_reclen;
  entry = {record->d_name, record->d_type, static_cast<ino_t>(record->d_ino)};
  return true;
}

int DirectoryReader::descriptor() const { return fd_; }

}  // namespace posix
}  // namespace quillkit
