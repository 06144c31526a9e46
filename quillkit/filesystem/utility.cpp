#include "quillkit/filesystem/utility.h"

#include <cstring>

#include "quillkit/ascii.h"
#include "quillkit/diagnostics.h"
#include "quillkit/platform.h"
#include "quillkit/texts.h"

namespace quillkit {

namespace {

unsigned char byteAt(const char* text, uint32_t i) {
  return static_cast<unsigned char>(text[i]);
}

bool isExtensionTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// A backslash at `index` belongs to a double-byte character when a scan from the start
// leaves it in the trail state.
bool backslashIsTrailByte(const char* path, uint32_t index) {
  enum State { Single, Lead, Trail } state = Single;
  for (uint32_t i = 0; i <= index; ++i) {
    unsigned char c = byteAt(path, i);
    if (state == Lead)
      state = isExtensionTrailByte(c) ? Trail : Single;
    else
      state = isCodePageLeadByte(c) ? Lead : Single;
  }
  return state != Single;
}

std::string::size_type findDotSegment(const std::string& path) {
  std::string::size_type found = path.find("\\.\\");
  if (os::kSlashIsFullSeparator) {
    std::string::size_type slash = path.find("/./");
    if (slash < found) found = slash;
  }
  return found;
}

}  // namespace

bool isAlpha(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

int isLeadByte(unsigned char c) {
  unsigned char folded = static_cast<unsigned char>(c ^ 0x20);
  return folded >= 0xA1 && folded <= 0xD5 ? 1 : 0;
}

int isTrailByte(unsigned char c) {
  return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC) ? 1 : 0;
}

bool isCodePageLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

int32_t findChar(const char* text, char ch) {
  // The first byte is compared before any pair test, so ':' at 0 is found even after
  // nothing; from then on a trail byte is never compared.
  if (text[0] == ch) return 0;
  uint32_t i = 0;
  for (;;) {
    if (text[i] == '\0') return -1;
    if (isLeadByte(byteAt(text, i)) && isTrailByte(byteAt(text, i + 1))) ++i;
    ++i;
    if (text[i] == ch) return static_cast<int32_t>(i);
  }
}

int hasColon(const char* path) { return findChar(path, ':') != -1 ? 1 : 0; }

bool isSeparator(char c) { return c == '\\' || c == '/'; }

const char* pathSeparators() { return "\\/"; }

int32_t findLastSeparator(const char* path) {
  int32_t last = -1;
  uint32_t i = 0;
  while (path[i] != '\0') {
    if (isLeadByte(byteAt(path, i)) && isTrailByte(byteAt(path, i + 1))) {
      i += 2;
      continue;
    }
    if (isSeparator(path[i])) last = static_cast<int32_t>(i);
    ++i;
  }
  return last;
}

bool nameHoldsSeparator(const char* name) {
  // Nearly every name holds no separator byte at all: answered without a pair scan.
  if (std::strpbrk(name, pathSeparators()) == nullptr) return false;
  if (findLastSeparator(name) >= 0) return true;
  // The split pairs bytes by a wider table, which can leave alone a '\' paired above.
  PathParts parts;
  parts.split(name);
  return !parts.dir.empty();
}

namespace {

// The part before the first dot, less its trailing spaces, names a device whatever
// follows ("nul.txt", "COM1 .log", "conin$.txt"), in any case.
bool isDeviceName(const char* name) {
  std::size_t length = std::strcspn(name, ".");
  while (length > 0 && name[length - 1] == ' ') --length;
  if (length < 3 || length > 7) return false;
  char base[8] = {};
  for (std::size_t i = 0; i < length; ++i)
    base[i] = static_cast<char>(upperAscii(static_cast<unsigned char>(name[i])));
  if (length == 4 && (std::strncmp(base, "COM", 3) == 0 || std::strncmp(base, "LPT", 3) == 0))
    return base[3] >= '1' && base[3] <= '9';
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
    if (std::strcmp(base, device) == 0) return true;
  return false;
}

}  // namespace

const char* unreachableNameReason(const char* name) {
  if (nameHoldsSeparator(name)) return texts::kNameHoldsSeparator;
  if (!os::kHasDosNameRules) return nullptr;
  // The find primitives write '?', which no Windows name holds, for a character the
  // code page lacks.
  if (std::strchr(name, '?') != nullptr) return texts::kNameOutsideCodePage;
  const std::size_t length = std::strlen(name);
  if (length > 0 && (name[length - 1] == '.' || name[length - 1] == ' '))
    return texts::kNameEndsWithDotOrSpace;
  return isDeviceName(name) ? texts::kNameIsDevice : nullptr;
}

int endsWithSeparator(const char* path, uint32_t length) {
  return findLastSeparator(path) == static_cast<int32_t>(length - 1u) ? 1 : 0;
}

const char* getExtension(const char* path) {
  const char* end = path + std::strlen(path);
  for (std::size_t i = static_cast<std::size_t>(end - path); i-- > 0;) {
    char c = path[i];
    if (c == '.') return path + i + 1;
    if (c == '/' && os::kSlashIsFullSeparator) return end;
    if (c == '\\' && !backslashIsTrailByte(path, i)) return end;
  }
  return end;
}

bool PathParts::split(StringRef path) {
  const std::string::size_type kMaxPart = os::kMaxPathPart;
  const char* text = path.data();
  drive.clear();
  if (os::kHasDrives && text[0] != '\0' && text[1] == ':') drive.assign(text, 2);
  const char* rest = text + drive.size();

  const char* nameStart = rest;
  const char* lastDot = nullptr;
  const std::size_t length = std::strlen(rest);
  unsigned char bytes = 0;  // every byte or'ed: below 0x80, no byte can lead a pair
  for (std::size_t i = 0; i < length; ++i) bytes |= static_cast<unsigned char>(rest[i]);
  if (bytes < 0x80) {
    // No pairs: only the last name matters, read from the end back to its separator.
    for (const char* p = rest + length; p != rest; --p) {
      if (isSeparator(p[-1])) {
        nameStart = p;
        break;
      }
      if (p[-1] == '.' && lastDot == nullptr) lastDot = p - 1;
    }
  } else {
    for (const char* p = rest; *p != '\0';) {
      unsigned char c = static_cast<unsigned char>(*p);
      bool pair = isCodePageLeadByte(c) && p[1] != '\0';
      if (pair && os::kSplitPairNeedsTrailByte)
        pair = isTrailByte(static_cast<unsigned char>(p[1])) != 0;
      if (pair) {
        p += 2;
        continue;
      }
      if (isSeparator(*p))
        nameStart = p + 1;
      else if (*p == '.')
        lastDot = p;
      ++p;
    }
  }

  dir.assign(rest, nameStart - rest);
  if (dir.size() > kMaxPart) dir.resize(kMaxPart);
  if (lastDot != nullptr && lastDot >= nameStart) {
    fname.assign(nameStart, lastDot - nameStart);
    ext.assign(lastDot);
  } else {
    fname.assign(nameStart);
    ext.clear();
  }
  if (fname.size() > kMaxPart) fname.resize(kMaxPart);
  if (ext.size() > kMaxPart) ext.resize(kMaxPart);
  return true;
}

void collapseDotSegments(std::string& path) {
  // Byte by byte on purpose: the pair before a "\.\" may swallow its backslash.
  for (std::string::size_type at = findDotSegment(path); at != std::string::npos;
       at = findDotSegment(path))
    path.erase(at, 2);
}

bool appendPath(std::string& directory, StringRef fname) {
  uint32_t length = fname.length();
  const char* name = fname.data();
  if (os::kHasDrives && length >= 2 && isAlpha(name[0]) && name[1] == ':')
    assertionFailed(texts::kDriveNameExpression, texts::kDriveNameSource, texts::kDriveNameLine,
                    nullptr);
  if (!directory.empty() &&
      !endsWithSeparator(directory.c_str(), static_cast<uint32_t>(directory.size())))
    directory += os::kInsertedSeparator;
  if (isSeparator(name[0])) ++name;
  directory += name;
  collapseDotSegments(directory);
  return true;
}

namespace {

bool namesDrive(const char* path) { return isAlpha(path[0]) && path[1] == ':'; }

}  // namespace

bool isAbsolutePath(const char* path) {
  if (!os::kHasDrives) return path[0] == '/';
  return (namesDrive(path) && isSeparator(path[2])) ||
         (isSeparator(path[0]) && isSeparator(path[1]));
}

bool isDriveOrRootRelative(const char* path) {
  if (!os::kHasDrives) return false;
  return namesDrive(path) ? !isSeparator(path[2])
                          : isSeparator(path[0]) && !isSeparator(path[1]);
}

std::size_t literalPrefixLength(const char* path) {
  if (!os::kHasDrives || !isSeparator(path[0]) || !isSeparator(path[1])) return 0;
  return (path[2] == '?' || path[2] == '.') && isSeparator(path[3]) ? 4 : 0;
}

}  // namespace quillkit
