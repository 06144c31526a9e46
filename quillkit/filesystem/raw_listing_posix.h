#ifndef QUILLKIT_FILESYSTEM_RAW_LISTING_POSIX_H_
#define QUILLKIT_FILESYSTEM_RAW_LISTING_POSIX_H_

// POSIX build only: every entry of one directory read in one go, as the file system gave
// them, which the find primitives order and match, and the walk's read-ahead reads ahead.

#include <cstdint>
#include <string>
#include <vector>

#include "quillkit/filesystem/file_identity.h"

namespace quillkit {
namespace posix {

/// Every entry of one directory but "." and "..", as the file system gave them.
struct RawListing {
  struct Item {
    uint32_t offset;  // of the name in `names`
    uint32_t length;
    unsigned char type;  // DT_* as the listing gave it
  };
  /// Every name, each followed by a NUL.
  std::string names;
  std::vector<Item> items;
  /// errno of an open that failed (then nothing was read), else 0.
  int openError = 0;
  /// errno of a read that broke off after the items read before it, else 0.
  int readError = 0;
  /// The directory's identity, known only where "." and ".." do not tell it apart from
  /// its parent: the root, or the top of a mounted file system.
  FileIdentity identity;
};

/// True when `name` is exactly "." or "..".
bool isDotsName(const char* name);

/// Reads the directory `path` ("." for the current one) into `listing`, cleared first.
void readListing(const char* path, RawListing& listing);

}  // namespace posix
}  // namespace quillkit

#endif  // QUILLKIT_FILESYSTEM_RAW_LISTING_POSIX_H_
