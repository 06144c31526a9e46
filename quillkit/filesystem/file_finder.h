#ifndef QUILLKIT_FILESYSTEM_FILE_FINDER_H_
#define QUILLKIT_FILESYSTEM_FILE_FINDER_H_

#include <cstdint>
#include <string>
#include <vector>

#include "quillkit/filesystem/find_primitives.h"

namespace quillkit {

/// What the finder tells about its current entry.
struct FileEntryInfo {
  uint64_t size = 0;
  bool isSubDirectory = false;
  bool isReadOnly = false;
  bool isNormal = false;
};

/// Lists the entries of one directory that match a pattern, one at a time.
class FileFinderBase {
 public:
  virtual ~FileFinderBase() = default;
  /// Starts a new search (closing an open one first); true when positioned.
  virtual bool findFirst(const char* directory, const char* pattern) = 0;
  /// True when positioned on a further entry.
  virtual bool findNext() = 0;
  /// True when an open search was closed.
  virtual bool close() = 0;
  /// The current entry's name.
  virtual std::string fileName() = 0;
  /// The search directory joined with the current entry's name.
  virtual std::string fullPath() = 0;
  /// The extension of fullPath(), without its dot; empty when there is none.
  virtual std::string extension() = 0;
  virtual bool isNormal() = 0;
  virtual bool isReadOnly() = 0;
  /// True for a directory other than "." and "..".
  virtual bool isSubDirectory() = 0;
  virtual uint64_t fileSize() = 0;
  /// True for "." and "..".
  virtual bool isDots() = 0;
  virtual FileEntryInfo info() = 0;
  /// True when the latest findFirst or findNext failed for another reason than the end.
  virtual bool isError() = 0;
  /// True when the latest findNext reached the end of the listing.
  virtual bool isEnd() = 0;
  /// True from a successful findFirst until close.
  virtual bool isOpen() = 0;
};

/// The finder over the platform's find primitives. The entry accessors describe the
/// entry of the last successful findFirst or findNext.
class FileFinder : public FileFinderBase {
 public:
  FileFinder() = default;
  ~FileFinder() override = default;
  FileFinder(const FileFinder&) = delete;
  FileFinder& operator=(const FileFinder&) = delete;

  bool findFirst(const char* directory, const char* pattern) override;
  bool findNext() override;
  bool close() override;
  std::string fileName() override;
  std::string fullPath() override;
  std::string extension() override;
  bool isNormal() override;
  bool isReadOnly() override;
  bool isSubDirectory() override;
  uint64_t fileSize() override;
  bool isDots() override;
  FileEntryInfo info() override;
  bool isError() override;
  bool isEnd() override;
  bool isOpen() override;

  /// The directory of the last successful findFirst, as passed; empty when closed.
  const std::string& directory() const { return directory_; }
  /// The current entry's name without a copy, valid until the next call; what
  /// fileName() returns.
  const char* name() const { return entryName(search_.block()); }
  /// True when the current entry may be a symbolic link.
  bool mayBeLink() const { return entryMayBeLink(search_.block()) != 0; }
  /// The listed directory's identity, where the platform tells it.
  FileIdentity listedIdentity() const { return listedDirectoryIdentity(search_.block()); }
  /// Takes the listings that `readAhead` has read ahead, for this finder's searches. Not
  /// of FileFinderBase: only the walk that owns the read-ahead hands it down.
  void readAheadWith(ListingReadAhead& readAhead);
  /// The names of the subdirectories of the listing that findFirst made, in its order,
  /// where the platform has read it whole (POSIX); empty elsewhere.
  std::vector<std::string> subdirectoryNames() const;

 private:
  FindSearch search_;
  std::string directory_;
  bool open_ = false;
  FindResult status_ = kFindOk;
};

}  // namespace quillkit

#endif  // QUILLKIT_FILESYSTEM_FILE_FINDER_H_
