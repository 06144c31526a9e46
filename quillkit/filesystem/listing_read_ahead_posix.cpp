#include "quillkit/filesystem/listing_read_ahead_posix.h"

#include <dirent.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <utility>

#include "quillkit/filesystem/directory_reader_posix.h"
#include "quillkit/filesystem/file_status_posix.h"
#include "quillkit/filesystem/find_primitives.h"
#include "quillkit/processors.h"

namespace quillkit {

namespace posix {

bool isDotsName(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

void readListing(const char* path, RawListing& listing) {
  listing.names.clear();
  listing.items.clear();
  listing.openError = listing.readError = 0;
  listing.identity = FileIdentity();
  DirectoryReader reader;
  if ((listing.openError = reader.open(path)) != 0) return;
  ino_t dotInode = 0, dotDotInode = 0;
  int dotsSeen = 0;
  DirectoryEntry entry;
  while (reader.next(entry)) {
    const char* name = entry.name;
    if (isDotsName(name)) {
      (name[1] == '\0' ? dotInode : dotDotInode) = entry.inode;
      ++dotsSeen;
      continue;
    }
    const std::size_t length = std::char_traits<char>::length(name);
    listing.items.push_back({static_cast<uint32_t>(listing.names.size()),
                             static_cast<uint32_t>(length), entry.type});
    listing.names.append(name, length + 1);
  }
  listing.readError = reader.error();
  // A folder whose ".." is another inode than "." is not the root.
  if (dotsSeen != 2 || dotInode == dotDotInode)
    listing.identity = identityOf(reader.descriptor());
}

}  // namespace posix

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

namespace {

/// The read-ahead of this thread's walk, if it has one.
thread_local ListingReadAhead::State* active = nullptr;

}  // namespace

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
  if (active != nullptr || processorsAvailable() < 2) return;
  state_ = new State;
  active = state_;
}

ListingReadAhead::~ListingReadAhead() {
  if (state_ == nullptr) return;
  active = nullptr;
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->stopping = true;
  }
  state_->work.notify_one();
  if (state_->reader.joinable()) state_->reader.join();
  delete state_;
}

namespace posix {

bool readingAhead() { return active != nullptr; }

void expectListings(std::vector<std::string>& directories) {
  ListingReadAhead::State* state = active;
  if (state == nullptr || directories.empty()) return;
  {
    std::lock_guard<std::mutex> lock(state->mutex);
    state->queue.insert(state->queue.begin(), std::make_move_iterator(directories.begin()),
                        std::make_move_iterator(directories.end()));
    if (state->queue.size() > kMostQueued) state->queue.resize(kMostQueued);
  }
  // Started with the first directories to read, so that a walk of one folder costs no
  // thread.
  if (!state->reader.joinable()) state->reader = std::thread([state] { state->run(); });
  state->work.notify_one();
}

bool takeListing(const std::string& directory, RawListing& listing) {
  ListingReadAhead::State* state = active;
  if (state == nullptr) return false;
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

}  // namespace posix
}  // namespace quillkit
