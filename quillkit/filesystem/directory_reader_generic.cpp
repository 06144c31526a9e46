#include <dirent.h>

#include <cerrno>
#include <new>

#include "quillkit/filesystem/directory_reader_posix.h"

namespace quillkit {
namespace posix {

struct DirectoryReader::Stream {
  DIR* dir = nullptr;
};

DirectoryReader::~DirectoryReader() {
  if (stream_ == nullptr) return;
  closedir(stream_->dir);
  delete stream_;
}

int DirectoryReader::open(const char* path) {
  DIR* dir = opendir(path);
  if (dir == nullptr) return errno;
  stream_ = new (std::nothrow) Stream;
  if (stream_ == nullptr) {
    closedir(dir);
    return ENOMEM;
  }
  stream_->dir = dir;
  return 0;
}

bool DirectoryReader::next(DirectoryEntry& entry) {
  errno = 0;
  const dirent* record = readdir(stream_->dir);
  if (record == nullptr) {
    error_ = errno;
    return false;
  }
  entry = {record->d_name, record->d_type, record->d_ino};
  return true;
}

int DirectoryReader::descriptor() const { return dirfd(stream_->dir); }

}  // namespace posix
}  // namespace quillkit
