#ifndef QUILLKIT_FILESYSTEM_FILE_IDENTITY_H_
#define QUILLKIT_FILESYSTEM_FILE_IDENTITY_H_

#include <cstdint>

namespace quillkit {

/// Which file or directory a name leads to, where the platform tells it (device and
/// inode on POSIX). Two names lead to the same one when both identities are known and
/// equal; an unknown identity equals nothing, itself included.
struct FileIdentity {
  bool known = false;
  uint64_t device = 0;
  uint64_t inode = 0;

  bool operator==(const FileIdentity& other) const {
    return known && other.known && device == other.device && inode == other.inode;
  }
  bool operator!=(const FileIdentity& other) const { return !(*this == other); }
};

}  // namespace quillkit

#endif  // QUILLKIT_FILESYSTEM_FILE_IDENTITY_H_
