#ifndef PELQUIST_TESTS_SUPPORT_FUSE_SHARE_H_
#define PELQUIST_TESTS_SUPPORT_FUSE_SHARE_H_

// POSIX build only: a folder seen as through the client of a network share.

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/support/child_process.h"

/// The folder `folder` mounted at `mountPoint` (both absolute; the mount point is made)
/// through tests/support/share_fuse.py, with its `options`, while this lives: inode
/// numbers that stay with a path, EBUSY for removing an open file, and what the options
/// add. Mounting takes root, /dev/fuse and python3-fusepy; unavailable() says which is
/// missing.
class FuseShare {
 public:
  FuseShare(const std::string& folder, const std::string& mountPoint,
            const std::vector<std::string>& options = {})
      : mountPoint_(mountPoint) {
    if (getuid() != 0) {
      unavailable_ = "a FUSE share is mounted as root only";
      return;
    }
    mkdir(mountPoint.c_str(), 0755);
    std::vector<std::string> arguments = {folder, mountPoint};
    arguments.insert(arguments.end(), options.begin(), options.end());
    const ChildResult mounted = runChild(PELQUIST_SHARE_FUSE, arguments, "/");
    if (mounted.exitCode != 0) unavailable_ = "no FUSE share here: " + mounted.errorOutput;
  }
  ~FuseShare() {
    if (unavailable_.empty()) umount2(mountPoint_.c_str(), MNT_DETACH);
  }
  FuseShare(const FuseShare&) = delete;
  FuseShare& operator=(const FuseShare&) = delete;

  /// Empty once mounted; else why it is not.
  const std::string& unavailable() const { return unavailable_; }

 private:
  const std::string mountPoint_;
  std::string unavailable_;
};

#endif  // PELQUIST_TESTS_SUPPORT_FUSE_SHARE_H_
