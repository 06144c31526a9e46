#include "copy/copy_pacing.h"

#include <algorithm>

namespace copy {

namespace {

/// More copies at once gain nothing on a disk, and little on a network.
constexpr std::size_t kMostAtOnce = 16;
/// Done copies wait for their turn beside those under way, so that a thread held up on
/// one copy does not leave the others idle.
constexpr std::size_t kWaitingBeside = 32;
/// Open files kept for the rest of the process: the console, the copy that a failure
/// makes again alone, what the libraries hold.
constexpr std::size_t kSpareFiles = 8;

}  // namespace

CopyPacing::CopyPacing(const FileSystem::CopyCapacity& capacity,
                       std::function<double()> processorSeconds)
    : processorSeconds_(std::move(processorSeconds)) {
  const std::size_t files =
      capacity.openFiles > kSpareFiles ? capacity.openFiles - kSpareFiles : 0;
  // Every thread may hold a copy being prepared and one waiting: three files each.
  most_ = std::min(kMostAtOnce, files / 3);
  if (most_ <= 1) {
    most_ = 1;
    return;
  }
  // Each copy beyond those being prepared holds one more file.
  window_ = std::min(most_ + kWaitingBeside, files - most_);
  wanted_ = std::max<std::size_t>(1, std::min(capacity.processors, most_));
  first_ = static_cast<double>(wanted_);
}

std::size_t CopyPacing::threadsWanted() {
  if (++asked_ % 16 != 0 || wanted_ >= most_) return wanted_;
  const double used = processorSeconds_();
  const auto now = std::chrono::steady_clock::now();
  if (lastProcessorSeconds_ < 0) {  // a measurement starts
    lastProcessorSeconds_ = used;
    lastTime_ = now;
    return wanted_;
  }
  const std::chrono::duration<double> elapsed = now - lastTime_;
  if (elapsed.count() < 0.01) return wanted_;  // too short to tell
  // The first threads are one per processor: half of that unused means waiting copies.
  const bool idle = used - lastProcessorSeconds_ < 0.5 * elapsed.count() * first_;
  if (idle) wanted_ = std::min(2 * wanted_, most_);
  lastProcessorSeconds_ = idle ? -1 : used;
  lastTime_ = now;
  return wanted_;
}

}  // namespace copy
