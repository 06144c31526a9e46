#ifndef PELQUIST_COPY_COPY_PACING_H_
#define PELQUIST_COPY_COPY_PACING_H_

#include <chrono>
#include <cstddef>
#include <functional>

#include "copy/file_system.h"

namespace copy {

/// How many copies collect-copy prepares at once, and how far ahead of their turn: all
/// that decides it lives here. It starts with one thread per processor (the caller's
/// among them) and takes twice as many, up to 16, each time the copies leave half of
/// those processors idle for 10 ms or more (they wait on a disk's flushes or on a
/// network). Within the open files: a copy being prepared holds two (its source and its
/// new file), one prepared and waiting for its turn holds one.
class CopyPacing {
 public:
  /// `processorSeconds` tells the processor time the process has used so far.
  CopyPacing(const FileSystem::CopyCapacity& capacity,
             std::function<double()> processorSeconds);

  /// One after another: each copy is prepared and named at its turn.
  bool alone() const { return most_ <= 1; }
  /// How many copies may be prepared and not yet named, those being prepared among them.
  std::size_t window() const { return window_; }
  /// How many threads should prepare copies now, the caller's among them. Asked once for
  /// every copy added; every 16th time it measures whether the processors idle.
  std::size_t threadsWanted();

 private:
  std::size_t most_ = 1;
  std::size_t window_ = 1;
  double first_ = 1;
  std::size_t wanted_ = 1;
  const std::function<double()> processorSeconds_;
  std::size_t asked_ = 0;
  /// The processor time and the time when the copies were last measured; none when < 0.
  double lastProcessorSeconds_ = -1;
  std::chrono::steady_clock::time_point lastTime_;
};

}  // namespace copy

#endif  // PELQUIST_COPY_COPY_PACING_H_
