#include "copy/ordered_jobs.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace copy {

namespace {

/// Alone, and with four threads (processors, and files enough for them).
FileSystem::CopyCapacity capacityFor(std::size_t threads) {
  return {threads, threads > 1 ? 8 + 3 * threads : 0};
}

// Jobs are given back in the order they were added; those sent back after the oldest
// run again once resumed, and none while held; a job that had not run runs once.
TEST(OrderedJobs, GivesJobsBackInOrderAndRunsThoseSentBackAgain) {
  for (std::size_t threads : {1, 4}) {
    CopyPacing pacing(capacityFor(threads), [] { return FileSystem::ThreadTimes(); });
    constexpr int kJobs = 40, kRedoAt = 5;
    std::vector<std::atomic<int>> runs(kJobs);
    std::vector<int> ranBeforeRedo(kJobs, 0);
    {
      OrderedJobs jobs(pacing);
      for (int i = 0; i < kJobs; ++i) jobs.add([&runs, i] { ++runs[i]; });
      for (int i = 0; i < kJobs; ++i) {
        ASSERT_EQ(static_cast<std::size_t>(kJobs - i), jobs.jobs());
        jobs.waitOldest();
        EXPECT_EQ(i > kRedoAt ? 1 + ranBeforeRedo[i] : 1, runs[i]) << threads << " " << i;
        if (i == kRedoAt) {
          jobs.redoLater();
          for (int j = 0; j < kJobs; ++j) ranBeforeRedo[j] = runs[j];
          std::this_thread::yield();
          for (int j = 0; j < kJobs; ++j) EXPECT_EQ(ranBeforeRedo[j], runs[j]) << "held " << j;
          jobs.resume();
        }
        jobs.popOldest();
      }
      EXPECT_EQ(0u, jobs.jobs());
    }
    for (int i = kRedoAt + 1; i < kJobs; ++i) EXPECT_LE(ranBeforeRedo[i], 1) << i;
  }
}

// Destroyed with jobs under way and jobs waiting, it waits for the first and drops the
// others: every job that started has ended.
TEST(OrderedJobs, EndsWithEveryStartedJobDone) {
  CopyPacing pacing(capacityFor(4), [] { return FileSystem::ThreadTimes(); });
  std::atomic<int> started{0}, ended{0};
  {
    OrderedJobs jobs(pacing);
    for (int i = 0; i < 64; ++i)
      jobs.add([&] {
        ++started;
        std::this_thread::yield();
        ++ended;
      });
  }
  EXPECT_EQ(started.load(), ended.load());
}

}  // namespace

}  // namespace copy
