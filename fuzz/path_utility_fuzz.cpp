// Properties of the path utilities on any bytes (POSIX build). The input is one or two
// NUL-separated strings: the path (also the directory of appendPath) and a file name.

#include <limits.h>  // PATH_MAX

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "quillkit/filesystem/utility.h"
#include "tests/support/fuzz_check.h"

namespace {

using quillkit::PathParts;

// The byte classes as the header states them.
bool leadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xF5); }
bool trailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }
bool codePageLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
bool separator(char c) { return c == '/' || c == '\\'; }
bool ascii(const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}
unsigned char byteAt(const std::string& text, size_t i) {
  return static_cast<unsigned char>(text[i]);  // text[size()] is the NUL
}

/// Where the characters of `text` begin when a lead byte followed by a trail byte is one
/// character: the positions outside double-byte pairs. The NUL's position comes last.
std::vector<size_t> characterStarts(const std::string& text) {
  std::vector<size_t> starts;
  size_t i = 0;
  while (i < text.size()) {
    starts.push_back(i);
    i += leadByte(byteAt(text, i)) && trailByte(byteAt(text, i + 1)) ? 2 : 1;
  }
  starts.push_back(text.size());
  return starts;
}

/// Every "\.\" and "/./" gone: the collapse is complete.
bool hasDotSegment(const std::string& path) {
  return path.find("\\.\\") != std::string::npos || path.find("/./") != std::string::npos;
}

/// True when `part` is `whole` with some bytes left out, order kept.
bool isSubsequence(const std::string& part, const std::string& whole) {
  size_t at = 0;
  for (char c : whole)
    if (at < part.size() && part[at] == c) ++at;
  return at == part.size();
}

std::string collapsed(std::string path) {
  quillkit::collapseDotSegments(path);
  return path;
}

// The classification functions against their documented ranges, for every byte.
void checkByteClasses() {
  for (int value = 0; value < 256; ++value) {
    const unsigned char c = static_cast<unsigned char>(value);
    auto shown = [&] { return "byte " + std::to_string(value); };
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    FUZZ_CHECK(quillkit::isAlpha(static_cast<char>(c)) == letter, shown());
    FUZZ_CHECK(quillkit::isLeadByte(c) == (leadByte(c) ? 1 : 0), shown());
    FUZZ_CHECK(quillkit::isTrailByte(c) == (trailByte(c) ? 1 : 0), shown());
    FUZZ_CHECK(quillkit::isCodePageLeadByte(c) == codePageLeadByte(c), shown());
  }
}

void checkSearches(const std::string& path) {
  const char* text = path.c_str();
  const std::vector<size_t> starts = characterStarts(path);
  auto shown = [&] { return "path " + fuzz::escaped(path); };

  // findChar: the first character that is `ch`; the NUL itself for '\0'.
  const char probes[] = {':', '/', '\\', '.', 'a', '\x81', '\0', path.empty() ? 'x' : path[0]};
  for (char ch : probes) {
    int32_t expected = -1;
    for (size_t start : starts) {
      if (byteAt(path, start) == static_cast<unsigned char>(ch)) {
        expected = static_cast<int32_t>(start);
        break;
      }
    }
    FUZZ_CHECK(quillkit::findChar(text, ch) == expected,
               shown() + " ch " + fuzz::escaped(std::string(1, ch)) + " got " +
                   std::to_string(quillkit::findChar(text, ch)));
  }
  // No byte below 0x40 is ever the second of a pair, so a ':' is always found.
  const char* colon = std::strchr(text, ':');
  FUZZ_CHECK(quillkit::hasColon(text) == (colon != nullptr ? 1 : 0), shown());
  if (colon != nullptr) FUZZ_CHECK(quillkit::findChar(text, ':') == colon - text, shown());

  // findLastSeparator: the last character that is a separator.
  int32_t lastSeparator = -1;
  for (size_t start : starts)
    if (start < path.size() && separator(path[start]))
      lastSeparator = static_cast<int32_t>(start);
  const int32_t found = quillkit::findLastSeparator(text);
  FUZZ_CHECK(found == lastSeparator, shown() + " got " + std::to_string(found));
  const char* lastSlash = std::strrchr(text, '/');
  if (lastSlash != nullptr) FUZZ_CHECK(found >= lastSlash - text, shown());

  // endsWithSeparator: 1 exactly when the last character is a separator, or for "".
  const uint32_t length = static_cast<uint32_t>(path.size());
  const bool ends = path.empty() || lastSeparator == static_cast<int32_t>(path.size()) - 1;
  FUZZ_CHECK(quillkit::endsWithSeparator(text, length) == (ends ? 1 : 0), shown());
  if (!path.empty() && path.back() == '/')
    FUZZ_CHECK(quillkit::endsWithSeparator(text, length) == 1, shown());

  // getExtension: after a dot, without dot or '/' after it; in a plain ASCII path, after
  // the last dot of the last component.
  const char* extension = quillkit::getExtension(text);
  FUZZ_CHECK(extension >= text && extension <= text + path.size(), shown());
  const size_t at = static_cast<size_t>(extension - text);
  const std::string after = path.substr(at);
  auto extensionShown = [&] { return shown() + " extension at " + std::to_string(at); };
  if (at != path.size()) {
    FUZZ_CHECK(at > 0 && path[at - 1] == '.', extensionShown());
    FUZZ_CHECK(after.find_first_of("./") == std::string::npos, extensionShown());
    // A backslash inside the extension can only be the second byte of a pair.
    for (size_t i = at; i < path.size(); ++i)
      if (path[i] == '\\') FUZZ_CHECK(codePageLeadByte(byteAt(path, i - 1)), extensionShown());
  }
  if (ascii(path)) {
    const size_t component = path.find_last_of("/\\");
    const size_t name = component == std::string::npos ? 0 : component + 1;
    const size_t dot = path.rfind('.');
    const size_t expected = dot != std::string::npos && dot >= name ? dot + 1 : path.size();
    FUZZ_CHECK(at == expected, extensionShown());
  }
}

void checkSplit(const std::string& path) {
  // A part shorter than this was kept whole: on POSIX split cuts a part only where the
  // system would refuse the path anyway.
  const size_t kCut = PATH_MAX;
  PathParts parts;
  FUZZ_CHECK(parts.split(path), "split is always true");
  auto shown = [&] {
    return "path " + fuzz::escaped(path) + " drive " + fuzz::escaped(parts.drive) + " dir " +
           fuzz::escaped(parts.dir) + " fname " + fuzz::escaped(parts.fname) + " ext " +
           fuzz::escaped(parts.ext);
  };

  FUZZ_CHECK(parts.drive.empty(), shown());  // POSIX paths have no drives
  FUZZ_CHECK(path.compare(0, parts.dir.size(), parts.dir) == 0, shown());
  FUZZ_CHECK(parts.fname.find('/') == std::string::npos, shown());
  FUZZ_CHECK(parts.ext.find('/') == std::string::npos, shown());
  if (!parts.ext.empty())
    FUZZ_CHECK(parts.ext[0] == '.' && parts.ext.find('.', 1) == std::string::npos, shown());
  if (parts.dir.size() < kCut) {
    // The directory is whole: it ends where the name begins.
    FUZZ_CHECK(parts.dir.empty() || separator(parts.dir.back()), shown());
    const std::string rest = path.substr(parts.dir.size());
    FUZZ_CHECK(rest.compare(0, parts.fname.size(), parts.fname) == 0, shown());
    if (parts.fname.size() < kCut) {
      const std::string tail = rest.substr(parts.fname.size());
      FUZZ_CHECK(tail.compare(0, parts.ext.size(), parts.ext) == 0, shown());
      if (parts.ext.size() < kCut) {
        // All parts whole: they rebuild the path, and a name without an extension has no dot.
        FUZZ_CHECK(parts.drive + parts.dir + parts.fname + parts.ext == path, shown());
        if (parts.ext.empty()) FUZZ_CHECK(parts.fname.find('.') == std::string::npos, shown());
      }
    }
  }
  // However long its parts, a path the system takes comes back whole.
  if (path.size() < PATH_MAX)
    FUZZ_CHECK(parts.drive + parts.dir + parts.fname + parts.ext == path, shown());
  if (ascii(path)) {
    const size_t component = path.find_last_of("/\\");
    const size_t name = component == std::string::npos ? 0 : component + 1;
    const size_t dot = path.rfind('.');
    const size_t extension = dot != std::string::npos && dot >= name ? dot : path.size();
    const std::string dir = path.substr(0, name);
    const std::string fname = path.substr(name, extension - name);
    const std::string ext = path.substr(extension);
    if (dir.size() < kCut) FUZZ_CHECK(parts.dir == dir, shown());
    if (fname.size() < kCut) FUZZ_CHECK(parts.fname == fname, shown());
    if (ext.size() < kCut) FUZZ_CHECK(parts.ext == ext, shown());
  }
}

void checkCollapse(const std::string& path) {
  const std::string once = collapsed(path);
  auto shown = [&] {
    return "path " + fuzz::escaped(path) + " collapsed " + fuzz::escaped(once);
  };
  FUZZ_CHECK(collapsed(once) == once, shown());  // idempotent
  FUZZ_CHECK(!hasDotSegment(once), shown());
  FUZZ_CHECK(once.size() <= path.size() && (path.size() - once.size()) % 2 == 0, shown());
  FUZZ_CHECK(isSubsequence(once, path), shown());
  if (!hasDotSegment(path)) FUZZ_CHECK(once == path, shown());
}

void checkAppend(const std::string& directory, const std::string& name) {
  std::string joined = directory;
  FUZZ_CHECK(quillkit::appendPath(joined, name), "appendPath is always true");
  auto shown = [&] {
    return "directory " + fuzz::escaped(directory) + " name " + fuzz::escaped(name) + " got " +
           fuzz::escaped(joined);
  };

  // A separator goes between unless the directory is empty or its last character is one;
  // one leading separator of the name is dropped; then the dot segments collapse.
  const std::vector<size_t> starts = characterStarts(directory);
  const bool endsInSeparator = !directory.empty() && separator(directory.back()) &&
                               starts[starts.size() - 2] == directory.size() - 1;
  std::string expected = directory;
  if (!directory.empty() && !endsInSeparator) expected += '/';
  expected += !name.empty() && separator(name[0]) ? name.substr(1) : name;
  FUZZ_CHECK(joined == collapsed(expected), shown());
  FUZZ_CHECK(!hasDotSegment(joined), shown());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  checkByteClasses();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> input = fuzz::pieces(data, size, 2);
  const std::string& path = input[0];
  const std::string name = input.size() > 1 ? input[1] : std::string();
  checkSearches(path);
  checkSplit(path);
  checkCollapse(path);
  checkAppend(path, name);
  return 0;
}
