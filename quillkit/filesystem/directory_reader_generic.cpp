#include <dirent.h>

#include <cerrno>

#include "quillkit/filesystem/directory_reader_posix.h"

namespace quillkit {
namespace posix {

DirectoryReader::~DirectoryReader() {
  if (dir_ != nullptr) closedir(static_cast<DIR*>(dir_));
}

int DirectoryReader::open(const char* path) {
  dir_ = opendir(path);
  return dir_ == nullptr ? errno : 0;
}

bool DirectoryReader::next(DirectoryEntry& entry) {
  errno = 0;
  const dirent* record = readdir(static_cast<DIR*>(dir_));
  if (record == nullptr) {
    error_ = errno;
    return false;
  }
  entry = {record->d_name, record->d_type, record->d_ino};
  return true;
}

int DirectoryReader::descriptor() const { return dirfd(static_cast<DIR*>(dir_)); }

}  // namespace posix
}  // namespace quillkit
