#ifndef PELQUIST_COPY_FILES_POSIX_DESTINATION_FOLDERS_H_
#define PELQUIST_COPY_FILES_POSIX_DESTINATION_FOLDERS_H_

// POSIX build only: the folders below a destination that XCOPY makes and fills.

#include <string>
#include <vector>

namespace copy::files {

/// The folders below a destination, worked down by descriptor: each level is opened (and
/// made where missing) from the open level above it, without following a link, so that
/// a link that another user plants where one of the folders would be, or swaps in for one
/// later, never leads the copies out of the destination. A link found there is entered
/// only when its owner is the person running or the owner of the folder that holds it
/// (the rule of Linux's protected_symlinks, whatever the system's setting). The
/// destination itself, as typed, may be a link: it is followed. Holds the levels of the
/// last folder opened, as a walk enters folders one below another.
class DestinationFolders {
 public:
  /// `root` is the destination folder as typed (native path).
  explicit DestinationFolders(std::string root);
  ~DestinationFolders();
  DestinationFolders(const DestinationFolders&) = delete;
  DestinationFolders& operator=(const DestinationFolders&) = delete;

  /// Opens the folder `relative` below the destination ('/' between levels; empty for the
  /// destination itself), making the missing levels when `make`: 0 and in `path` a path
  /// that leads to that very folder as long as it is open (pathOfOpenFolder). Else errno
  /// (ENOENT for a missing level when not `make`, EACCES for a link that is not entered,
  /// ENOTDIR for a file) and in `path` the part of `relative` that failed.
  int open(const std::string& relative, bool make, std::string& path);

 private:
  struct Level {
    std::string name;
    int fd;
  };
  int openBelow(int parent, const std::string& name, bool make, int& fd);
  void closeFrom(std::vector<Level>& levels, std::size_t first);

  const std::string root_;
  /// The levels open now, the destination first (named "").
  std::vector<Level> levels_;
};

}  // namespace copy::files

#endif  // PELQUIST_COPY_FILES_POSIX_DESTINATION_FOLDERS_H_
