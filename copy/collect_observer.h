#ifndef PELQUIST_COPY_COLLECT_OBSERVER_H_
#define PELQUIST_COPY_COLLECT_OBSERVER_H_

#include <cstddef>
#include <cstdint>

namespace copy {

/// What a collect-copy run has come to so far, as its turns count it.
struct CollectTally {
  /// The files the walk found: each has one turn.
  std::size_t found = 0;
  /// Turns whose copy took its name.
  std::size_t copied = 0;
  /// Turns left alone: the destination was already there (or is the file itself).
  std::size_t existed = 0;
  /// Turns whose copy failed.
  std::size_t failed = 0;
  /// Names and folders the walk could not see.
  std::size_t skipped = 0;
  /// The sizes of the copied sources.
  uint64_t bytes = 0;

  /// The turns taken.
  std::size_t done() const { return copied + existed + failed; }
};

/// Told how a collect-copy run goes, on the thread that takes the turns, so that what
/// it shows stays out of the copying. Every call does nothing unless overridden.
class CollectObserver {
 public:
  virtual ~CollectObserver() = default;
  /// The observer that does nothing.
  static CollectObserver& none();

  /// The walk is done: `tally.found` files are to be copied.
  virtual void walked(const CollectTally&) {}
  /// A file's turn is done, its lines of the trace written.
  virtual void turnTaken(const CollectTally&) {}
  /// The run is over, its trace written, whether or not the walk succeeded.
  virtual void finished(const CollectTally&) {}
};

}  // namespace copy

#endif  // PELQUIST_COPY_COLLECT_OBSERVER_H_
