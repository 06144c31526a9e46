#ifndef PELQUIST_COPY_PLANNED_COPY_H_
#define PELQUIST_COPY_PLANNED_COPY_H_

#include <cstdint>
#include <string>

namespace copy {

/// One found file's copy, as collect-copy plans it.
struct PlannedCopy {
  /// The found file's full path.
  std::string source;
  /// Its name in the destination folder, and the path it is copied to.
  std::string name;
  std::string destination;
  /// The destination is the file itself: nothing is copied, its turn only counts it.
  bool itself = false;
};

/// What a turn came to, in the terms of the trace.
struct TurnOutcome {
  /// The turn's copy.
  PlannedCopy planned;
  enum class Kind {
    /// The destination is the file itself: left alone.
    Itself,
    /// The copy took its name.
    Copied,
    /// The name was there already: the copy was refused (after a try that failed, where
    /// `triedFirst`: another program made the file meanwhile).
    Existed,
    /// The copy failed for another reason, which `errorText` gives.
    Failed,
  };
  Kind kind = Kind::Itself;
  bool triedFirst = false;
  std::string errorText;
  /// The size of the source copied.
  uint64_t bytes = 0;
};

}  // namespace copy

#endif  // PELQUIST_COPY_PLANNED_COPY_H_
