#ifndef PELQUIST_COPY_COLLECT_PLAN_H_
#define PELQUIST_COPY_COLLECT_PLAN_H_

#include <memory>
#include <string>

#include "copy/planned_copy.h"
#include "quillkit/filesystem/entry_paths.h"
#include "quillkit/filesystem/utility.h"

namespace copy {

/// Where a collect-copy run reads and writes, derived once from the source and
/// destination as typed: a relative one is taken from the current directory. The current
/// directory does not change before the copies are planned.
class CollectPlan {
 public:
  CollectPlan(const std::string& source, const std::string& destination,
              const std::string& currentDirectory);

  /// The file-name pattern of the source ("*.jpg").
  const std::string& pattern() const { return pattern_; }
  /// The folder walked: an absolute source's folder as typed, a relative one's from the
  /// current directory.
  const std::string& sourceDirectory() const { return sourceDirectory_; }
  /// The destination as typed, and made absolute.
  const std::string& destination() const { return destination_; }
  const std::string& destinationDirectory() const { return destinationDirectory_; }
  bool sourceIsAbsolute() const { return sourceIsAbsolute_; }
  bool destinationIsAbsolute() const { return destinationIsAbsolute_; }

  /// The copy of the file found at `path`. A copy onto the file itself is none (the
  /// destination's path is the file's, or the destination as typed and its name are).
  /// Keeps what it splits for the next path: one thread only.
  PlannedCopy plan(const std::string& path);

 private:
  const std::string destination_;
  std::string pattern_;
  std::string sourceDirectory_;
  std::string destinationDirectory_;
  bool sourceIsAbsolute_ = false;
  bool destinationIsAbsolute_ = false;
  /// The destination folder's part of every destination path, joined once.
  std::unique_ptr<quillkit::EntryPaths> destinationPaths_;
  /// What plan() splits a path into, kept with its room for the next one.
  quillkit::PathParts parts_;
};

}  // namespace copy

#endif  // PELQUIST_COPY_COLLECT_PLAN_H_
