#include <sys/stat.h>
#include <unistd.h>

#include "quillkit/filesystem/directory.h"
#include "quillkit/filesystem/file_status_posix.h"
#include "quillkit/filesystem/native_path_posix.h"

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
  return posix::entryStatus(posix::toNativePath(path.data())).exists();
}

bool directoryExists(StringRef path) {
  return posix::fileStatus(posix::toNativePath(path.data())).isDirectory();
}

FileIdentity directoryIdentity(StringRef path) {
  return posix::fileStatus(posix::toNativePath(path.data())).identity;
}

// No drives: every relative path is joined to the current directory.
bool completeFromDriveOrRoot(StringRef, std::string&) { return false; }

}  // namespace quillkit
