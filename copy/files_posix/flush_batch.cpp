#include "copy/files_posix/flush_batch.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "copy/files_posix/kernel_calls.h"

namespace copy::files {
namespace {

/// How many written files wait before the thread that writes the next one flushes them.
constexpr std::size_t kFlushAhead = 32;

}  // namespace

FlushBatch::~FlushBatch() {
  if (reference_ >= 0) close(reference_);
}

std::uint64_t FlushBatch::generation() {
  std::lock_guard<std::mutex> lock(mutex_);
  return reference_ >= 0 ? generation_ : 0;
}

bool FlushBatch::join(bool local, std::uint64_t& ticket) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (failed_ || !local) return false;
  ++waiting_;
  ticket = started_;
  if (reference_ >= 0 && !flushing_ && waiting_ >= kFlushAhead) flushAll(lock);
  return true;
}

int FlushBatch::flush(int folder, int fd, std::uint64_t ticket, std::uint64_t generation) {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    // Only a flush through a folder opened before the file was created tells of it.
    const bool current = reference_ >= 0 && generation == generation_;
    if (!failed_ && current && ticket < covered_) {
      left();
      return 0;
    }
    if (failed_ || (reference_ >= 0 && !current)) break;
    if (flushing_) {
      // The flush under way covers it where it started after the file joined; else
      // the next one, started once this one ends.
      flushed_.wait(lock, [this] { return !flushing_; });
    } else if (reference_ < 0) {
      if (waiting_ < 2) break;
      // The folder is opened once copies wait together (never for copies one after
      // another): the files created from now on are flushed together.
      reference_ = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      ++generation_;
      if (reference_ < 0) failed_ = true;  // no descriptor left: each on its own
      break;
    } else if (waiting_ > 1) {
      flushAll(lock);
    } else {
      break;
    }
  }
  left();
  lock.unlock();
  return kernel_.flushFile(fd);
}

void FlushBatch::flushAll(std::unique_lock<std::mutex>& lock) {
  const std::uint64_t flush = ++started_;
  const int reference = reference_;  // kept open while flushing_
  flushing_ = true;
  lock.unlock();
  const int error = kernel_.flushFileSystem(reference);
  lock.lock();
  flushing_ = false;
  // Which file failed is not known, nor whether the kernel can tell: the files that
  // joined are flushed on their own, and no more join until they are all named.
  if (error == 0 && flush > covered_) covered_ = flush;
  if (error != 0) failed_ = true;
  flushed_.notify_all();
  startAfreshWhenDone();
}

void FlushBatch::leave() {
  std::lock_guard<std::mutex> lock(mutex_);
  left();
}

void FlushBatch::left() {
  --waiting_;
  startAfreshWhenDone();
}

void FlushBatch::startAfreshWhenDone() {
  if (waiting_ != 0 || !failed_ || flushing_) return;
  // A folder opened afresh hears only of failures from then on: the files created after
  // it may join again.
  failed_ = false;
  if (reference_ >= 0) close(reference_);
  reference_ = -1;
}

}  // namespace copy::files
