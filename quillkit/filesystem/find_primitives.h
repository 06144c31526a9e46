#ifndef QUILLKIT_FILESYSTEM_FIND_PRIMITIVES_H_
#define QUILLKIT_FILESYSTEM_FIND_PRIMITIVES_H_

// The platform seam of directory enumeration: one search and its current entry.
// On Windows over FindFirstFileW / FindNextFileW / FindClose, each name turned into the
// code page without best fit ('?' for a character it lacks); on POSIX an equivalent
// listing with "." and ".." first, a fixed order and Windows wildcard matching.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "quillkit/filesystem/file_identity.h"

namespace quillkit {

/// Result codes of the find primitives.
using FindResult = int32_t;
constexpr FindResult kFindOk = 0;
/// No more entries (the platform reported ERROR_NO_MORE_FILES).
constexpr FindResult kFindNoMoreEntries = 14;
constexpr FindResult kFindFailed = -1;

/// Attribute bits of an entry.
constexpr uint32_t kAttributeReadOnly = 0x01;
constexpr uint32_t kAttributeDirectory = 0x10;
constexpr uint32_t kAttributeNormal = 0x80;

/// One search and the record of its current entry. Opaque: its layout is the
/// platform's. Allocated zero-filled, so a new block holds no search.
struct FindBlock;
class ListingReadAhead;

/// A new zero-filled block, or null when memory is exhausted.
FindBlock* allocateFindBlock();
/// -1 when `block` or *block is null; otherwise frees the block, nulls the pointer, 0.
int freeFindBlock(FindBlock** block);
/// Starts a search for `searchPath` (a directory, a separator and a name or pattern);
/// 0 when positioned on the first entry, -1 otherwise (the system's last error says
/// why: errno on POSIX). A name without '*' or '?' names one entry; on POSIX it is
/// looked up exactly as spelt, while masks match case-insensitively (ASCII) by the
/// Windows rules for long names. A trailing separator names no entry.
FindResult findFirstEntry(FindBlock* block, const char* searchPath);
/// Moves to the next entry: 0, 14 at the end of the listing, -1 on another failure.
FindResult findNextEntry(FindBlock* block);
/// -1 when no search is open; otherwise closes it and returns 0.
int closeFind(FindBlock* block);
/// The current entry's name, NUL-terminated, valid until the next call on the block;
/// empty when there is no current entry.
const char* entryName(FindBlock* block);
/// Copies the current entry's name with its NUL: -1 when the name is empty or does
/// not fit `size` bytes, else 0.
int copyEntryName(FindBlock* block, char* buffer, std::size_t size);
/// 1 for a directory other than "." and "..", else 0.
int entryIsSubDirectory(FindBlock* block);
/// 1 when the current entry may be a symbolic link (POSIX, also where the listing does
/// not tell an entry's type; a reparse point on Windows), which a walk follows as what it
/// points to; else 0.
int entryMayBeLink(FindBlock* block);
/// 1 when the name is exactly "." or "..", else 0.
int entryIsDots(FindBlock* block);
/// The attribute word masked with kAttributeNormal.
uint32_t entryIsNormal(FindBlock* block);
/// The attribute word masked with kAttributeReadOnly.
uint32_t entryIsReadOnly(FindBlock* block);
/// The current entry's size as two 32-bit halves.
void entrySize(FindBlock* block, uint32_t* high, uint32_t* low);
/// Who the directory is that the search lists, so that a walk can tell a folder it is
/// already in: device and inode of a POSIX listing, volume and file index of the folder a
/// Windows search lists; unknown where the platform does not tell (a search for one name
/// on POSIX).
FileIdentity listedDirectoryIdentity(FindBlock* block);

/// Hands the searches of `block` the walk's read-ahead (null: none), from which a
/// listing it has read is taken. Windows searches with the system's own calls: nothing.
void readAheadWith(FindBlock* block, ListingReadAhead* readAhead);
/// Appends the names of the subdirectories ("." and ".." aside) of the listing that the
/// last findFirstEntry made, in its order, to `names`: where the platform reads a whole
/// listing at once (POSIX); nothing where it does not (Windows).
void listedSubdirectories(FindBlock* block, std::vector<std::string>& names);

/// Owns one find block and its search: the search is closed and the block freed on
/// every way out of the owner's scope. Every user of the primitives holds one.
class FindSearch {
 public:
  FindSearch() : block_(allocateFindBlock()) {}
  ~FindSearch() {
    close();
    freeFindBlock(&block_);
  }
  FindSearch(const FindSearch&) = delete;
  FindSearch& operator=(const FindSearch&) = delete;

  /// Starts a new search, closing an open one first: findFirstEntry's result, or
  /// kFindFailed when there is no block (memory exhausted).
  FindResult first(const char* searchPath) {
    close();
    if (block_ == nullptr) return kFindFailed;
    FindResult result = findFirstEntry(block_, searchPath);
    open_ = result == kFindOk;
    return result;
  }
  /// Moves to the next entry of the open search: findNextEntry's result.
  FindResult next() { return findNextEntry(block_); }
  /// Closes the open search: closeFind's result, -1 when none is open.
  int close() {
    if (!open_) return -1;
    open_ = false;
    return closeFind(block_);
  }
  /// The block that the entry questions take; null when memory was exhausted.
  FindBlock* block() const { return block_; }

 private:
  FindBlock* block_;
  bool open_ = false;
};

}  // namespace quillkit

#endif  // QUILLKIT_FILESYSTEM_FIND_PRIMITIVES_H_
