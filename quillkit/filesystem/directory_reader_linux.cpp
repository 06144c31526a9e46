#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <new>

#include "quillkit/filesystem/directory_reader_posix.h"

namespace quillkit {
namespace posix {

struct DirectoryReader::Stream {
  int fd = -1;
  long used = 0;  // bytes of buffer that the last read filled
  long at = 0;    // where the next entry stands in buffer
  alignas(8) char buffer[32768];
};

DirectoryReader::~DirectoryReader() {
  if (stream_ == nullptr) return;
  close(stream_->fd);
  delete stream_;
}

int DirectoryReader::open(const char* path) {
  const int fd = ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  stream_ = new (std::nothrow) Stream;
  if (stream_ == nullptr) {
    close(fd);
    return ENOMEM;
  }
  stream_->fd = fd;
  return 0;
}

bool DirectoryReader::next(DirectoryEntry& entry) {
  Stream& stream = *stream_;
  if (stream.at >= stream.used) {
    ssize_t got;
    do {
      got = getdents64(stream.fd, stream.buffer, sizeof stream.buffer);
    } while (got < 0 && errno == EINTR);
    if (got <= 0) {
      error_ = got < 0 ? errno : 0;
      return false;
    }
    stream.used = got;
    stream.at = 0;
  }
  const auto* record = reinterpret_cast<const struct dirent64*>(stream.buffer + stream.at);
  stream.at += record->d_reclen;
  entry = {record->d_name, record->d_type, static_cast<ino_t>(record->d_ino)};
  return true;
}

int DirectoryReader::descriptor() const { return stream_->fd; }

}  // namespace posix
}  // namespace quillkit
