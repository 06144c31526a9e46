#include "copy/files_posix/destination_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "copy/files_posix/pending_file.h"
#include "copy/temporaries/temporary_names.h"

namespace copy::files {
namespace {

/// `path` without the separators it ends with, but for the root's own.
std::string trimmed(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

DestinationFolder::DestinationFolder(const Context& context, std::string path)
    : context_(context), path_(trimmed(std::move(path))), flushBatch_(context.kernel) {
  open();
}

DestinationFolder::DestinationFolder(const Context& context, int fd, std::string path)
    : context_(context), path_(trimmed(std::move(path))), flushBatch_(context.kernel) {
  std::lock_guard<std::mutex> lock(opening_);
  fd_ = fd;
  keepsNames_ = folderIsAppendOnly(fd_);
  local_ = context_.kernel.fileSystemIsLocal(fd_);
  open_ = true;
}

DestinationFolder::~DestinationFolder() {
  closeLetGo();
  if (fd_ >= 0) close(fd_);
}

void DestinationFolder::letGo(int held) {
  if (held < 0) return;
  std::lock_guard<std::mutex> lock(lettingGo_);
  letGo_.push_back(held);
}

void DestinationFolder::removeLater(std::unique_ptr<TemporaryName> name) {
  std::lock_guard<std::mutex> lock(lettingGo_);
  toRemove_.push_back(std::move(name));
}

void DestinationFolder::closeLetGo() {
  std::vector<int> held;
  std::vector<std::unique_ptr<TemporaryName>> names;
  {
    std::lock_guard<std::mutex> lock(lettingGo_);
    if (letGo_.empty() && toRemove_.empty()) return;
    held.swap(letGo_);
    names.swap(toRemove_);
  }
  for (int fd : held) close(fd);
  for (const std::unique_ptr<TemporaryName>& name : names)
    removeName(name->folder(), name->name().c_str());
}

std::string DestinationFolder::pathOf(const std::string& name) const {
  return path_ == "/" ? "/" + name : path_ + "/" + name;
}

int DestinationFolder::open() {
  if (open_) return 0;
  std::lock_guard<std::mutex> lock(opening_);
  if (open_) return 0;
  const int fd = openFolderForNames(AT_FDCWD, path_.c_str());
  if (fd < 0) return errno;
  fd_ = fd;
  keepsNames_ = folderIsAppendOnly(fd_);
  local_ = context_.kernel.fileSystemIsLocal(fd_);
  open_ = true;
  return 0;
}

int DestinationFolder::descriptor(int& fd) {
  fd = -1;
  if (const int error = open()) return error;
  fd = fd_;
  return 0;
}

quillkit::posix::FileStatus DestinationFolder::status(const char* name, bool follow) {
  int fd;
  if (const int error = descriptor(fd)) {
    quillkit::posix::FileStatus missing;
    missing.error = error;
    return missing;
  }
  return quillkit::posix::statusAt(fd, name, follow);
}

gid_t DestinationFolder::newFileGroup(int fd) {
  long long group = newFileGroup_;
  if (group >= 0) return static_cast<gid_t>(group);
  struct stat status;
  if (fstat(fd, &status) != 0) return static_cast<gid_t>(-1);
  newFileGroup_ = status.st_gid;
  return status.st_gid;
}

bool DestinationFolder::keepsNames() { return open() == 0 && keepsNames_; }

bool DestinationFolder::closeMayFail() { return open() != 0 || !local_; }

bool DestinationFolder::identitiesHold() { return open() == 0 && local_; }

void DestinationFolder::writeOut() {
  // The flush takes a descriptor opened for reading (O_PATH is none).
  int at;
  const int fd = descriptor(at) == 0 ? openat(at, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
  if (fd < 0 || context_.kernel.flushFileSystem(fd) != 0) sync();
  if (fd >= 0) close(fd);
}

bool DestinationFolder::reachedAt(const std::string& path) {
  {
    std::lock_guard<std::mutex> lock(reaching_);
    const auto known = reached_.find(path);
    if (known != reached_.end()) return known->second;
  }
  bool local = identitiesHold();
  const int there = openFolderForNames(AT_FDCWD, path.c_str());
  if (there >= 0) {
    local = local && context_.kernel.fileSystemIsLocal(there);
    close(there);
  }
  const bool reached = !local && nameShowsAt(*this, path);
  std::lock_guard<std::mutex> lock(reaching_);
  reached_[path] = reached;
  return reached;
}

std::string folderOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

const char* nameOf(const std::string& path) {
  return path.c_str() + (path.rfind('/') + 1);  // npos + 1 is 0
}

}  // namespace copy::files
