#include "copy/files_posix/flush_batch.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "copy/files_posix/kernel_calls.h"

namespace copy::files {

FlushBatch::~FlushBatch() {
  if (reference_ >= 0) close(reference_);
}

std::uint64_t FlushBatch::generation() {
  std::lock_guard<std::mutex> lock(mutex_);
  return reference_ >= 0 ? generation_ : 0;
}

bool FlushBatch::join(bool local, std::uint64_t& ticket) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failed_ || !local) return false;
  ++waiting_;
  ticket = started_;
  return true;
}

int FlushBatch::flush(int folder, int fd, std::uint64_t ticket, std::uint64_t generation) {
  std::unique_lock<std::mutex> lock(mutex_);
  // Only a flush through a folder opened before the file was created tells of it.
  const bool current = reference_ >= 0 && generation == generation_;
  if (!failed_ && current && ticket < covered_) {
    left();
    return 0;
  }
  if (!failed_ && waiting_ > 1 && !flushing_ && reference_ < 0) {
    // The folder is opened once copies wait together (never for copies one after
    // another): the files created from now on are flushed together.
    reference_ = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ++generation_;
    if (reference_ < 0) failed_ = true;  // no descriptor left: each on its own
  } else if (!failed_ && current && waiting_ > 1 && !flushing_) {
    const std::uint64_t flush = ++started_;
    const int reference = reference_;  // kept open while flushing_
    flushing_ = true;
    lock.unlock();
    const int error = kernel_.flushFileSystem(reference);
    lock.lock();
    flushing_ = false;
    if (error == 0) {
      covered_ = flush;
      left();
      return 0;
    }
    // Which file failed is not known, nor whether the kernel can tell: the files that
    // joined are flushed on their own, and no more join until they are all named.
    failed_ = true;
  }
  left();
  lock.unlock();
  return kernel_.flushFile(fd);
}

void FlushBatch::leave() {
  std::lock_guard<std::mutex> lock(mutex_);
  left();
}

void FlushBatch::left() {
  --waiting_;
  if (waiting_ != 0 || !failed_) return;
  // A folder opened afresh hears only of failures from then on: the files created after
  // it may join again.
  failed_ = false;
  if (reference_ >= 0) close(reference_);
  reference_ = -1;
}

}  // namespace copy::files
