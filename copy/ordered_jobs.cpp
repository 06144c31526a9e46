#include "copy/ordered_jobs.h"

OrderedJobs::OrderedJobs(std::size_t threads) : maxThreads_(threads) {}

OrderedJobs::~OrderedJobs() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void OrderedJobs::add(const std::string& key, std::function<void()> job) {
  if (maxThreads_ <= 1) {
    job();
    entries_.push_back({key, nullptr, State::Done});
    return;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.push_back({key, std::move(job), State::Waiting});
  }
  // Threads are started as jobs come: a run with few files starts few.
  if (threads_.size() < maxThreads_) threads_.emplace_back([this] { work(); });
  changed_.notify_all();
}

void OrderedJobs::waitOldest() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return entries_.front().state == State::Done; });
  entries_.pop_front();
  // A job held back by the oldest's key may start now.
  lock.unlock();
  changed_.notify_all();
}

void OrderedJobs::waitAll() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] {
    for (const Entry& entry : entries_)
      if (entry.state != State::Done) return false;
    return true;
  });
}

OrderedJobs::Entry* OrderedJobs::nextRunnable() {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].state != State::Waiting) continue;
    bool heldBack = false;
    for (std::size_t j = 0; j < i && !heldBack; ++j)
      heldBack = entries_[j].key == entries_[i].key;
    if (!heldBack) return &entries_[i];
  }
  return nullptr;
}

void OrderedJobs::work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    Entry* entry = nullptr;
    changed_.wait(lock, [&] { return stopping_ || (entry = nextRunnable()) != nullptr; });
    if (stopping_) return;
    entry->state = State::Running;
    std::function<void()> job = std::move(entry->job);
    lock.unlock();
    job();
    lock.lock();
    // The deque only loses entries from its front once they are done, so the entry
    // is still where it was.
    entry->state = State::Done;
    changed_.notify_all();
  }
}
