#ifndef QUILLKIT_FILESYSTEM_ENTRY_PATHS_H_
#define QUILLKIT_FILESYSTEM_ENTRY_PATHS_H_

#include <cstring>
#include <string>

namespace quillkit {

/// The full paths of one directory's entries, exactly as appendPath joins them. The
/// directory's part is joined once; a name is appended to it where that gives the same
/// path and the same extension as the general join (a name without a '\', after a
/// prefix whose own extension search stops at its end), and joined in full otherwise.
/// A walk joins every entry of a listing so, and collect-copy every file's name to the
/// destination.
class EntryPaths {
 public:
  explicit EntryPaths(const char* directory);
  /// True when join(name) is the prefix and `name`, and its extension that of `name`.
  /// Inline, as join(): the walk asks for every entry it lists.
  bool simple(const char* name) const { return simple_ && std::strchr(name, '\\') == nullptr; }
  /// The entry as the system spells it, for a name that no joined path can carry.
  std::string shown(const char* name) const { return prefix_ + name; }
  /// appendPath(directory, name).
  std::string join(const char* name) const {
    return simple(name) ? prefix_ + name : joinInFull(name);
  }

 private:
  std::string joinInFull(const char* name) const;

  const std::string directory_;
  std::string prefix_;
  bool simple_;
};

}  // namespace quillkit

#endif  // QUILLKIT_FILESYSTEM_ENTRY_PATHS_H_
