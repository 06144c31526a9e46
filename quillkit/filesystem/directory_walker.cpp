#include "quillkit/filesystem/directory_walker.h"

#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "quillkit/diagnostics.h"
#include "quillkit/filesystem/directory.h"
#include "quillkit/filesystem/entry_paths.h"
#include "quillkit/filesystem/find_primitives.h"
#include "quillkit/filesystem/listing_read_ahead.h"
#include "quillkit/filesystem/utility.h"
#include "quillkit/platform.h"
#include "quillkit/scoped_ptr.h"
#include "quillkit/texts.h"

namespace quillkit {

namespace {

/// The pattern of a listing that takes every entry.
constexpr const char kAllEntries[] = "*.*";

void logLastError() { debugPrintf("%s", getLastErrorMessage().c_str()); }

/// The single-pattern rule for a file met in a recursive walk: the whole name, or the
/// extension against the pattern less its first two bytes ("*.txt" -> "txt").
class NameRule {
 public:
  explicit NameRule(const char* pattern) : pattern_(pattern) {
    if (pattern_.size() >= 3) tail_ = pattern_.c_str() + 2;
    everything_ = tail_ != nullptr && std::strcmp(tail_, "*") == 0;
    oneByte_ = tail_ != nullptr && std::strcmp(tail_, "?") == 0;
  }
  NameRule(const NameRule&) = delete;  // the tail points into the pattern
  NameRule& operator=(const NameRule&) = delete;
  /// `extension` is the extension of the file's full path.
  bool matches(const char* name, const char* extension) const {
    // Asked for every file a walk lists: the tail's kind is told once, above.
    if (std::strcmp(pattern_.c_str(), name) == 0) return true;
    if (tail_ == nullptr) return false;
    if (everything_ || std::strcmp(extension, tail_) == 0) return true;
    return oneByte_ && extension[0] != '\0' && extension[1] == '\0';
  }
  /// True when no extension matters: the tail is "*", so every file matches.
  bool takesEverything() const { return everything_; }

 private:
  const std::string pattern_;
  const char* tail_ = nullptr;
  bool everything_ = false;  // the tail is "*"
  bool oneByte_ = false;     // the tail is "?"
};

/// Tells `readAhead` the folders of the listing of `finder` that the walk will enter, in
/// the order it will: every subdirectory but those whose names it passes over, and the
/// listed folder itself.
void expectSubdirectories(ListingReadAhead& readAhead, const FileFinder& finder,
                          const EntryPaths& paths) {
  std::vector<std::string> subdirectories;
  for (const std::string& name : finder.subdirectoryNames()) {
    if (nameHoldsSeparator(name.c_str())) continue;
    std::string subdirectory = paths.join(name.c_str());
    if (subdirectory != finder.directory()) subdirectories.push_back(std::move(subdirectory));
  }
  readAhead.expect(subdirectories);
}

}  // namespace

struct DirectoryWalker::PatternWalk {
  PatternWalk(DirectoryWalker& walker, const char* pattern, ListingReadAhead& readAhead)
      : readAhead(readAhead),
        pattern(pattern),
        rule(pattern),
        recursive((walker.options & kRecursive) != 0),
        limit(walker.entryLimit),
        found(walker.results),
        skipped(walker.skipped),
        stoppedAtLimit(walker.stoppedAtLimit),
        failure(walker.failure),
        onFound(walker.onFound) {}

  /// The entry that `finder` stands on, in the folder `directory` whose entries `paths`
  /// joins: entered, collected, or passed over and told.
  void take(FileFinder& finder, const EntryPaths& paths, const char* directory);
  /// True when the folder that `finder` lists, reached through a link, is being walked
  /// already (a link back up the tree); `self` gets its identity.
  bool walksAlready(const FileFinder& finder, FileIdentity& self);

  /// A file found: handed up, or kept in the results.
  void add(std::string path) {
    ++count;
    if (onFound)
      onFound(path);
    else
      found.push_back(std::move(path));
  }

  /// Told the folders the walk will enter, as it lists each folder.
  ListingReadAhead& readAhead;
  const char* pattern;
  const NameRule rule;
  const bool recursive;
  const uint32_t limit;
  uint32_t counter = 0;
  /// The files found.
  std::size_t count = 0;
  std::list<std::string>& found;
  std::list<SkippedDirectory>& skipped;
  bool& stoppedAtLimit;
  std::string& failure;
  const std::function<void(const std::string&)>& onFound;
  /// One folder from the top down to the one being listed. Its identity is looked up
  /// only when a link is followed below it, which could lead back to it.
  struct Level {
    std::string directory;
    FileIdentity identity;
  };
  /// The folders from the top down to the one being listed: a link back to one of them
  /// is not walked again.
  std::vector<Level> path;
};

void DirectoryWalker::reset(StringRef pattern, StringRef directory) {
  patterns.clear();
  patterns.push_back(pattern.textToNul());
  this->directory = directory.textToNul();
  options = kRecursive | kAcceptPartial;
  results.clear();
}

bool DirectoryWalker::find() {
  results.clear();
  skipped.clear();
  stoppedAtLimit = false;
  failure.clear();
  if (patterns.empty()) return false;
  const bool recursive = (options & kRecursive) != 0;

  bool found;
  std::size_t count = 0;
  if (patterns.size() == 1) {
    const std::string& pattern = patterns.front();
    if (os::kHasDrives && hasColon(pattern.c_str())) return false;
    ListingReadAhead readAhead;
    PatternWalk walk(*this, pattern.c_str(), readAhead);
    found = walkPattern(walk, directory.c_str(), true, false);
    count = walk.count;
  } else {
    ExtensionFilterVisitor visitor(results, entryLimit);
    for (const std::string& pattern : patterns) {
      if (!visitor.addFilter(pattern)) return false;
    }
    found = visitor.walkLimited(directory.c_str(), kAllEntries, recursive, entryLimit);
    count = results.size();
  }
  if (!found && (options & kAcceptPartial) != 0 && count != 0) return true;
  return found;
}

// Each walking routine holds its finder in a ScopedPtr: the search is closed on every
// way out, and a finder that could not be created is an assertion report ("ptr != 0")
// at its first use rather than a crash.
bool DirectoryWalker::walkPattern(PatternWalk& walk, const char* directory, bool top,
                                  bool throughLink) {
  ScopedPtr<FileFinder> finder(new (std::nothrow) FileFinder);
  finder->readAheadWith(walk.readAhead);
  if (!finder->findFirst(directory, walk.recursive ? kAllEntries : walk.pattern)) {
    // A folder below the top that cannot be listed is passed over, and remembered; the
    // top itself fails the walk, which keeps the reason.
    if (top)
      walk.failure = getLastErrorMessage();
    else
      walk.skipped.push_back({directory, getLastErrorMessage()});
    return false;
  }
  // Only a link can lead back up the tree.
  FileIdentity self;
  if (throughLink && walk.walksAlready(*finder, self)) return true;
  walk.path.push_back({directory, self});
  const EntryPaths paths(directory);
  if (walk.recursive && walk.readAhead.active())
    expectSubdirectories(walk.readAhead, *finder, paths);
  ++walk.counter;
  for (;;) {
    if (walk.counter > walk.limit) {
      walk.stoppedAtLimit = true;
      break;
    }
    walk.take(*finder, paths, directory);
    ++walk.counter;
    if (!finder->findNext()) break;
  }
  walk.path.pop_back();
  if (finder->isError()) {
    const std::string errorText = getLastErrorMessage();
    debugPrintf("%s", errorText.c_str());
    walk.skipped.push_back({directory, errorText});
    if (top) walk.failure = errorText;
    return false;
  }
  return true;
}

bool DirectoryWalker::PatternWalk::walksAlready(const FileFinder& finder, FileIdentity& self) {
  self = finder.listedIdentity();
  for (Level& above : path) {
    if (!above.identity.known) above.identity = directoryIdentity(above.directory);
    if (above.identity == self) return true;
  }
  return false;
}

void DirectoryWalker::PatternWalk::take(FileFinder& finder, const EntryPaths& paths,
                                        const char* directory) {
  const char* name = finder.name();
  if (finder.isDots()) return;  // "." and ".." are neither walked nor collected
  if (const char* unreachable = unreachableNameReason(name)) {
    // Joined, the name would name another path (split at its separator, or stripped or a
    // device on Windows): a folder that the walk would enter, or a file whose name read
    // whole matches, is passed over, and told.
    const char* dot = std::strrchr(name, '.');
    const bool wanted = finder.isSubDirectory()
                            ? recursive
                            : !recursive || rule.matches(name, dot != nullptr ? dot + 1 : "");
    if (wanted)
      skipped.push_back(
          {paths.shown(name), std::string(texts::kErrorMessagePrefix) + unreachable});
  } else if (finder.isSubDirectory()) {
    if (!recursive) return;
    const std::string subdirectory = paths.join(name);
    if (subdirectory != directory)
      walkPattern(*this, subdirectory.c_str(), false, finder.mayBeLink());
  } else if (!recursive) {
    add(paths.join(name));  // the listing itself matched the pattern
  } else if (paths.simple(name)) {
    // Matched on the name alone; only a match builds its path.
    if (rule.takesEverything() || rule.matches(name, getExtension(name))) add(paths.join(name));
  } else {
    std::string path = paths.join(name);
    if (rule.matches(name, getExtension(path.c_str()))) add(std::move(path));
  }
}

bool WalkVisitor::onError(FileFinderBase&, const char*, const char*, bool) {
  logLastError();
  return true;
}

bool WalkVisitor::onDirectory(FileFinderBase&, const char*, const char*, bool) { return true; }

bool WalkVisitor::onFile(FileFinderBase&, const char*, const char*, bool) { return true; }

bool WalkVisitor::onDots(FileFinderBase&, const char*, const char*, bool) { return true; }

namespace {

/// True, after a log line, for an entry that no path reaches (unreachableNameReason):
/// its full path would name another entry, so it is neither collected nor entered.
bool passesOver(FileFinderBase& finder) {
  const char* reason = unreachableNameReason(finder.fileName().c_str());
  if (reason == nullptr) return false;
  debugPrintf("%s%s", texts::kErrorMessagePrefix, reason);
  return true;
}

/// The listing loop shared by WalkVisitor::walk and walkCounted; `counter` is null for
/// a walk without a limit.
bool visitListing(WalkVisitor& visitor, uint32_t* counter, const char* directory,
                  const char* pattern, bool recursive, uint32_t limit) {
  ScopedPtr<FileFinder> finder(new (std::nothrow) FileFinder);
  if (!finder->findFirst(directory, pattern)) {
    logLastError();
    visitor.onError(*finder, directory, pattern, recursive);
    return false;
  }
  if (counter != nullptr) ++*counter;
  for (;;) {
    if (counter != nullptr && *counter > limit) break;
    if (finder->isDots())
      visitor.onDots(*finder, directory, pattern, recursive);
    else if (finder->isSubDirectory())
      visitor.onDirectory(*finder, directory, pattern, recursive);
    else
      visitor.onFile(*finder, directory, pattern, recursive);
    if (counter != nullptr) ++*counter;
    if (!finder->findNext()) break;
  }
  if (finder->isError()) {
    logLastError();
    visitor.onError(*finder, directory, pattern, recursive);
    return false;
  }
  return true;
}

}  // namespace

bool WalkVisitor::walk(const char* directory, const char* pattern, bool recursive) {
  return visitListing(*this, nullptr, directory, pattern, recursive, 0);
}

ExtensionFilterVisitor::ExtensionFilterVisitor(std::list<std::string>& results,
                                               uint32_t entryLimit)
    : results_(results), entryLimit_(entryLimit) {}

bool ExtensionFilterVisitor::addFilter(StringRef pattern) {
  const std::string text = pattern.textToNul();
  if (text == "*" || text == kAllEntries) return false;
  const char* extension = getExtension(text.c_str());
  filters.push_back(*extension != '\0' ? std::string(extension) : text);
  return true;
}

bool ExtensionFilterVisitor::onDirectory(FileFinderBase& finder, const char*, const char*,
                                         bool recursive) {
  if (!recursive || passesOver(finder)) return true;
  uint32_t counter = 0;
  return walkCounted(counter, finder.fullPath().c_str(), kAllEntries, recursive, entryLimit_);
}

bool ExtensionFilterVisitor::onFile(FileFinderBase& finder, const char*, const char*, bool) {
  if (filters.empty() || passesOver(finder)) return true;
  const std::string extension = finder.extension();
  for (const std::string& filter : filters) {
    if (extension == filter) {
      results_.push_back(finder.fullPath());
      return true;
    }
  }
  return true;
}

bool ExtensionFilterVisitor::walkCounted(uint32_t& counter, const char* directory,
                                         const char* pattern, bool recursive, uint32_t limit) {
  return visitListing(*this, &counter, directory, pattern, recursive, limit);
}

bool ExtensionFilterVisitor::walkLimited(const char* directory, const char* pattern,
                                         bool recursive, uint32_t limit) {
  uint32_t counter = 0;
  return walkCounted(counter, directory, pattern, recursive, limit);
}

}  // namespace quillkit
