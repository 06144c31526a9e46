#ifndef PELQUIST_COPY_ORDERED_JOBS_H_
#define PELQUIST_COPY_ORDERED_JOBS_H_

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

/// Runs jobs on a few threads of its own (started as jobs come) and gives them back in the
/// order they were added, so that their results can be reported as if they had run one after
/// another. Jobs with the same key never run at once: a job starts only when every earlier job
/// with its key has been given back. With one thread or fewer, each job runs at once
/// when added, on the caller's thread.
class OrderedJobs {
 public:
  explicit OrderedJobs(std::size_t threads);
  /// Waits for the jobs under way; jobs not yet started are dropped.
  ~OrderedJobs();
  OrderedJobs(const OrderedJobs&) = delete;
  OrderedJobs& operator=(const OrderedJobs&) = delete;

  /// Adds a job under `key`.
  void add(const std::string& key, std::function<void()> job);
  /// Waits until the oldest job given back by no call yet is done, and forgets it.
  /// Only when jobs() is not 0.
  void waitOldest();
  /// Waits until every job added so far is done (the jobs stay to be given back).
  void waitAll();
  /// How many jobs are added and not given back.
  std::size_t jobs() const { return entries_.size(); }

 private:
  enum class State { Waiting, Running, Done };
  struct Entry {
    std::string key;
    std::function<void()> job;
    State state = State::Waiting;
  };

  void work();
  /// The first waiting job that no earlier job with its key holds back.
  Entry* nextRunnable();

  const std::size_t maxThreads_;
  std::deque<Entry> entries_;
  std::vector<std::thread> threads_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool stopping_ = false;
};

#endif  // PELQUIST_COPY_ORDERED_JOBS_H_
