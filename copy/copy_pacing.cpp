#include "copy/copy_pacing.h"

#include <algorithm>

namespace copy {

namespace {

/// More copies at once gain nothing on a disk; a network's latency may want that many. A
/// share's server answers only so many requests side by side: beyond that each copy more
/// waits in its queue, and a server that answers on threads that share one lock (as
/// FUSE servers written in Python do) spends more on every request the more wait.
constexpr std::size_t kMostAtOnce = 32;
/// Done copies wait for their turn beside those under way, so that a thread held up on
/// one copy does not leave the others idle; where each must be on disk before its name,
/// more, so that one flush of the file system covers many (more costs the small files).
constexpr std::size_t kWaitingBeside = 32;
constexpr std::size_t kWaitingFlushed = 224;
/// Open files kept for the rest of the process: the console, the copy that a failure
/// makes again alone, the folders held open for new files and their flushes, what the
/// libraries hold.
constexpr std::size_t kSpareFiles = 8;
/// The shortest time measured.
constexpr std::chrono::milliseconds kMeasured(5);

}  // namespace

CopyPacing::CopyPacing(std::size_t processors, std::size_t openFiles, bool flushed,
                       std::function<quillkit::ThreadTimes()> threadTimes)
    : threadTimes_(std::move(threadTimes)) {
  const std::size_t files = openFiles > kSpareFiles ? openFiles - kSpareFiles : 0;
  // Every thread may hold a copy being prepared and one waiting: three files each.
  most_ = std::min(kMostAtOnce, files / 3);
  if (most_ <= 1) {
    most_ = 1;
    return;
  }
  // Each copy beyond those being prepared holds one more file.
  window_ = std::min(most_ + (flushed ? kWaitingFlushed : kWaitingBeside), files - most_);
  wanted_ = std::max<std::size_t>(1, std::min(processors, most_));
  first_ = wanted_;
}

std::size_t CopyPacing::threadsWanted(double waitedSeconds, unsigned long waits) {
  if (wanted_ >= most_) return wanted_;
  const auto now = std::chrono::steady_clock::now();
  if (measuring_ && now - lastTime_ < kMeasured) return wanted_;
  const quillkit::ThreadTimes times = threadTimes_();
  if (measuring_) {
    const double elapsed = std::chrono::duration<double>(now - lastTime_).count();
    // What the caller neither ran nor waited to run, less what it slept waiting for the
    // copies of other threads: its own copies kept it asleep, where it went to sleep for
    // them at all.
    const double asleep =
        elapsed - (times.busySeconds - last_.busySeconds) - (waitedSeconds - lastWaited_);
    const bool slept = times.sleeps - last_.sleeps >= (waits - lastWaits_) + 2;
    if (slept && asleep > 0.5 * elapsed)
      wanted_ = std::min(most_, wanted_ * (asleep > 0.8 * elapsed ? 4 : 2));
  }
  measuring_ = true;
  lastTime_ = now;
  last_ = times;
  lastWaited_ = waitedSeconds;
  lastWaits_ = waits;
  return wanted_;
}

}  // namespace copy
