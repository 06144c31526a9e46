#include "copy/ordered_jobs.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <new>
#include <thread>
#include <vector>

#include "copy/copy_pacing.h"

namespace copy {

namespace {

// Jobs are given back in the order they were added; those sent back after the oldest
// run again once resumed, and none while held; a job that had not run runs once.
TEST(OrderedJobs, GivesJobsBackInOrderAndRunsThoseSentBackAgain) {
  for (std::size_t threads : {1, 4}) {
    constexpr int kJobs = 40, kRedoAt = 5;
    std::vector<std::atomic<int>> runs(kJobs);
    std::vector<int> ranBeforeRedo(kJobs, 0);
    {
      OrderedJobs jobs;
      jobs.runOn(threads);
      for (int i = 0; i < kJobs; ++i) jobs.add([&runs, i] { ++runs[i]; }, false);
      for (int i = 0; i < kJobs; ++i) {
        ASSERT_EQ(static_cast<std::size_t>(kJobs - i), jobs.jobs());
        jobs.waitOldest(true);
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
  std::atomic<int> started{0}, ended{0};
  {
    OrderedJobs jobs;
    jobs.runOn(4);
    for (int i = 0; i < 64; ++i)
      jobs.add(
          [&] {
            ++started;
            std::this_thread::yield();
            ++ended;
          },
          false);
  }
  EXPECT_EQ(started.load(), ended.load());
}

// A caller whose jobs wait on files (it sleeps through the 5 ms that the pacing measures)
// takes every thread it may; from then on its own thread only takes the jobs back.
TEST(OrderedJobs, OnceTheJobsWaitOnFilesTheCallerOnlyTakesThemBack) {
  unsigned long sleeps = 0;
  CopyPacing pacing(1, 8 + 3 * 4, false, [&sleeps] {
    return quillkit::ThreadTimes{0, sleeps += 9};
  });
  OrderedJobs jobs;
  jobs.runOn(pacing.threadsWanted(0, 0));
  std::this_thread::sleep_for(std::chrono::milliseconds(6));
  jobs.runOn(pacing.threadsWanted(0, 0));
  ASSERT_FALSE(pacing.callerPrepares());
  std::vector<std::thread::id> ranOn(4);
  for (auto& id : ranOn) jobs.add([&id] { id = std::this_thread::get_id(); }, true);
  for (const auto& id : ranOn) {
    jobs.waitOldest(pacing.callerPrepares());
    EXPECT_NE(std::this_thread::get_id(), id);
    jobs.popOldest();
  }
}

// What a job throws, on any thread, comes out where the caller waits for that job; the
// jobs after it run on.
TEST(OrderedJobs, AJobThatThrowsEndsItsOwnTurnOnly) {
  for (std::size_t threads : {1, 4}) {
    OrderedJobs jobs;
    jobs.runOn(threads);
    std::atomic<int> ran{0};
    jobs.add([] { throw std::bad_alloc(); }, true);
    jobs.add([&ran] { ++ran; }, true);
    EXPECT_THROW(jobs.waitOldest(true), std::bad_alloc) << threads;
    jobs.popOldest();
    jobs.waitOldest(true);
    EXPECT_EQ(1, ran.load()) << threads;
    jobs.popOldest();
  }
}

}  // namespace

}  // namespace copy
