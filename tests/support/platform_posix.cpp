#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "copy/files_posix/kernel_calls.h"
#include "tests/support/platform.h"

namespace testsys {

bool isWindowsBuild() { return false; }
char separator() { return '/'; }
const char* textLineEnd() { return "\n"; }
std::size_t createPathLimit() { return PATH_MAX; }

bool makeDirectory(const std::string& path) { return mkdir(path.c_str(), 0777) == 0; }

bool isDirectory(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

std::vector<std::string> list(const std::string& path) {
  std::vector<std::string> names;
  DIR* dir = opendir(path.c_str());
  if (dir == nullptr) return names;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(dir);
  return names;
}

std::string currentDirectory() {
  char buffer[PATH_MAX];
  return getcwd(buffer, sizeof buffer) ? buffer : "";
}

bool changeDirectory(const std::string& path) { return chdir(path.c_str()) == 0; }

namespace {

// Relative to an open folder, so that trees deeper than the path limit go too.
void removeAt(int parent, const char* name) {
  struct stat st;
  if (fstatat(parent, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return;
  if (!S_ISDIR(st.st_mode)) {
    unlinkat(parent, name, 0);
    return;
  }
  // A folder that a test closed to its owner is opened again; where that fails, its
  // listing below may still succeed.
  if (fchmodat(parent, name, 0700, 0) != 0) {
  }
  int fd = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd >= 0) {
    if (DIR* dir = fdopendir(fd)) {
      std::vector<std::string> names;
      while (dirent* entry = readdir(dir)) {
        std::string child = entry->d_name;
        if (child != "." && child != "..") names.push_back(child);
      }
      for (const std::string& child : names) removeAt(dirfd(dir), child.c_str());
      closedir(dir);
    } else {
      close(fd);
    }
  }
  unlinkat(parent, name, AT_REMOVEDIR);
}

}  // namespace

void removeTree(const std::string& path) { removeAt(AT_FDCWD, path.c_str()); }

std::string temporaryRoot() {
  const char* root = getenv("TMPDIR");
  std::string result = (root && *root) ? root : "/tmp";
  while (result.size() > 1 && result.back() == '/') result.pop_back();
  return result;
}

void setReadOnly(const std::string& path, bool readOnly) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return;
  mode_t mode = readOnly ? (st.st_mode & ~mode_t(0222)) : (st.st_mode | 0200);
  chmod(path.c_str(), mode & 07777);
}

bool makeUnreadable(const std::string& path) { return chmod(path.c_str(), 0) == 0; }

bool ignoresPermissions() { return geteuid() == 0; }

unsigned long processId() { return static_cast<unsigned long>(getpid()); }

bool makeSparseFile(const std::string& path, uint64_t size) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  const bool sized = ftruncate(fd, static_cast<off_t>(size)) == 0;
  close(fd);
  return sized;
}

bool makeSymbolicLink(const std::string& target, const std::string& link) {
  return symlink(target.c_str(), link.c_str()) == 0;
}

bool copiesAreUnnamed() {
  const int folder = open(temporaryRoot().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  int fd = -1;
  const bool unnamed = copy::files::KernelCalls().openUnnamedFile(folder, 0600, fd) == 0;
  if (fd >= 0) close(fd);
  if (folder >= 0) close(folder);
  return unnamed;
}

bool lastErrorIsNotFound() { return errno == ENOENT; }

bool builtWithSanitizer() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
  return true;
#else
  return false;
#endif
#else
  return false;
#endif
}

}  // namespace testsys
