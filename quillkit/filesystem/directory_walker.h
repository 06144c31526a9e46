#ifndef QUILLKIT_FILESYSTEM_DIRECTORY_WALKER_H_
#define QUILLKIT_FILESYSTEM_DIRECTORY_WALKER_H_

#include <cstdint>
#include <functional>
#include <list>
#include <string>

#include "quillkit/filesystem/file_finder.h"
#include "quillkit/string_ref.h"

namespace quillkit {

/// Collects the full paths of the files below a directory whose names match a
/// pattern (one pattern), or whose extensions match one of several patterns.
class DirectoryWalker {
 public:
  /// Descend into subdirectories.
  static constexpr uint32_t kRecursive = 1;
  /// find() succeeds when the walk failed but found at least one file.
  static constexpr uint32_t kAcceptPartial = 2;
  static constexpr uint32_t kDefaultEntryLimit = 1010720;

  DirectoryWalker() = default;
  virtual ~DirectoryWalker() = default;

  /// A folder below the walked one that a one-pattern walk could not list (or not to
  /// its end), or an entry it passed over because its name holds a separator, and the
  /// error text for why ("ERROR Message:...").
  struct SkippedDirectory {
    std::string directory;
    std::string errorText;
  };

  /// One pattern, the directory, options Recursive|AcceptPartial, empty results.
  void reset(StringRef pattern, StringRef directory);
  /// Walks; true on success. `results` holds the paths found, in walk order; a
  /// one-pattern walk also tells in `skipped` and `stoppedAtLimit` what it could not see.
  bool find();

  std::list<std::string> patterns;
  std::string directory;
  uint32_t options = kRecursive;
  uint32_t entryLimit = kDefaultEntryLimit;
  std::list<std::string> results;
  /// The folders the last one-pattern find could not list, and the entries it passed
  /// over, in walk order.
  std::list<SkippedDirectory> skipped;
  /// The last one-pattern find left entries unexamined because of `entryLimit`.
  bool stoppedAtLimit = false;
  /// Why the last one-pattern find could not list the walked folder itself (or not to
  /// its end): the error text ("ERROR Message:..."); empty when it could.
  std::string failure;
  /// Where set, a one-pattern find hands it each path it finds, in walk order, as it
  /// finds it, instead of adding it to `results`.
  std::function<void(const std::string&)> onFound;

 private:
  struct PatternWalk;
  /// The single-pattern walk of one directory; the counter, the results and the folders
  /// on the way down are shared by the whole tree in `walk`. A directory reached
  /// `throughLink` is first checked against the folders above it.
  static bool walkPattern(PatternWalk& walk, const char* directory, bool top, bool throughLink);
};

/// A walk over one directory that calls a handler per entry.
class WalkVisitor {
 public:
  virtual ~WalkVisitor() = default;
  /// Sends the last system error text to the debug log; true.
  virtual bool onError(FileFinderBase& finder, const char* directory, const char* pattern,
                       bool recursive);
  virtual bool onDirectory(FileFinderBase& finder, const char* directory, const char* pattern,
                           bool recursive);
  virtual bool onFile(FileFinderBase& finder, const char* directory, const char* pattern,
                      bool recursive);
  virtual bool onDots(FileFinderBase& finder, const char* directory, const char* pattern,
                      bool recursive);
  /// Lists `directory` with `pattern` and calls the handlers; no entry limit.
  virtual bool walk(const char* directory, const char* pattern, bool recursive);
};

/// Collects the files whose extension equals one of its filters; each subdirectory
/// gets its own entry counter.
class ExtensionFilterVisitor : public WalkVisitor {
 public:
  ExtensionFilterVisitor(std::list<std::string>& results, uint32_t entryLimit);

  /// False for "*" and "*.*"; otherwise adds the pattern's extension (or the whole
  /// pattern when it has none) and returns true.
  bool addFilter(StringRef pattern);

  bool onDirectory(FileFinderBase& finder, const char* directory, const char* pattern,
                   bool recursive) override;
  bool onFile(FileFinderBase& finder, const char* directory, const char* pattern,
              bool recursive) override;
  /// The counted walk: stops listing once `counter` exceeds `limit`.
  virtual bool walkCounted(uint32_t& counter, const char* directory, const char* pattern,
                           bool recursive, uint32_t limit);
  /// walkCounted with a new counter starting at 0.
  bool walkLimited(const char* directory, const char* pattern, bool recursive, uint32_t limit);

  std::list<std::string> filters;

 private:
  std::list<std::string>& results_;
  uint32_t entryLimit_;
};

}  // namespace quillkit

#endif  // QUILLKIT_FILESYSTEM_DIRECTORY_WALKER_H_
