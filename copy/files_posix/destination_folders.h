#ifndef PELQUIST_COPY_FILES_POSIX_DESTINATION_FOLDERS_H_
#define PELQUIST_COPY_FILES_POSIX_DESTINATION_FOLDERS_H_

// POSIX build only: the folders below a destination that XCOPY makes and fills.

#include <memory>
#include <string>
#include <vector>

#include "copy/files_posix/destination_folder.h"
#include "quillkit/filesystem/file_identity.h"

namespace copy::files {

/// The folders below a destination, worked down by descriptor: each level is opened (and
/// made where missing) from the open level above it, without following a link, so that
/// a link that another user plants where one of the folders would be, or swaps in for one
/// later, never leads the copies out of the destination. A link found there is entered
/// only where nobody else could have put it there: the link is the person running's,
/// with no other name (a hard link to a link proves nothing of who placed it), and every
/// folder from the destination as typed down to it is theirs and may be written by no one
/// else. The destination itself, as typed, may be a link: it is followed. It holds the levels
/// of the last folder opened, as a walk enters folders one below another, but keeps only a few
/// of them open: a level closed on the way down is reached again from the nearest open one
/// above it, step by step in the same way, and must be the folder it was. So a tree of any
/// depth needs a few descriptors.
class DestinationFolders {
 public:
  /// `root` is the destination folder as typed (native path).
  DestinationFolders(const Context& context, std::string root);
  ~DestinationFolders();
  DestinationFolders(const DestinationFolders&) = delete;
  DestinationFolders& operator=(const DestinationFolders&) = delete;

  /// Opens the folder `relative` below the destination ('/' between levels; empty for the
  /// destination itself), making the missing levels when `make`: 0 and in `folder` that
  /// folder, which stays open until the next call. Else errno (ENOENT for a missing level
  /// when not `make`, EACCES for a link that is not entered or a level that is no longer
  /// the folder it was, ENOTDIR for a file) and in `failed` the part of `relative` that
  /// failed.
  int open(const std::string& relative, bool make, DestinationFolder*& folder,
           std::string& failed);

 private:
  struct Level {
    std::string name;
    /// The folder it was when it was first opened.
    quillkit::FileIdentity identity;
    /// It and every level above it belong to the person running, and no one else may
    /// write them: a link in it was put there by them.
    bool private_ = false;
    /// Null while it is closed.
    std::unique_ptr<DestinationFolder> folder;
  };
  /// The descriptor of level `index`, opened again from the nearest open level above
  /// where it was closed: 0, or errno.
  int reach(std::size_t index, int& fd);
  /// Opens the level `name` below the folder open as `parent`, which is `private_` or
  /// not: 0 and `fd`, or errno.
  int openBelow(int parent, bool parentPrivate, const std::string& name, bool make, int& fd);
  /// Closes levels, the highest first (never the destination's), until at most a few
  /// are open.
  void closeSome();

  const Context& context_;
  const std::string root_;
  /// The levels of the last folder opened, the destination first (named "").
  std::vector<Level> levels_;
};

}  // namespace copy::files

#endif  // PELQUIST_COPY_FILES_POSIX_DESTINATION_FOLDERS_H_
