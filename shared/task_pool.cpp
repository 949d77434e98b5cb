#include "shared/task_pool.h"

#include <new>
#include <utility>

TaskPool::TaskPool(size_t threads) {
  threads_.reserve(threads);
  for (size_t i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(false); });
}

TaskPool::~TaskPool() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void TaskPool::Add(Task task) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (outOfMemory_) return;
    tasks_.push_back(std::move(task));
  }
  changed_.notify_one();
}

bool TaskPool::Wait() {
  Work(true);
  std::lock_guard<std::mutex> lock(mutex_);
  return !outOfMemory_;
}

size_t TaskPool::SuitableThreads(size_t most) {
  size_t cores = std::thread::hardware_concurrency();
  size_t extra = cores > 1 ? cores - 1 : 0;
  return extra < most ? extra : most;
}

// Takes the next task; waits while others run and may add more. False when
// the pool stops, or (untilIdle) when no task is left and none runs.
bool TaskPool::TakeTask(Task* task, bool untilIdle) {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    if (!tasks_.empty()) {
      *task = std::move(tasks_.front());
      tasks_.pop_front();
      ++running_;
      return true;
    }
    if (stopping_ || (untilIdle && running_ == 0)) return false;
    changed_.wait(lock);
  }
}

void TaskPool::Work(bool untilIdle) {
  Task task;
  while (TakeTask(&task, untilIdle)) Run(&task);
}

void TaskPool::HelpWhileBehind(size_t backlog) {
  for (;;) {
    Task task;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (tasks_.size() <= backlog) return;
      task = std::move(tasks_.front());
      tasks_.pop_front();
      ++running_;
    }
    Run(&task);
  }
}

// Runs a task taken from the queue.
void TaskPool::Run(Task* task) {
  bool failed = false;
  try {
    (*task)();
  } catch (const std::bad_alloc&) {
    failed = true;
  }
  *task = nullptr;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    --running_;
    if (failed) {
      outOfMemory_ = true;
      tasks_.clear();
    }
  }
  // The last task done may let a waiting caller return.
  changed_.notify_all();
}
