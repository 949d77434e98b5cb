#include "shared/task_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <functional>
#include <vector>

namespace {

// A tree of tasks, each adding its children: every one runs once, and Wait
// returns only when the last has.
TEST(TaskPool, TasksThatAddTasksAllRunBeforeWaitReturns) {
  for (size_t threads : {0u, 1u, 3u}) {
    TaskPool pool(threads);
    std::atomic<int> ran{0};
    std::function<void(int)> node = [&](int depth) {
      ++ran;
      if (depth == 0) return;
      for (int i = 0; i < 3; ++i) pool.Add([&node, depth] { node(depth - 1); });
    };
    pool.Add([&node] { node(5); });
    EXPECT_TRUE(pool.Wait()) << threads;
    EXPECT_EQ(ran.load(), 1 + 3 + 9 + 27 + 81 + 243) << threads;
  }
}

// Without extra threads the tasks run one after another: those added before
// the failure are dropped with it.
TEST(TaskPool, ATaskOutOfMemoryStopsThePool) {
  TaskPool pool(0);
  std::atomic<int> ran{0};
  pool.Add([&] {
    for (int i = 0; i < 1000; ++i) pool.Add([&] { ++ran; });
    throw std::bad_alloc();
  });
  EXPECT_FALSE(pool.Wait());
  EXPECT_EQ(ran.load(), 0);
  // Tasks added afterwards are not taken either.
  pool.Add([&] { ran = -1; });
  EXPECT_FALSE(pool.Wait());
  EXPECT_NE(ran.load(), -1);
}

// A thread that adds tasks faster than they are taken runs them itself
// beyond the backlog it allows, oldest first.
TEST(TaskPool, AThreadThatAddsTooFastHelps) {
  TaskPool pool(0);
  std::vector<int> order;
  for (int i = 0; i < 5; ++i) pool.Add([&order, i] { order.push_back(i); });
  pool.HelpWhileBehind(2);
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
  pool.HelpWhileBehind(2);
  EXPECT_EQ(order.size(), 3u);
  EXPECT_TRUE(pool.Wait());
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(TaskPool, SuitableThreadsStayWithinTheBound) {
  EXPECT_LE(TaskPool::SuitableThreads(3), 3u);
  EXPECT_EQ(TaskPool::SuitableThreads(0), 0u);
}

}  // namespace
