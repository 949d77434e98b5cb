// Runs tasks on a few threads, for walks whose parts are independent: a task
// may add further tasks, and Wait returns when every task has run. A task
// that runs out of memory stops the pool, and Wait reports it.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class TaskPool {
 public:
  using Task = std::function<void()>;

  // `threads` workers besides the thread that calls Wait, which works too.
  explicit TaskPool(size_t threads);
  ~TaskPool();
  TaskPool(const TaskPool&) = delete;
  TaskPool& operator=(const TaskPool&) = delete;

  // Adds a task; from any thread, also from inside a task.
  void Add(Task task);
  // Works on the tasks until none is left. False when a task ran out of
  // memory (the tasks not yet begun are then dropped).
  bool Wait();
  // Runs waiting tasks on the calling thread while more than `backlog` wait:
  // a thread that adds tasks faster than the workers take them keeps no
  // more than that many ahead of them.
  void HelpWhileBehind(size_t backlog);

  // The number of extra threads worth starting on this machine for work
  // that mostly waits on the file system: at most `most`.
  static size_t SuitableThreads(size_t most);

 private:
  void Work(bool untilIdle);
  bool TakeTask(Task* task, bool untilIdle);
  void Run(Task* task);

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Task> tasks_;
  size_t running_ = 0;
  bool stopping_ = false;
  bool outOfMemory_ = false;
  std::vector<std::thread> threads_;
};
