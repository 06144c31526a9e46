#include <sys/stat.h>
#include <unistd.h>

#include "quillkit/filesystem/directory.h"
#include "quillkit/filesystem/posix/native_path.h"

namespace quillkit {

int getCurrentDirectory(char* buffer, uint32_t bufferSize) {
  return getcwd(buffer, bufferSize) != nullptr ? 1 : 0;
}

int setCurrentDirectory(const char* path) {
  return chdir(posix::toNativePath(path).c_str()) == 0 ? 1 : 0;
}

// Default security maps onto the umask; nothing of the record applies here.
int createDirectory(const char* path, const SecurityAttributes&) {
  return mkdir(posix::toNativePath(path).c_str(), 0777) == 0 ? 1 : 0;
}

// A name that exists, whatever it is: a dangling symbolic link too, as the find
// primitives list it.
bool pathExists(StringRef path) {
  struct stat status;
  return lstat(posix::toNativePath(path.data()).c_str(), &status) == 0;
}

bool directoryExists(StringRef path) {
  struct stat status;
  return stat(posix::toNativePath(path.data()).c_str(), &status) == 0 &&
         S_ISDIR(status.st_mode);
}

}  // namespace quillkit
