#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "quillkit/filesystem/file_status_posix.h"
#include "quillkit/filesystem/find_primitives.h"
#include "quillkit/filesystem/listing_read_ahead.h"
#include "quillkit/filesystem/native_path_posix.h"
#include "quillkit/filesystem/raw_listing_posix.h"
#include "quillkit/filesystem/wildcard_posix.h"

// The POSIX listing reads a directory once, keeps the matching names in the order in
// which NTFS would list them, and closes the directory at once: an open search costs
// one listing of memory and no file descriptor. The names sit in one string; each
// record holds the first 8 bytes of its sort key, so that sorting moves small records
// and nearly every comparison ends on them. Only names that share those 8 bytes have
// their whole keys folded, once per listing. Attributes and sizes cost a stat each and
// are fetched only when asked for and the listing's type does not answer.

namespace quillkit {

namespace {

enum class SearchState : unsigned char {
  None = 0,  // a new block: like the zero handle of the Windows block
  Open,
  Invalid,  // a failed start or a closed search
};

/// d_type of a name that the listing did not type; a stat tells.
constexpr unsigned char kTypeUnknown = DT_UNKNOWN;

/// One listed name: where it and its key stand in the block's strings.
struct Entry {
  /// The first 8 bytes of the key, big-endian, padded with zeros (no key holds a zero
  /// byte): most comparisons end here, without reading the strings.
  uint64_t keyStart;
  uint32_t offset;
  uint32_t length;
  unsigned char type;  // DT_* as the listing gave it
};

}  // namespace

struct FindBlock {
  SearchState state = SearchState::None;
  /// The listed directory as handed to the system, ending in '/' (empty: current).
  std::string directory;
  /// Every listed name, each followed by a NUL.
  std::string names;
  /// Room to fold a key in, kept from listing to listing.
  std::string keys;
  /// What the directory holds, as read; its names move to `names`.
  posix::RawListing listing;
  /// The walk's read-ahead, where the walk has one.
  ListingReadAhead* readAhead = nullptr;
  std::vector<Entry> entries;
  size_t position = 0;
  /// errno of a listing that broke off; reported after the entries read before it.
  int deferredError = 0;
  /// A wildcard listing names the directory it lists, whose identity is looked up when
  /// asked for.
  bool listsDirectory = false;
  FileIdentity identity;

  // What a stat told about the current entry.
  bool statDone = false;
  uint32_t attributes = 0;
  uint64_t size = 0;
};

namespace {

const char* currentName(const FindBlock* block) {
  return block->position < block->entries.size()
             ? block->names.data() + block->entries[block->position].offset
             : "";
}

/// Adds the name that stands at `offset` in the block's names.
void addEntry(FindBlock* block, uint32_t offset, uint32_t length, unsigned char type) {
  const uint64_t keyStart =
      posix::listingKeyStart(block->names.data() + offset, length, block->keys);
  block->entries.push_back({keyStart, offset, length, type});
}

/// Adds `name`, which the block's names do not hold yet.
void appendEntry(FindBlock* block, const char* name, unsigned char type) {
  const auto length = static_cast<uint32_t>(std::strlen(name));
  const auto offset = static_cast<uint32_t>(block->names.size());
  block->names.append(name, length + 1);
  addEntry(block, offset, length, type);
}

// "." and ".." before every other entry.
void addDots(FindBlock* block, bool dot, bool dotDot) {
  const std::size_t others = block->entries.size();
  if (dot) appendEntry(block, ".", DT_DIR);
  if (dotDot) appendEntry(block, "..", DT_DIR);
  std::rotate(block->entries.begin(),
              block->entries.begin() + static_cast<std::ptrdiff_t>(others),
              block->entries.end());
}

/// Sorts the names that share their first 8 key bytes, [begin, end), by their whole keys.
void sortByWholeKeys(FindBlock* block, Entry* begin, Entry* end) {
  const char* names = block->names.data();
  std::string& keys = block->keys;
  keys.clear();
  std::vector<std::pair<Entry, std::size_t>> run;  // an entry and where its key starts
  for (Entry* entry = begin; entry != end; ++entry) {
    run.emplace_back(*entry, keys.size());
    posix::appendListingKey(names + entry->offset, entry->length, keys);
  }
  std::sort(run.begin(), run.end(), [&](const auto& a, const auto& b) {
    return posix::listedBefore(
        {keys.data() + a.second, names + a.first.offset, a.first.length},
        {keys.data() + b.second, names + b.first.offset, b.first.length});
  });
  for (const auto& sorted : run) *begin++ = sorted.first;
}

// The listing order: by the first 8 key bytes, then by the whole keys where they tie.
void sortEntries(FindBlock* block, std::size_t first) {
  Entry* begin = block->entries.data() + first;
  Entry* end = block->entries.data() + block->entries.size();
  std::sort(begin, end, [](const Entry& a, const Entry& b) { return a.keyStart < b.keyStart; });
  while (begin != end) {
    Entry* tied = begin + 1;
    while (tied != end && tied->keyStart == begin->keyStart) ++tied;
    if (tied - begin > 1) sortByWholeKeys(block, begin, tied);
    begin = tied;
  }
}

void clearEntries(FindBlock* block) {
  block->entries.clear();
  block->names.clear();
  block->keys.clear();
  block->position = 0;
  block->deferredError = 0;
  block->statDone = false;
  block->listsDirectory = false;
  block->identity = FileIdentity();
}

void describe(FindBlock* block, const struct stat& st) {
  uint32_t attributes = 0;
  if (S_ISDIR(st.st_mode)) attributes |= kAttributeDirectory;
  if ((st.st_mode & S_IWUSR) == 0) attributes |= kAttributeReadOnly;
  if (S_ISREG(st.st_mode) && attributes == 0) attributes = kAttributeNormal;
  block->attributes = attributes;
  block->size = S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
  block->statDone = true;
}

/// Fills the attributes and size of the current entry: a symbolic link tells what it
/// points to; a dangling one is described as itself.
void ensureStat(FindBlock* block) {
  if (block->statDone) return;
  block->statDone = true;
  block->attributes = 0;
  block->size = 0;
  if (currentName(block)[0] == '\0') return;
  const int savedErrno = errno;
  const std::string path = block->directory + currentName(block);
  struct stat st;
  if (stat(path.c_str(), &st) == 0 || lstat(path.c_str(), &st) == 0) describe(block, st);
  errno = savedErrno;
}

FindResult failSearch(FindBlock* block, int error) {
  block->state = SearchState::Invalid;
  clearEntries(block);
  errno = error;
  return kFindFailed;
}

bool isRootDirectory(const FileIdentity& directory) {
  static const FileIdentity root = posix::fileStatus("/").identity;
  return directory == root;
}

/// A name without wildcards: the one entry that the file system has under exactly that
/// name, found with one stat.
FindResult findExact(FindBlock* block, const std::string& path, const std::string& name) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 && lstat(path.c_str(), &st) != 0)
    return failSearch(block, errno);
  std::string entryName = name;
  if (posix::isDotsName(name.c_str())) {
    // "dir/." names the directory itself: report it under its own name.
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) == nullptr) return failSearch(block, errno);
    const char* slash = std::strrchr(resolved, '/');
    entryName = slash != nullptr ? slash + 1 : resolved;
    if (entryName.empty()) return failSearch(block, ENOENT);  // the root has no entry
  }
  appendEntry(block, entryName.c_str(), kTypeUnknown);
  block->state = SearchState::Open;
  describe(block, st);
  return kFindOk;
}

FindResult findMatching(FindBlock* block, const std::string& mask) {
  const std::string& directory = block->directory;
  posix::RawListing& listing = block->listing;
  if (block->readAhead == nullptr || !block->readAhead->take(directory, listing)) {
    listing.names.swap(block->names);  // its room, kept from listing to listing
    posix::readListing(directory.empty() ? "." : directory.c_str(), listing);
  }
  if (listing.openError != 0) return failSearch(block, listing.openError);
  block->names.swap(listing.names);

  const posix::WildcardMask wildcard(mask);
  const bool everything = wildcard.matchesEverything();
  for (const posix::RawListing::Item& item : listing.items) {
    if (everything || wildcard.matches(block->names.data() + item.offset))
      addEntry(block, item.offset, item.length, item.type);
  }
  sortEntries(block, 0);
  // "." and ".." come first, subject to the mask; the root has neither. Windows lists
  // ".." wherever it lists ".", although the mask rules alone give '?' only ".". The
  // listing knows the identity of the folders that might be the root.
  const bool dotMatches = everything || wildcard.matches(".");
  const bool dotDotMatches = dotMatches || wildcard.matches("..");
  block->identity = listing.identity;
  if ((dotMatches || dotDotMatches) && !isRootDirectory(block->identity))
    addDots(block, dotMatches, dotDotMatches);
  block->listsDirectory = true;

  if (block->entries.empty())
    return failSearch(block, listing.readError != 0 ? listing.readError : ENOENT);
  block->deferredError = listing.readError;
  block->state = SearchState::Open;
  return kFindOk;
}

}  // namespace

FindBlock* allocateFindBlock() { return new (std::nothrow) FindBlock(); }

int freeFindBlock(FindBlock** block) {
  if (block == nullptr || *block == nullptr) return -1;
  delete *block;
  *block = nullptr;
  return 0;
}

FindResult findFirstEntry(FindBlock* block, const char* searchPath) {
  clearEntries(block);

  const std::string path = posix::toNativePath(searchPath);
  const size_t slash = path.rfind('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  block->directory.assign(path, 0, nameStart);
  const std::string name = path.substr(nameStart);
  if (name.empty()) return failSearch(block, ENOENT);  // "dir/" names no entry

  if (!posix::hasWildcards(name.c_str())) return findExact(block, path, name);
  return findMatching(block, name);
}

void readAheadWith(FindBlock* block, ListingReadAhead* readAhead) {
  block->readAhead = readAhead;
}

void listedSubdirectories(FindBlock* block, std::vector<std::string>& names) {
  if (!block->listsDirectory) return;
  for (const Entry& entry : block->entries) {
    const char* name = block->names.data() + entry.offset;
    if (entry.type == DT_DIR && !posix::isDotsName(name)) names.emplace_back(name);
  }
}

FindResult findNextEntry(FindBlock* block) {
  if (block->state != SearchState::Open) {
    errno = EBADF;
    return kFindFailed;
  }
  if (block->position + 1 < block->entries.size()) {
    ++block->position;
    block->statDone = false;
    return kFindOk;
  }
  if (block->deferredError != 0) {
    errno = block->deferredError;
    block->deferredError = 0;
    return kFindFailed;
  }
  errno = ENOENT;
  return kFindNoMoreEntries;
}

int closeFind(FindBlock* block) {
  if (block->state == SearchState::Invalid) return -1;
  // The record of the current entry outlives the search, as on Windows.
  if (block->position < block->entries.size()) {
    const Entry current = block->entries[block->position];
    std::string name(block->names, current.offset, current.length);
    const unsigned char type = current.type;
    clearEntries(block);
    std::string().swap(block->names);
    std::string().swap(block->keys);
    std::vector<Entry>().swap(block->entries);
    appendEntry(block, name.c_str(), type);
  }
  block->state = SearchState::Invalid;
  return 0;
}

const char* entryName(FindBlock* block) { return currentName(block); }

int copyEntryName(FindBlock* block, char* buffer, std::size_t size) {
  const char* name = currentName(block);
  const std::size_t length = std::strlen(name);
  if (length == 0 || size <= length) return -1;
  std::memcpy(buffer, name, length + 1);
  return 0;
}

int entryIsSubDirectory(FindBlock* block) {
  const char* name = currentName(block);
  if (name[0] == '\0' || posix::isDotsName(name)) return 0;
  const unsigned char type = block->entries[block->position].type;
  if (type == DT_DIR) return 1;
  if (type != DT_LNK && type != kTypeUnknown) return 0;
  ensureStat(block);
  return (block->attributes & kAttributeDirectory) != 0 ? 1 : 0;
}

int entryMayBeLink(FindBlock* block) {
  if (block->position >= block->entries.size()) return 0;
  const unsigned char type = block->entries[block->position].type;
  return type == DT_LNK || type == kTypeUnknown ? 1 : 0;
}

int entryIsDots(FindBlock* block) { return posix::isDotsName(currentName(block)) ? 1 : 0; }

uint32_t entryIsNormal(FindBlock* block) {
  ensureStat(block);
  return block->attributes & kAttributeNormal;
}

uint32_t entryIsReadOnly(FindBlock* block) {
  ensureStat(block);
  return block->attributes & kAttributeReadOnly;
}

FileIdentity listedDirectoryIdentity(FindBlock* block) {
  // Asked only where a walk may have come back to a folder: looked up then, once.
  if (block->listsDirectory && !block->identity.known)
    block->identity =
        posix::fileStatus(block->directory.empty() ? "." : block->directory).identity;
  return block->identity;
}

void entrySize(FindBlock* block, uint32_t* high, uint32_t* low) {
  ensureStat(block);
  *high = static_cast<uint32_t>(block->size >> 32);
  *low = static_cast<uint32_t>(block->size & 0xFFFFFFFFu);
}

}  // namespace quillkit
