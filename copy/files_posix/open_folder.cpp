#include "copy/files_posix/open_folder.h"

#include <unistd.h>

#include <mutex>

#include "copy/files_posix/kernel_calls.h"

namespace copy::files {
namespace {

std::mutex lastMutex;
std::string lastPath;
std::shared_ptr<const OpenFolder> last;

}  // namespace

OpenFolder::~OpenFolder() { close(fd_); }

std::shared_ptr<const OpenFolder> openFolder(const std::string& path) {
  // A relative path leads elsewhere once the process changes its directory.
  if (path.empty() || path[0] != '/') return nullptr;
  {
    std::lock_guard<std::mutex> lock(lastMutex);
    if (last && path == lastPath) return last;
  }
  const int fd = openFolderForNames(path.c_str());
  if (fd < 0) return nullptr;
  std::shared_ptr<const OpenFolder> opened = std::make_shared<const OpenFolder>(fd);
  std::lock_guard<std::mutex> lock(lastMutex);
  lastPath = path;
  last = opened;
  return opened;
}

void forgetOpenFolder() {
  std::shared_ptr<const OpenFolder> forgotten;
  std::lock_guard<std::mutex> lock(lastMutex);
  forgotten.swap(last);
  lastPath.clear();
}

}  // namespace copy::files
