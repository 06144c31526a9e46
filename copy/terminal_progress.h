#ifndef PELQUIST_COPY_TERMINAL_PROGRESS_H_
#define PELQUIST_COPY_TERMINAL_PROGRESS_H_

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

#include "copy/collect_observer.h"

namespace copy {

/// "512 B", or one decimal in the largest binary unit that keeps the number below 1024
/// ("12.3 KiB", "1.0 GiB"); at most 10 characters.
std::string shownBytes(uint64_t bytes);

/// The progress line, 77 columns: the files done of those found, the bytes copied, their
/// rate over `seconds` of copying, and the time left at that pace of files.
std::string progressLine(const CollectTally& tally, double seconds);

/// The outcome line: files copied, left alone, failed, names and folders skipped, the
/// bytes copied and the `seconds` of the run.
std::string outcomeLine(const CollectTally& tally, double seconds);

/// Shows a person at a terminal how collect-copy goes: while it copies, the progress
/// line, redrawn at a turn when 200 ms have passed since it was last drawn and erased at
/// the end; then the outcome line. Nothing else is written, and never a line end but
/// the outcome's.
class TerminalProgress : public CollectObserver {
 public:
  /// Seconds from any fixed start.
  using Clock = std::function<double()>;
  /// The steady clock of the process.
  static double steadySeconds();

  /// Writes to `terminal`; the progress line only when `showProgress` (the trace goes
  /// elsewhere). The run's seconds count from now.
  TerminalProgress(std::ostream& terminal, bool showProgress, Clock clock = steadySeconds);

  void walked(const CollectTally& tally) override;
  void turnTaken(const CollectTally& tally) override;
  void finished(const CollectTally& tally) override;

 private:
  void draw(const CollectTally& tally, double now);

  std::ostream& terminal_;
  const bool showProgress_;
  const Clock clock_;
  const double start_;
  double copyStart_ = 0;
  double drawnAt_ = 0;
  /// The width of the line on the terminal; 0 when none is.
  std::size_t drawnWidth_ = 0;
};

}  // namespace copy

#endif  // PELQUIST_COPY_TERMINAL_PROGRESS_H_
