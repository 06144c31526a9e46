#include "copy/ordered_jobs.h"

namespace copy {

OrderedJobs::OrderedJobs(CopyPacing& pacing) : pacing_(pacing) {}

OrderedJobs::~OrderedJobs() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  startable_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void OrderedJobs::add(std::function<void()> job) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.push_back({std::move(job), State::Waiting});
  }
  // Threads are started as jobs come: a run with few files starts few. The caller's
  // thread is the last of those wanted.
  if (threads_.size() + 1 < pacing_.threadsWanted()) threads_.emplace_back([this] { work(); });
  startable_.notify_one();
}

void OrderedJobs::waitOldest() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (entries_.front().state != State::Done) {
    if (Entry* entry = nextWaiting())
      run(*entry, lock);
    else
      finished_.wait(lock);
  }
}

void OrderedJobs::popOldest() {
  std::lock_guard<std::mutex> lock(mutex_);
  entries_.pop_front();
}

void OrderedJobs::redoLater() {
  std::unique_lock<std::mutex> lock(mutex_);
  held_ = true;
  finished_.wait(lock, [this] { return running_ == 0; });
  for (std::size_t i = 1; i < entries_.size(); ++i) entries_[i].state = State::Waiting;
}

void OrderedJobs::resume() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    held_ = false;
  }
  startable_.notify_all();
}

OrderedJobs::Entry* OrderedJobs::nextWaiting() {
  if (held_) return nullptr;
  for (Entry& entry : entries_)
    if (entry.state == State::Waiting) return &entry;
  return nullptr;
}

bool OrderedJobs::run(Entry& entry, std::unique_lock<std::mutex>& lock) {
  entry.state = State::Running;
  ++running_;
  lock.unlock();
  // The entry stays where it is: a deque keeps its elements in place as it grows, and
  // only the oldest, done, is ever taken away.
  entry.job();
  lock.lock();
  entry.state = State::Done;
  --running_;
  // The caller waits only for the oldest job, or (to redo later ones) for none to run.
  return &entry == &entries_.front() || running_ == 0;
}

void OrderedJobs::work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    Entry* entry = nullptr;
    startable_.wait(lock, [&] { return stopping_ || (entry = nextWaiting()) != nullptr; });
    if (stopping_) return;
    if (run(*entry, lock)) finished_.notify_all();
  }
}

}  // namespace copy
