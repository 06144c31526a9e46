#ifndef PELQUIST_TESTS_SUPPORT_FUSE_SHARE_H_
#define PELQUIST_TESTS_SUPPORT_FUSE_SHARE_H_

// POSIX build only: a folder seen as through the client of a network share.

#include <sys/mount.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "tests/support/child_process.h"

/// The folder `folder` mounted at `mountPoint` (absolute paths; the mount point is made)
/// by tests/support/share_fuse.py with its `options`, while this lives; unavailable()
/// says why not (root, /dev/fuse and python3-fusepy are needed).
class FuseShare {
 public:
  FuseShare(const std::string& folder, const std::string& mountPoint,
            std::vector<std::string> options = {})
      : mountPoint_(mountPoint) {
    mkdir(mountPoint.c_str(), 0755);
    options.insert(options.begin(), {folder, mountPoint});
    const ChildResult mounted = runChild(PELQUIST_SHARE_FUSE, options, "/");
    if (mounted.exitCode != 0) unavailable_ = "no FUSE share here: " + mounted.errorOutput;
  }
  ~FuseShare() { umount2(mountPoint_.c_str(), MNT_DETACH); }
  const std::string& unavailable() const { return unavailable_; }

 private:
  const std::string mountPoint_;
  std::string unavailable_;
};

#endif  // PELQUIST_TESTS_SUPPORT_FUSE_SHARE_H_
