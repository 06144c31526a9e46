#include <sys/stat.h>
#include <unistd.h>

#include "quillkit/filesystem/directory.h"
#include "quillkit/filesystem/native_path_posix.h"

namespace quillkit {

int getCurrentDirectory(char* buffer, uint32_t bufferSize) {
  return getcwd(buffer, bufferSize) != nullptr ? 1 : 0;
}

int setCurrentDirectory(const char* path) {
  return chdir(toNativePath(path).c_str()) == 0 ? 1 : 0;
}

// Default security maps onto the umask; nothing of the record applies here.
int createDirectory(const char* path, const SecurityAttributes&) {
  return mkdir(toNativePath(path).c_str(), 0777) == 0 ? 1 : 0;
}

int directoryExists(const char* path) {
  struct stat status;
  return stat(toNativePath(path).c_str(), &status) == 0 && S_ISDIR(status.st_mode) ? 1 : 0;
}

int entryExists(const char* path) {
  struct stat status;
  return stat(toNativePath(path).c_str(), &status) == 0 ? 1 : 0;
}

}  // namespace quillkit
