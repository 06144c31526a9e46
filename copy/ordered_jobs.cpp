#include "copy/ordered_jobs.h"

#include <algorithm>
#include <system_error>

namespace copy {

namespace {

/// While the jobs keep the processors busy, a sleeping thread is woken only once this many
/// wait: one wake-up for several jobs.
constexpr std::size_t kWakeAtWaiting = 8;

/// How many times a thread tries the lock before it sleeps until the lock is let go.
constexpr int kTries = 64;

}  // namespace

OrderedJobs::~OrderedJobs() {
  {
    std::unique_lock<std::mutex> lock = locked();
    stopping_ = true;
  }
  for (auto& worker : workers_) worker->wake.notify_one();
  for (auto& worker : workers_) worker->thread.join();
}

void OrderedJobs::add(std::function<void()> job, bool wakeAtOnce) {
  Worker* sleeper = nullptr;
  {
    std::unique_lock<std::mutex> lock = locked();
    entries_.push_back({std::move(job), State::Waiting, nullptr});
    ++waiting_;
    if (waiting_ >= kWakeAtWaiting || wakeAtOnce) sleeper = takeSleeper();
  }
  if (sleeper != nullptr) sleeper->wake.notify_one();
}

void OrderedJobs::runOn(std::size_t threads) {
  // The caller's thread is the last of those wanted.
  while (!startFailed_ && workers_.size() + 1 < threads) {
    workers_.emplace_back(new Worker);
    Worker& worker = *workers_.back();
    try {
      worker.thread = std::thread([this, &worker] { work(worker); });
    } catch (const std::system_error&) {
      // No thread to be had (no memory for its stack, a limit of threads): the copies
      // go on with those there are.
      workers_.pop_back();
      startFailed_ = true;
    }
  }
}

void OrderedJobs::waitOldest(bool callerRuns) {
  std::unique_lock<std::mutex> lock = locked();
  callerRuns = callerRuns || workers_.empty();
  while (entries_.front().state != State::Done) {
    if (Entry* entry = callerRuns ? nextWaiting() : nullptr) {
      run(*entry, lock);
    } else {
      const auto start = std::chrono::steady_clock::now();
      sleepUntilDone(lock);
      ++waits_;
      waited_ +=
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
  }
  if (entries_.front().thrown) std::rethrow_exception(entries_.front().thrown);
}

void OrderedJobs::popOldest() {
  std::unique_lock<std::mutex> lock = locked();
  entries_.pop_front();
  if (notWaiting_ != 0) --notWaiting_;
}

void OrderedJobs::redoLater() {
  std::unique_lock<std::mutex> lock = locked();
  held_ = true;
  while (running_ != 0) sleepUntilDone(lock);
  for (std::size_t i = 1; i < entries_.size(); ++i) {
    if (entries_[i].state != State::Waiting) ++waiting_;
    entries_[i].state = State::Waiting;
  }
  notWaiting_ = std::min<std::size_t>(notWaiting_, 1);
}

void OrderedJobs::resume() {
  std::vector<Worker*> woken;
  {
    std::unique_lock<std::mutex> lock = locked();
    held_ = false;
    while (Worker* sleeper = takeSleeper()) woken.push_back(sleeper);
  }
  for (Worker* worker : woken) worker->wake.notify_one();
}

std::unique_lock<std::mutex> OrderedJobs::locked() {
  std::unique_lock<std::mutex> lock(mutex_, std::defer_lock);
  relock(lock);
  return lock;
}

void OrderedJobs::relock(std::unique_lock<std::mutex>& lock) {
  for (int i = 0; i < kTries; ++i)
    if (lock.try_lock()) return;
  lock.lock();
}

OrderedJobs::Entry* OrderedJobs::nextWaiting() {
  if (held_ || waiting_ == 0) return nullptr;
  // Jobs are taken in order and only redoLater() makes one wait again.
  for (; notWaiting_ < entries_.size(); ++notWaiting_)
    if (entries_[notWaiting_].state == State::Waiting) return &entries_[notWaiting_];
  return nullptr;
}

bool OrderedJobs::run(Entry& entry, std::unique_lock<std::mutex>& lock) {
  entry.state = State::Running;
  --waiting_;
  ++running_;
  lock.unlock();
  // The entry stays where it is: a deque keeps its elements in place as it grows, and
  // only the oldest, done, is ever taken away.
  std::exception_ptr thrown;
  try {
    entry.job();
  } catch (...) {
    thrown = std::current_exception();  // the caller's to meet, at the job's turn
  }
  relock(lock);
  entry.thrown = thrown;
  entry.state = State::Done;
  --running_;
  // The caller waits only for the oldest job, or (to redo later ones) for none to run.
  return &entry == &entries_.front() || running_ == 0;
}

void OrderedJobs::sleepUntilDone(std::unique_lock<std::mutex>& lock) {
  callerSleeps_ = true;
  finished_.wait(lock);
  callerSleeps_ = false;
}

OrderedJobs::Worker* OrderedJobs::takeSleeper() {
  if (sleepers_.empty()) return nullptr;
  Worker* sleeper = sleepers_.back();
  sleepers_.pop_back();
  sleeper->woken = true;
  return sleeper;
}

void OrderedJobs::work(Worker& self) {
  std::unique_lock<std::mutex> lock = locked();
  while (!stopping_) {
    Entry* entry = nextWaiting();
    if (entry == nullptr) {
      self.woken = false;
      sleepers_.push_back(&self);
      self.wake.wait(lock, [&] { return self.woken || stopping_; });
      continue;
    }
    if (run(*entry, lock) && callerSleeps_) {
      callerSleeps_ = false;  // told once
      lock.unlock();
      finished_.notify_one();
      relock(lock);
    }
  }
}

}  // namespace copy
