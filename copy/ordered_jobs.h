#ifndef PELQUIST_COPY_ORDERED_JOBS_H_
#define PELQUIST_COPY_ORDERED_JOBS_H_

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

/// Runs jobs several at once and gives them back in the order they were added, so that
/// their results can be reported as if they had run one after another. The caller's
/// thread is one of those that run them: while it waits for the oldest job it runs the
/// next one that may start, and threads of its own (started as jobs come) run the rest.
/// Jobs with the same key never run at once: a job starts only when every earlier job
/// with its key has been given back. It starts with `first` threads, one per processor,
/// and takes twice as many, up to `most`, each time the jobs leave half of those
/// processors idle (they wait on a disk or a network). While it has one thread, each job
/// runs at once when added, on the caller's thread.
class OrderedJobs {
 public:
  /// `first` and `most` count the caller's thread; `processorSeconds` tells the processor
  /// time the process has used so far.
  OrderedJobs(std::size_t first, std::size_t most, std::function<double()> processorSeconds);
  /// Waits for the jobs under way; jobs not yet started are dropped.
  ~OrderedJobs();
  OrderedJobs(const OrderedJobs&) = delete;
  OrderedJobs& operator=(const OrderedJobs&) = delete;

  /// Adds a job under `key`.
  void add(const std::string& key, std::function<void()> job);
  /// Waits until the oldest job given back by no call yet is done, and forgets it.
  /// Only when jobs() is not 0.
  void waitOldest();
  /// Waits until no job is under way and none can start: every job added so far is done
  /// but those that an earlier job with their key holds back (the jobs stay to be given
  /// back).
  void waitAll();
  /// How many jobs are added and not given back.
  std::size_t jobs() const { return entries_.size(); }

 private:
  enum class State { Waiting, Running, Done };
  struct Entry {
    std::string key;
    /// The key's hash: keys of different hashes differ without a string comparison.
    std::size_t keyHash;
    std::function<void()> job;
    State state = State::Waiting;
  };

  /// A thread of its own: runs jobs until the destructor stops it.
  void work();
  /// Every few jobs added: twice the threads where they used less than half of the
  /// processor time of `first` processors over the last 10 ms or more.
  void widenWhereIdle();
  /// The first waiting job that no earlier job with its key holds back.
  Entry* nextRunnable();
  /// Runs `entry` on this thread, with `lock` released meanwhile.
  void run(Entry& entry, std::unique_lock<std::mutex>& lock);
  /// The caller waits until `done()`, running the jobs that may start meanwhile.
  template <typename Done>
  void helpUntil(std::unique_lock<std::mutex>& lock, Done done);

  const std::size_t most_;
  const double first_;
  std::size_t wanted_;
  const std::function<double()> processorSeconds_;
  std::size_t added_ = 0;
  /// The processor time and the time when the threads were last measured.
  double lastProcessorSeconds_ = -1;
  std::chrono::steady_clock::time_point lastTime_;
  std::deque<Entry> entries_;
  std::vector<std::thread> threads_;
  std::mutex mutex_;
  /// Signals the threads of its own: a job may start, or they stop.
  std::condition_variable startable_;
  /// Signals the caller: a job is done.
  std::condition_variable finished_;
  std::size_t running_ = 0;
  bool stopping_ = false;
};

#endif  // PELQUIST_COPY_ORDERED_JOBS_H_
