#ifndef QUILLKIT_FILESYSTEM_LISTING_READ_AHEAD_POSIX_H_
#define QUILLKIT_FILESYSTEM_LISTING_READ_AHEAD_POSIX_H_

// POSIX build only: every entry of one directory read in one go, and the walk's
// read-ahead, which reads the listings that a walk will ask for next on a thread of its
// own while the walk works on the one before (ListingReadAhead, find_primitives.h).

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

/// True while a read-ahead serves this thread's walk.
bool readingAhead();
/// The directories this thread's walk will list next, in the order in which it will
/// (each as findFirstEntry names a listed directory: ending in '/'): read ahead of those
/// expected before them.
void expectListings(std::vector<std::string>& directories);
/// Moves the listing of `directory` into `listing` and true when it was read ahead (it
/// waits while it is being read); false when it was not, and the caller reads it.
bool takeListing(const std::string& directory, RawListing& listing);

}  // namespace posix
}  // namespace quillkit

#endif  // QUILLKIT_FILESYSTEM_LISTING_READ_AHEAD_POSIX_H_
