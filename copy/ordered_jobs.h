#ifndef PELQUIST_COPY_ORDERED_JOBS_H_
#define PELQUIST_COPY_ORDERED_JOBS_H_

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace copy {

/// Runs jobs several at once, ahead of the caller, who takes them back one by one in the
/// order they were added. The caller's thread is one of those that run them (unless it
/// says not): while it waits for the oldest job it runs the next one waiting, and threads
/// of its own, as many as the caller tells it, run the rest. A thread of its own that
/// found nothing to run sleeps until several jobs wait (one, when a job is added with
/// `wakeAtOnce`): the caller runs the others meanwhile, and no thread is woken for each
/// job. Jobs that ran ahead can be sent back to run again, as when the oldest failed for
/// want of what they held. A job that throws ends, and its exception comes out where the
/// caller waits for it; a thread that cannot be started leaves fewer threads, down to
/// the caller's alone.
class OrderedJobs {
 public:
  OrderedJobs() = default;
  /// Waits for the jobs under way and joins the threads; jobs not yet run are dropped.
  ~OrderedJobs();
  OrderedJobs(const OrderedJobs&) = delete;
  OrderedJobs& operator=(const OrderedJobs&) = delete;

  /// Adds a job: it may run at any time from now, on any of the threads, until it is
  /// given back. With `wakeAtOnce` a sleeping thread starts on it at once (the jobs wait
  /// on files, not on processors).
  void add(std::function<void()> job, bool wakeAtOnce);
  /// Runs the jobs on `threads` threads from now on, the caller's among them: starts the
  /// threads missing, as far as the system lets it. Never fewer than before.
  void runOn(std::size_t threads);
  /// Waits until the oldest job not given back is done; meanwhile the caller runs jobs
  /// itself when `callerRuns` (and always where no thread of its own runs). Rethrows what
  /// the oldest job threw. Only when jobs() is not 0.
  void waitOldest(bool callerRuns);
  /// Gives the oldest job back: it is forgotten. Only after waitOldest().
  void popOldest();
  /// Sends every job after the oldest back to wait, to run again: returns when none is
  /// under way, and none starts until resume(), so that the caller can undo what they
  /// did and work alone meanwhile.
  void redoLater();
  /// Lets the jobs start again after redoLater().
  void resume();
  /// How many jobs are added and not given back.
  std::size_t jobs() const { return entries_.size(); }
  /// The seconds the caller slept in waitOldest(), waiting for the other threads, and how
  /// many times: what it waited on was not its own work.
  double waitedSeconds() const { return waited_; }
  unsigned long waits() const { return waits_; }

 private:
  enum class State { Waiting, Running, Done };
  struct Entry {
    std::function<void()> job;
    State state = State::Waiting;
    /// What the job threw, when it ran last.
    std::exception_ptr thrown;
  };
  /// A thread of its own, and what wakes it. Each sleeps on its own condition, and is
  /// woken once for each time it sleeps: a thread that wakes another never waits for a
  /// third, woken before and not yet running, as it may where several wait on one.
  struct Worker {
    std::thread thread;
    std::condition_variable wake;
    bool woken = false;
  };

  /// The lock of `mutex_`, taken. It is held only for moments, but by threads that take
  /// it many times a file: one that finds it held tries again a few times before it
  /// sleeps, since sleeping on it and waking the sleeper cost far more than that, and
  /// threads that sleep on it once tend to meet there again and again.
  std::unique_lock<std::mutex> locked();
  /// Takes `lock` again, as locked() does.
  static void relock(std::unique_lock<std::mutex>& lock);
  /// A thread of its own: runs jobs until the destructor stops it.
  void work(Worker& self);
  /// The first waiting job, unless the jobs are held back.
  Entry* nextWaiting();
  /// Runs `entry` on this thread, with `lock` released meanwhile: true when the caller
  /// may be waiting for what it finished.
  bool run(Entry& entry, std::unique_lock<std::mutex>& lock);
  /// The caller sleeps until a thread of its own tells it that a job is done.
  void sleepUntilDone(std::unique_lock<std::mutex>& lock);
  /// Takes a sleeping thread of its own off the sleepers, to be woken: null when none.
  Worker* takeSleeper();

  std::deque<Entry> entries_;
  std::vector<std::unique_ptr<Worker>> workers_;
  std::mutex mutex_;
  /// The threads of its own that sleep, not yet woken.
  std::vector<Worker*> sleepers_;
  /// Signals the caller: a job is done. Only while `callerSleeps_`.
  std::condition_variable finished_;
  bool callerSleeps_ = false;
  std::size_t running_ = 0;
  /// How many entries wait to run.
  std::size_t waiting_ = 0;
  /// How many entries from the front are known not to wait: the next one to run is
  /// looked for after them, not from the front each time.
  std::size_t notWaiting_ = 0;
  /// The seconds the caller slept in waitOldest(), waiting for the other threads, and
  /// how many times.
  double waited_ = 0;
  unsigned long waits_ = 0;
  bool held_ = false;
  bool stopping_ = false;
  /// The system refused a thread: no more are tried.
  bool startFailed_ = false;
};

}  // namespace copy

#endif  // PELQUIST_COPY_ORDERED_JOBS_H_
