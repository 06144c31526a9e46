#include "quillkit/filesystem/raw_listing_posix.h"

#include "quillkit/filesystem/directory_reader_posix.h"
#include "quillkit/filesystem/file_status_posix.h"

namespace quillkit {
namespace posix {

bool isDotsName(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

void readListing(const char* path, RawListing& listing) {
  listing.names.clear();
  listing.items.clear();
  listing.openError = listing.readError = 0;
  listing.identity = FileIdentity();
  // A new listing (the read-ahead makes one for each folder) takes its room at once
  // rather than doubling it step by step: most folders fit.
  if (listing.items.capacity() == 0) {
    listing.items.reserve(128);
    listing.names.reserve(4096);
  }
  DirectoryReader reader;
  if ((listing.openError = reader.open(path)) != 0) return;
  ino_t dotInode = 0, dotDotInode = 0;
  int dotsSeen = 0;
  DirectoryEntry entry;
  while (reader.next(entry)) {
    const char* name = entry.name;
    if (isDotsName(name)) {
      (name[1] == '\0' ? dotInode : dotDotInode) = entry.inode;
      ++dotsSeen;
      continue;
    }
    const std::size_t length = std::char_traits<char>::length(name);
    listing.items.push_back({static_cast<uint32_t>(listing.names.size()),
                             static_cast<uint32_t>(length), entry.type});
    listing.names.append(name, length + 1);
  }
  listing.readError = reader.error();
  // A folder whose ".." is another inode than "." is not the root.
  if (dotsSeen != 2 || dotInode == dotDotInode)
    listing.identity = identityOf(reader.descriptor());
}

}  // namespace posix
}  // namespace quillkit
