#ifndef PELQUIST_COPY_COPY_PACING_H_
#define PELQUIST_COPY_COPY_PACING_H_

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>

#include "quillkit/processors.h"

namespace copy {

/// How many copies collect-copy prepares at once, and how far ahead of their turn: all
/// that decides it lives here. It starts with one thread per processor (the caller's
/// among them) and takes more, up to 32, each time the caller's own copies (or the walk
/// that finds them) leave it asleep half of 5 ms or more (they wait on a disk's flushes
/// or on a network): twice as many, four times as many where it slept four fifths of
/// that time. A thread that runs, or waits for a processor that other programs hold, is
/// busy; time in which the thread did not go to sleep twice is taken from the whole
/// machine (a virtual machine's host): a busy machine adds no threads. Within the open
/// files: a copy being prepared holds two (its source and its new file), one prepared
/// and waiting for its turn holds one.
class CopyPacing {
 public:
  /// For `processors` processors and `openFiles` files that copies may hold open (0 where
  /// copies are not prepared ahead), copies that are `flushed` before their names (-fw)
  /// or not; `threadTimes` tells what the calling thread has done so far.
  CopyPacing(std::size_t processors, std::size_t openFiles, bool flushed,
             std::function<quillkit::ThreadTimes()> threadTimes);

  /// One after another: each copy is prepared and named at its turn.
  bool alone() const { return most_ <= 1; }
  /// How many copies may be prepared and not yet named, those being prepared among them.
  std::size_t window() const { return window_; }
  /// More threads than processors: the copies wait on something else than processors,
  /// and each copy added should start at once.
  bool waitsOnFiles() const { return wanted_ > first_; }
  /// Whether the caller's thread prepares copies too while it waits for the oldest. Not
  /// where the copies wait on files and it has all the threads it may take: a copy of its
  /// own would hold up the names of those done meanwhile, and its own copies are not
  /// measured any more.
  bool callerPrepares() const { return !waitsOnFiles() || wanted_ < most_; }
  /// How many threads should prepare copies now, the caller's among them. Asked by the
  /// caller's thread once for every copy added or file found, with the seconds it has
  /// slept so far waiting for copies that other threads prepare, and how many times (no
  /// sign that its own copies wait); every 5 ms or more it measures.
  std::size_t threadsWanted(double waitedSeconds, unsigned long waits);

 private:
  std::size_t most_ = 1;
  std::size_t window_ = 1;
  std::size_t first_ = 1;
  std::size_t wanted_ = 1;
  const std::function<quillkit::ThreadTimes()> threadTimes_;
  /// When the copies were last measured, what the caller had done then, and the time it
  /// had waited for other threads and how often; none when `measuring_` is false.
  bool measuring_ = false;
  std::chrono::steady_clock::time_point lastTime_;
  quillkit::ThreadTimes last_;
  double lastWaited_ = 0;
  unsigned long lastWaits_ = 0;
};

/// Without force-write, whether a copy looks for its destination before it is written:
/// always one after another, and with copies at once only while turns meet existing
/// destinations (up to 256 turns after the last one met), where a look costs less than a
/// copy that its turn refuses. A rule of speed alone: where nothing was looked for, the
/// name taken at the turn finds an existing file as a look would have. The thread that
/// takes the turns tells it; any thread asks it.
class LookFirstRule {
 public:
  explicit LookFirstRule(bool always) : always_(always) {}
  /// Whether the copy written while `turnsTaken` turns are taken looks first.
  bool looks(std::size_t turnsTaken) const { return always_ || turnsTaken < until_; }
  /// The turn after `turnsTaken` turns met an existing destination.
  void metExisting(std::size_t turnsTaken) { until_ = turnsTaken + kTurns; }

 private:
  static constexpr std::size_t kTurns = 256;
  const bool always_;
  std::atomic<std::size_t> until_{0};
};

}  // namespace copy

#endif  // PELQUIST_COPY_COPY_PACING_H_
