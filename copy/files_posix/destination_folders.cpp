#include "copy/files_posix/destination_folders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "copy/files_posix/file_ops.h"
#include "copy/files_posix/kernel_calls.h"

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

/// True when the folder open as `fd` belongs to the person running and no one else may
/// write it.
bool isPrivate(int fd) {
  struct stat status;
  return fstat(fd, &status) == 0 && status.st_uid == geteuid() &&
         (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

/// How many levels below the destination stay open at most: those deepest down, where
/// the walk goes on.
constexpr std::size_t kOpenLevels = 8;

}  // namespace

DestinationFolders::DestinationFolders(const Context& context, std::string root)
    : context_(context), root_(std::move(root)) {}

DestinationFolders::~DestinationFolders() = default;

// A level is opened without following a link. Where a link stands, it is followed only
// where nobody else could have put it there, and it must still be the one looked at once
// it is followed (another may swap it in that instant).
int DestinationFolders::openBelow(int parent, bool parentPrivate, const std::string& name,
                                  bool make, int& fd) {
  const char* entry = name.c_str();
  for (bool made = false;; made = true) {
    fd = openFolderForNames(parent, entry, true);
    if (fd >= 0) return 0;
    const int error = errno;
    if (error == ENOENT && make && !made) {
      if (mkdirat(parent, entry, 0777) != 0 && errno != EEXIST) return errno;
      continue;
    }
    if (error != ELOOP && error != ENOTDIR) return error;
    struct stat link, again;
    if (fstatat(parent, entry, &link, AT_SYMLINK_NOFOLLOW) != 0) return errno;
    if (!S_ISLNK(link.st_mode)) return error;
    if (!parentPrivate || link.st_uid != geteuid() || link.st_nlink != 1) return EACCES;
    fd = openFolderForNames(parent, entry);
    if (fd < 0) return errno;
    if (fstatat(parent, entry, &again, AT_SYMLINK_NOFOLLOW) == 0 && sameEntry(link, again))
      return 0;
    close(fd);
    fd = -1;
    return EACCES;
  }
}

int DestinationFolders::open(const std::string& relative, bool make, DestinationFolder*& folder,
                             std::string& failed) {
  folder = nullptr;
  failed.clear();
  if (levels_.empty()) {
    if (make) {
      if (int error = makeDirectories(root_)) return error;
    }
    // The destination as typed is followed, a link too.
    const int fd = openFolderForNames(AT_FDCWD, root_.c_str());
    if (fd < 0) return errno;
    Level root;
    root.identity = quillkit::posix::identityOf(fd);
    root.private_ = isPrivate(fd);
    root.folder.reset(new DestinationFolder(context_, fd, root_));
    levels_.push_back(std::move(root));
  }
  const std::vector<std::string> names = levelsOf(relative);
  std::size_t kept = 1;
  while (kept < levels_.size() && kept <= names.size() && levels_[kept].name == names[kept - 1])
    ++kept;
  levels_.resize(kept);
  for (std::size_t i = kept - 1; i < names.size(); ++i) {
    int parent = -1, fd = -1;
    int error = reach(levels_.size() - 1, parent);
    if (error == 0) error = openBelow(parent, levels_.back().private_, names[i], make, fd);
    if (error != 0) {
      for (std::size_t j = 0; j <= i; ++j) failed += (j == 0 ? "" : "/") + names[j];
      return error;
    }
    Level level;
    level.name = names[i];
    level.identity = quillkit::posix::identityOf(fd);
    level.private_ = levels_.back().private_ && isPrivate(fd);
    level.folder.reset(
        new DestinationFolder(context_, fd, levels_.back().folder->pathOf(names[i])));
    levels_.push_back(std::move(level));
    closeSome();
  }
  int fd;
  if (int error = reach(levels_.size() - 1, fd)) {
    failed = relative;
    return error;
  }
  folder = levels_.back().folder.get();
  return 0;
}

int DestinationFolders::reach(std::size_t index, int& fd) {
  Level& level = levels_[index];
  if (!level.folder) {
    // Closed on the way down: opened again from the level above, and it must be the
    // folder it was.
    int parent, opened;
    if (int error = reach(index - 1, parent)) return error;
    if (int error = openBelow(parent, levels_[index - 1].private_, level.name, false, opened))
      return error;
    if (quillkit::posix::identityOf(opened) != level.identity) {
      close(opened);
      return EACCES;
    }
    level.folder.reset(
        new DestinationFolder(context_, opened, levels_[index - 1].folder->pathOf(level.name)));
    closeSome();
  }
  return level.folder->descriptor(fd);
}

void DestinationFolders::closeSome() {
  std::size_t open = 0;
  for (const Level& level : levels_) open += level.folder ? 1 : 0;
  for (std::size_t i = 1; open > kOpenLevels + 1 && i < levels_.size(); ++i) {
    if (!levels_[i].folder) continue;
    levels_[i].folder.reset();
    --open;
  }
}

}  // namespace copy::files
