#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <utility>

#include "quillkit/filesystem/listing_read_ahead.h"
#include "quillkit/filesystem/native_path_posix.h"
#include "quillkit/filesystem/raw_listing_posix.h"
#include "quillkit/processors.h"

namespace quillkit {

namespace {

/// How far the read-ahead may run ahead of the walk: listings read and not yet taken.
constexpr std::size_t kMostReady = 16;
constexpr std::size_t kMostReadyBytes = 4 << 20;
/// Directories expected and not yet read; beyond these the farthest are let go.
constexpr std::size_t kMostQueued = 4096;

}  // namespace

struct ListingReadAhead::State {
  std::mutex mutex;
  std::condition_variable work;  // the reader waits for a directory to read
  std::condition_variable read;  // the walk waits for the listing being read
  /// Expected and not yet being read, the next first.
  std::deque<std::string> queue;
  /// Being read now; empty when none is.
  std::string reading;
  std::unordered_map<std::string, posix::RawListing> ready;
  std::size_t readyBytes = 0;
  bool stopping = false;
  std::thread reader;

  bool hasWork() const {
    return !queue.empty() && ready.size() < kMostReady && readyBytes < kMostReadyBytes;
  }
  /// Reads the next expected directory into `ready`, the lock let go meanwhile. The
  /// reader marks it as `reading`, so that the walk can wait for it.
  void readNext(std::unique_lock<std::mutex>& lock, bool byReader);
  /// The reader's thread.
  void run();
};

void ListingReadAhead::State::readNext(std::unique_lock<std::mutex>& lock, bool byReader) {
  std::string directory = std::move(queue.front());
  queue.pop_front();
  if (byReader) reading = directory;
  lock.unlock();
  posix::RawListing listing;
  posix::readListing(directory.c_str(), listing);
  lock.lock();
  if (byReader) reading.clear();
  readyBytes += listing.names.size();
  ready.emplace(std::move(directory), std::move(listing));
}

void ListingReadAhead::State::run() {
  std::unique_lock<std::mutex> lock(mutex);
  for (;;) {
    work.wait(lock, [this] { return stopping || hasWork(); });
    if (stopping) return;
    readNext(lock, true);
    read.notify_one();
  }
}

ListingReadAhead::ListingReadAhead() {
  // On one processor a second thread would only take turns with the walk.
  if (processorsAvailable() >= 2) state_.reset(new State);
}

ListingReadAhead::~ListingReadAhead() {
  if (!state_) return;
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->stopping = true;
  }
  state_->work.notify_one();
  if (state_->reader.joinable()) state_->reader.join();
}

void ListingReadAhead::expect(const std::vector<std::string>& directories) {
  if (!state_ || directories.empty()) return;
  State* state = state_.get();
  {
    std::lock_guard<std::mutex> lock(state->mutex);
    // Each as the finder's listing names it: native, ending in '/'.
    std::deque<std::string> next;
    for (const std::string& directory : directories)
      next.push_back(posix::toNativePath(directory.c_str()) + '/');
    state->queue.insert(state->queue.begin(), std::make_move_iterator(next.begin()),
                        std::make_move_iterator(next.end()));
    if (state->queue.size() > kMostQueued) state->queue.resize(kMostQueued);
  }
  if (!state->reader.joinable()) state->reader = std::thread([state] { state->run(); });
  state->work.notify_one();
}

bool ListingReadAhead::take(const std::string& directory, posix::RawListing& listing) {
  if (!state_) return false;
  State* state = state_.get();
  std::unique_lock<std::mutex> lock(state->mutex);
  while (state->reading == directory) {
    // While the reader reads the one wanted, the walk reads the next one for later.
    if (!state->hasWork()) {
      state->read.wait(lock);
      continue;
    }
    state->readNext(lock, false);
  }
  const auto found = state->ready.find(directory);
  if (found == state->ready.end()) {
    // Not read yet: the walk reads it itself, and the read-ahead lets it go.
    const auto queued = std::find(state->queue.begin(), state->queue.end(), directory);
    if (queued != state->queue.end()) state->queue.erase(queued);
    return false;
  }
  listing = std::move(found->second);
  state->readyBytes -= listing.names.size();
  state->ready.erase(found);
  lock.unlock();
  state->work.notify_one();  // room for one more
  return true;
}

}  // namespace quillkit
