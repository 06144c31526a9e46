#include "copy/cmd_posix/paths.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>

#include "copy/cmd_posix/texts.h"
#include "quillkit/filesystem/directory.h"
#include "quillkit/filesystem/find_primitives.h"
#include "quillkit/filesystem/native_path_posix.h"
#include "quillkit/filesystem/utility.h"
#include "quillkit/filesystem/wildcard_posix.h"
#include "quillkit/platform.h"
#include "quillkit/shown_name.h"
#include "quillkit/texts.h"

namespace copy::cmd {

std::size_t nameStart(const std::string& path) {
  int32_t last = quillkit::findLastSeparator(path.c_str());
  return last < 0 ? 0 : static_cast<std::size_t>(last) + 1;
}

bool hasWildcard(const std::string& name) {
  return quillkit::posix::hasWildcards(name.c_str());
}

bool hasTrailingSeparator(const std::string& path) {
  return !path.empty() &&
         quillkit::endsWithSeparator(path.c_str(), static_cast<uint32_t>(path.size())) != 0;
}

std::string joinPath(const std::string& directory, const std::string& name) {
  if (directory.empty() || hasTrailingSeparator(directory)) return directory + name;
  return directory + quillkit::os::kInsertedSeparator + name;
}

std::string nativePath(const std::string& path) {
  return path.empty() ? std::string(".") : quillkit::posix::toNativePath(path.c_str());
}

FileStatus inspectPath(const std::string& path) {
  return quillkit::posix::fileStatus(nativePath(path));
}

bool folderExists(const std::string& path) {
  std::size_t start = nameStart(path);
  return start == 0 || inspectPath(path.substr(0, start)).isDirectory();
}

bool isSameName(const std::string& a, const std::string& b) {
  const std::size_t startA = nameStart(a), startB = nameStart(b);
  if (a.compare(startA, std::string::npos, b, startB, std::string::npos) != 0) return false;
  return inspectPath(a.substr(0, startA)).identity == inspectPath(b.substr(0, startB)).identity;
}

namespace {

// `tail` (names separated by '/') appended to the resolved `head`; a ".." in it takes
// back the name before it, as the system will once the missing folders exist.
std::string joinTail(std::string head, const std::string& tail) {
  std::size_t start = 0;
  while (start < tail.size()) {
    std::size_t end = tail.find('/', start);
    if (end == std::string::npos) end = tail.size();
    std::string name = tail.substr(start, end - start);
    start = end + 1;
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      std::size_t slash = head.find_last_of('/');
      head.erase(slash == 0 ? 1 : slash);
      continue;
    }
    if (head != "/") head += '/';
    head += name;
  }
  return head;
}

// The absolute form of `path`, its longest existing head resolved; the last component
// as written unless `resolveLast` (a name that is "." or ".." always resolved).
std::string absoluteForm(const std::string& path, bool resolveLast) {
  std::string absolute = nativePath(path);
  std::string current;
  if (absolute[0] != '/') {
    if (!quillkit::readCurrentDirectory(current)) return absolute;
    absolute = current + "/" + absolute;
  }
  std::string tail;
  if (!resolveLast) {
    while (absolute.size() > 1 && absolute.back() == '/') absolute.pop_back();
    const std::size_t slash = absolute.find_last_of('/');
    const std::string name = absolute.substr(slash + 1);
    if (!name.empty() && name != "." && name != "..") {
      tail = name;
      absolute.erase(slash == 0 ? 1 : slash);
    }
  }
  // Resolve the longest existing head; the rest is kept as written.
  for (;;) {
    char resolved[PATH_MAX];
    if (realpath(absolute.c_str(), resolved) != nullptr) return joinTail(resolved, tail);
    std::size_t slash = absolute.find_last_of('/');
    if (slash == std::string::npos || slash == 0) return nativePath(path);
    std::string name = absolute.substr(slash + 1);
    if (!name.empty() && name != ".") tail = tail.empty() ? name : name + "/" + tail;
    absolute.erase(slash);
  }
}

}  // namespace

std::string absolutePath(const std::string& path) { return absoluteForm(path, false); }

std::string resolvedPath(const std::string& path) { return absoluteForm(path, true); }

Listing listMatches(const std::string& directory, const std::string& pattern) {
  Listing listing;
  quillkit::FindSearch search;
  std::string searchPath = joinPath(directory.empty() ? "." : directory, pattern);
  quillkit::FindResult result = search.first(searchPath.c_str());
  while (result == quillkit::kFindOk) {
    char name[4096];
    if (!quillkit::entryIsDots(search.block()) &&
        quillkit::copyEntryName(search.block(), name, sizeof name) == 0) {
      ListedEntry entry;
      entry.name = name;
      entry.isDirectory = quillkit::entryIsSubDirectory(search.block()) != 0;
      // The name as the system spells it: a '\' in it is no separator.
      (quillkit::nameHoldsSeparator(name) ? listing.unnamable : listing.entries)
          .push_back(entry);
    }
    result = search.next();
  }
  if (result == quillkit::kFindFailed && errno != ENOENT && errno != ENOTDIR)
    listing.error = errno;
  return listing;
}

std::string unnamableEntryText(const std::string& path) {
  return texts::kSkippedNamePrefix + quillkit::shownName(path) + "\n" +
         quillkit::texts::kNameHoldsSeparator;
}

}  // namespace copy::cmd
