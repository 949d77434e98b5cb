#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "shared/ordered_work.h"

namespace {

TEST(RunInOrder, EveryJobRunsOnceAndIsDoneInOrder) {
  for (size_t workers : {0, 1, 2, 3, 8}) {
    for (size_t count : {0, 1, 5, 40}) {
      std::vector<std::atomic<int>> runs(count);
      std::mutex mutex;
      std::set<size_t> workerNumbers;
      std::vector<size_t> doneOrder;
      std::vector<bool> ranBeforeDone;
      RunInOrder(
          count, workers,
          [&](size_t job, size_t worker) {
            // Later jobs finish sooner, so the order must be restored.
            std::this_thread::sleep_for(std::chrono::microseconds(50 * ((count - job) % 7)));
            ++runs[job];
            std::lock_guard<std::mutex> lock(mutex);
            workerNumbers.insert(worker);
          },
          [&](size_t job) {
            doneOrder.push_back(job);
            ranBeforeDone.push_back(runs[job] == 1);
          });
      std::vector<size_t> expected;
      for (size_t job = 0; job < count; ++job) expected.push_back(job);
      EXPECT_EQ(doneOrder, expected) << workers << " workers, " << count << " jobs";
      EXPECT_EQ(ranBeforeDone, std::vector<bool>(count, true)) << workers << ", " << count;
      for (size_t job = 0; job < count; ++job) EXPECT_EQ(runs[job], 1) << job;
      for (size_t worker : workerNumbers) EXPECT_LT(worker, std::max<size_t>(workers, 1));
    }
  }
}

TEST(RunInOrder, OneWorkerRunsOnTheCallingThread) {
  std::thread::id caller = std::this_thread::get_id();
  bool allHere = true;
  RunInOrder(
      4, 1, [&](size_t, size_t) { allHere = allHere && std::this_thread::get_id() == caller; },
      [](size_t) {});
  EXPECT_TRUE(allHere);
}

TEST(RunInOrder, SeveralWorkersRunSideBySide) {
  // Two jobs that each wait for the other to start can only end when they
  // run at the same time.
  std::atomic<int> started{0};
  std::atomic<bool> bothRan{true};
  RunInOrder(
      2, 2,
      [&](size_t, size_t) {
        ++started;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (started < 2 && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
        if (started < 2) bothRan = false;
      },
      [](size_t) {});
  EXPECT_TRUE(bothRan);
}

TEST(RunInOrder, AJobStartsOnlyAfterTheJobItWaitsFor) {
  // Jobs 3, 5 and 9 work on what 0, 3 and 1 work on; the earlier ones take
  // longest, so that a job that did not wait would start first.
  const size_t count = 12;
  std::vector<size_t> after(count, kNoJob);
  after[3] = 0;
  after[5] = 3;
  after[9] = 1;
  for (size_t workers : {1, 2, 4, 8}) {
    std::mutex mutex;
    std::vector<int> finishedAt(count, -1), startedAt(count, -1);
    int clock = 0;
    RunInOrder(
        count, workers,
        [&](size_t job, size_t) {
          {
            std::lock_guard<std::mutex> lock(mutex);
            startedAt[job] = clock++;
          }
          if (job == 0 || job == 1 || job == 3) std::this_thread::sleep_for(std::chrono::milliseconds(30));
          std::lock_guard<std::mutex> lock(mutex);
          finishedAt[job] = clock++;
        },
        [](size_t) {}, after);
    for (size_t job = 0; job < count; ++job) {
      ASSERT_GE(finishedAt[job], 0) << job;
      if (after[job] == kNoJob) continue;
      EXPECT_LT(finishedAt[after[job]], startedAt[job]) << workers << " workers, job " << job;
    }
  }
}

}  // namespace
