#include "copy/files_posix/destination_folders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "copy/files_posix/file_ops.h"
#include "copy/files_posix/kernel_calls.h"
#include "copy/files_posix/pending_file.h"

namespace copy::files {
namespace {

std::vector<std::string> levelsOf(const std::string& relative) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start <= relative.size()) {
    std::size_t slash = relative.find('/', start);
    if (slash == std::string::npos) slash = relative.size();
    if (slash > start) names.push_back(relative.substr(start, slash - start));
    start = slash + 1;
  }
  return names;
}

bool sameEntry(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

DestinationFolders::DestinationFolders(std::string root) : root_(std::move(root)) {}

DestinationFolders::~DestinationFolders() { closeFrom(levels_, 0); }

void DestinationFolders::closeFrom(std::vector<Level>& levels, std::size_t first) {
  if (first >= levels.size()) return;
  for (std::size_t i = first; i < levels.size(); ++i) close(levels[i].fd);
  levels.resize(first);
  forgetFolders();  // their names under /proc/self/fd will lead elsewhere
}

// A level is opened without following a link. Where a link stands, the rule of
// protected_symlinks decides, and the link must still be the one looked at once it is
// followed (another may swap it in that instant).
int DestinationFolders::openBelow(int parent, const std::string& name, bool make, int& fd) {
  const char* entry = name.c_str();
  for (bool made = false;; made = true) {
    fd = openat(parent, entry, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) return 0;
    const int error = errno;
    if (error == ENOENT && make && !made) {
      if (mkdirat(parent, entry, 0777) != 0 && errno != EEXIST) return errno;
      continue;
    }
    if (error != ELOOP && error != ENOTDIR) return error;
    struct stat link, holder, again;
    if (fstatat(parent, entry, &link, AT_SYMLINK_NOFOLLOW) != 0) return errno;
    if (!S_ISLNK(link.st_mode)) return error;
    if (fstat(parent, &holder) != 0) return errno;
    if (link.st_uid != geteuid() && link.st_uid != holder.st_uid) return EACCES;
    fd = openat(parent, entry, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    if (fstatat(parent, entry, &again, AT_SYMLINK_NOFOLLOW) == 0 && sameEntry(link, again))
      return 0;
    close(fd);
    fd = -1;
    return EACCES;
  }
}

int DestinationFolders::open(const std::string& relative, bool make, std::string& path) {
  path.clear();
  if (levels_.empty()) {
    if (make) {
      if (int error = makeDirectories(root_)) return error;
    }
    const int fd = ::open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    levels_.push_back({std::string(), fd});
  }
  const std::vector<std::string> names = levelsOf(relative);
  std::size_t kept = 1;
  while (kept < levels_.size() && kept <= names.size() && levels_[kept].name == names[kept - 1])
    ++kept;
  std::vector<Level> chain(levels_.begin(), levels_.begin() + kept);
  for (std::size_t i = kept - 1; i < names.size(); ++i) {
    int fd = -1;
    if (int error = openBelow(chain.back().fd, names[i], make, fd)) {
      for (std::size_t j = 0; j <= i; ++j) path += (j == 0 ? "" : "/") + names[j];
      for (std::size_t j = kept; j < chain.size(); ++j) close(chain[j].fd);
      return error;
    }
    chain.push_back({names[i], fd});
  }
  closeFrom(levels_, kept);
  levels_ = std::move(chain);
  std::string named = root_;
  for (const std::string& name : names) named += "/" + name;
  path = pathOfOpenFolder(levels_.back().fd, named);
  return 0;
}

}  // namespace copy::files
