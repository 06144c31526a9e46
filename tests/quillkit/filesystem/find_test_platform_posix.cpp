#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "quillkit/filesystem/find_test_platform.h"

namespace findtest {

bool isWindowsBuild() { return false; }

bool readsEverything() { return geteuid() == 0; }

bool makeSparseFile(const std::string& path, uint64_t size) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  const bool sized = ftruncate(fd, static_cast<off_t>(size)) == 0;
  close(fd);
  return sized;
}

bool makeReadOnly(const std::string& path) { return chmod(path.c_str(), 0444) == 0; }

bool makeUnreadable(const std::string& path) { return chmod(path.c_str(), 0) == 0; }

bool makeSymbolicLink(const std::string& target, const std::string& link) {
  return symlink(target.c_str(), link.c_str()) == 0;
}

bool lastErrorIsNotFound() { return errno == ENOENT; }

}  // namespace findtest
