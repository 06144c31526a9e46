#include "copy/ordered_jobs.h"

#include <algorithm>

OrderedJobs::OrderedJobs(std::size_t first, std::size_t most,
                         std::function<double()> processorSeconds)
    : most_(most),
      first_(static_cast<double>(std::min(first, most))),
      wanted_(std::min(first, most)),
      processorSeconds_(std::move(processorSeconds)) {}

OrderedJobs::~OrderedJobs() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  startable_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void OrderedJobs::add(const std::string& key, std::function<void()> job) {
  if (wanted_ <= 1) {
    // Alone (no thread of its own is started before wanted_ is 2), a job runs at once
    // on the caller's thread. Done before any later job is added, it holds none back:
    // its entry keeps only its place in the order.
    job();
    entries_.push_back({std::string(), 0, nullptr, State::Done});
  } else {
    const std::size_t keyHash = std::hash<std::string>()(key);
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.push_back({key, keyHash, std::move(job), State::Waiting});
  }
  if (++added_ % 16 == 0) widenWhereIdle();
  // Threads are started as jobs come: a run with few files starts few. The caller's
  // thread is the last of wanted_.
  if (threads_.size() + 1 < wanted_) threads_.emplace_back([this] { work(); });
  startable_.notify_one();
}

void OrderedJobs::widenWhereIdle() {
  if (wanted_ >= most_ || threads_.size() + 1 < wanted_) return;
  const double used = processorSeconds_();
  const auto now = std::chrono::steady_clock::now();
  if (lastProcessorSeconds_ < 0) {  // a measurement starts
    lastProcessorSeconds_ = used;
    lastTime_ = now;
    return;
  }
  const std::chrono::duration<double> elapsed = now - lastTime_;
  if (elapsed.count() < 0.01) return;  // too short to tell
  // The first threads are one per processor: half of that unused means waiting jobs.
  const bool idle = used - lastProcessorSeconds_ < 0.5 * elapsed.count() * first_;
  if (idle) wanted_ = std::min(2 * wanted_, most_);
  lastProcessorSeconds_ = idle ? -1 : used;
  lastTime_ = now;
}

void OrderedJobs::waitOldest() {
  std::unique_lock<std::mutex> lock(mutex_);
  helpUntil(lock, [this] { return entries_.front().state == State::Done; });
  const std::string key = std::move(entries_.front().key);
  const std::size_t keyHash = entries_.front().keyHash;
  entries_.pop_front();
  // A job that the oldest's key held back may start now.
  for (const Entry& entry : entries_) {
    if (entry.keyHash != keyHash || entry.key != key) continue;
    if (entry.state == State::Waiting) startable_.notify_one();
    break;
  }
}

void OrderedJobs::waitAll() {
  std::unique_lock<std::mutex> lock(mutex_);
  helpUntil(lock, [this] { return running_ == 0 && nextRunnable() == nullptr; });
}

template <typename Done>
void OrderedJobs::helpUntil(std::unique_lock<std::mutex>& lock, Done done) {
  while (!done()) {
    if (Entry* entry = nextRunnable())
      run(*entry, lock);
    else
      finished_.wait(lock);
  }
}

void OrderedJobs::run(Entry& entry, std::unique_lock<std::mutex>& lock) {
  entry.state = State::Running;
  ++running_;
  std::function<void()> job = std::move(entry.job);
  lock.unlock();
  job();
  lock.lock();
  // The deque only loses entries from its front once they are done, so the entry is
  // still where it was.
  entry.state = State::Done;
  --running_;
}

OrderedJobs::Entry* OrderedJobs::nextRunnable() {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].state != State::Waiting) continue;
    bool heldBack = false;
    for (std::size_t j = 0; j < i && !heldBack; ++j)
      heldBack =
          entries_[j].keyHash == entries_[i].keyHash && entries_[j].key == entries_[i].key;
    if (!heldBack) return &entries_[i];
  }
  return nullptr;
}

void OrderedJobs::work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    Entry* entry = nullptr;
    startable_.wait(lock, [&] { return stopping_ || (entry = nextRunnable()) != nullptr; });
    if (stopping_) return;
    run(*entry, lock);
    finished_.notify_one();
  }
}
