#include "quillkit/filesystem/directory.h"

#include <cstring>
#include <stdexcept>
#include <vector>

#include "quillkit/filesystem/utility.h"
#include "quillkit/platform.h"
#include "quillkit/texts.h"

namespace quillkit {

namespace {

// Characters that no level name may hold anywhere.
bool isForbidden(char c) {
  return c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|';
}

// The characters that cannot begin a path: a first character among them is dropped.
bool cannotBegin(char c) {
  return isSeparator(c) || isForbidden(c) || (c == ':' && os::kHasDrives);
}

// A level passes when it was created now or was there already as a directory; one
// that exists as a file, or whose first character was dropped, fails.
bool makeLevel(const std::string& level) {
  if (level.empty() || level[0] == '\0') return false;
  SecurityAttributes attributes;
  return createDirectory(level.c_str(), attributes) != 0 || directoryExists(level);
}

}  // namespace

bool changeDirectory(StringRef path, bool create) {
  std::string target = path.textToNul();
  bool loneRoot = os::kLeadingSeparatorIsRoot && target.size() == 1;
  // Only the last byte is looked at: a name ending in a pair whose second byte is
  // 0x5C (表) loses that byte. Callers pass directories that end in a real separator.
  if (!target.empty() && isSeparator(target.back()) && !loneRoot) target.pop_back();
  if (create && !pathExists(target) && createDirectories(target.c_str()) != 0) return false;
  return setCurrentDirectory(target.c_str()) != 0;
}

int32_t createDirectories(const char* path) {
  const std::size_t n = std::strlen(path);
  if (n > os::kMaxCreatePath) return -1;
  if (n == 0) return 4;

  // Each level is the prefix of this buffer up to a separator; a dropped first
  // character leaves a NUL at its start, so no level can be created.
  std::string buffer(n, '\0');
  const bool root = os::kLeadingSeparatorIsRoot && isSeparator(path[0]);
  if (root)
    buffer[0] = os::kInsertedSeparator;
  else if (!cannotBegin(path[0]))
    buffer[0] = path[0];
  if (n == 1) {
    if (root || buffer[0] == '\0') return 0;
    return makeLevel(buffer) ? 0 : -1;
  }

  auto byteAt = [path](std::size_t i) { return static_cast<unsigned char>(path[i]); };
  bool secondByte = isLeadByte(byteAt(0)) && isTrailByte(byteAt(1));
  bool endedWithSeparator = false;
  for (std::size_t i = 1; i < n; ++i) {
    const char c = path[i];
    endedWithSeparator = false;
    if (secondByte) {
      buffer[i] = c;
      secondByte = false;
      continue;
    }
    if (isLeadByte(byteAt(i)) && isTrailByte(byteAt(i + 1))) {
      buffer[i] = c;
      secondByte = true;
      continue;
    }
    if (c == ':' && os::kHasDrives && i != 1) return -1;
    if (isForbidden(c)) return -1;
    if (isSeparator(c)) {
      endedWithSeparator = true;
      // The drive ("X:") and the root ("/") are never created themselves.
      const bool afterDrive = os::kHasDrives && i == 2 && path[1] == ':';
      const bool afterRoot = root && i == 1;
      if (!afterDrive && !afterRoot && !makeLevel(buffer.substr(0, i))) return -1;
      buffer[i] = os::kInsertedSeparator;
      continue;
    }
    buffer[i] = c;
  }
  if (!endedWithSeparator && !makeLevel(buffer)) return -1;
  return 0;
}

std::string absolutePath(const std::string& current, StringRef path) {
  if (isAbsolutePath(path.data())) return path.textToNul();
  std::string full;
  if (completeFromDriveOrRoot(path, full)) return full;
  full = current;
  appendPath(full, path);
  return full;
}

bool readCurrentDirectory(std::string& directory) {
  std::vector<char> buffer(os::kCurrentDirectoryBuffer, '\0');
  // A directory that does not fit leaves the zero-filled buffer empty on both systems
  // (Windows reports the size it would need, POSIX reports failure).
  if (!getCurrentDirectory(buffer.data(), static_cast<uint32_t>(buffer.size())) ||
      buffer[0] == '\0')
    return false;
  directory = buffer.data();
  return true;
}

}  // namespace quillkit

std::string SafeGetCurrentDirectory() {
  std::string directory;
  if (!quillkit::readCurrentDirectory(directory))
    throw std::logic_error(quillkit::texts::kCurrentDirectoryError);
  return directory;
}
