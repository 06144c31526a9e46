#include "quillkit/filesystem/file_finder.h"

#include "quillkit/filesystem/utility.h"

namespace quillkit {

namespace {

/// Room for the longest name the platform reports (259 characters, two bytes at most each
/// in code page 932) and its NUL.
constexpr std::size_t kNameBufferSize = 520;

}  // namespace

bool FileFinder::findFirst(const char* directory, const char* pattern) {
  if (isOpen()) close();
  std::string searchPath(directory);
  appendPath(searchPath, pattern);
  status_ = search_.first(searchPath.c_str());
  if (status_ != kFindOk) return false;
  directory_ = directory;
  open_ = true;
  return true;
}

void FileFinder::readAheadWith(ListingReadAhead& readAhead) {
  if (search_.block() != nullptr) quillkit::readAheadWith(search_.block(), &readAhead);
}

std::vector<std::string> FileFinder::subdirectoryNames() const {
  std::vector<std::string> names;
  if (open_) listedSubdirectories(search_.block(), names);
  return names;
}

bool FileFinder::findNext() {
  status_ = search_.next();
  return status_ == kFindOk;
}

bool FileFinder::close() {
  if (!isOpen()) return false;
  const int closed = search_.close();
  directory_.clear();
  open_ = false;
  return closed == 0;
}

std::string FileFinder::fileName() {
  char buffer[kNameBufferSize];
  if (copyEntryName(search_.block(), buffer, sizeof buffer) != 0) buffer[0] = '\0';
  return buffer;
}

std::string FileFinder::fullPath() {
  char name[kNameBufferSize];
  if (copyEntryName(search_.block(), name, sizeof name) != 0) name[0] = '\0';
  const StringRef nameRef(name);
  // Room for the separator and the name up front: one allocation per path.
  std::string path;
  path.reserve(directory_.size() + nameRef.length() + 1);
  path = directory_;
  appendPath(path, nameRef);
  return path;
}

std::string FileFinder::extension() {
  const std::string path = fullPath();
  return getExtension(path.c_str());
}

bool FileFinder::isNormal() { return entryIsNormal(search_.block()) != 0; }

bool FileFinder::isReadOnly() { return entryIsReadOnly(search_.block()) != 0; }

bool FileFinder::isSubDirectory() { return entryIsSubDirectory(search_.block()) == 1; }

uint64_t FileFinder::fileSize() {
  uint32_t high = 0;
  uint32_t low = 0;
  entrySize(search_.block(), &high, &low);
  return (static_cast<uint64_t>(high) << 32) + low;
}

bool FileFinder::isDots() { return entryIsDots(search_.block()) == 1; }

FileEntryInfo FileFinder::info() {
  FileEntryInfo entry;
  entry.size = fileSize();
  entry.isSubDirectory = isSubDirectory();
  entry.isReadOnly = isReadOnly();
  entry.isNormal = isNormal();
  return entry;
}

bool FileFinder::isError() { return status_ == kFindFailed; }

bool FileFinder::isEnd() { return status_ == kFindNoMoreEntries; }

bool FileFinder::isOpen() { return open_; }

}  // namespace quillkit
