#include "shared/ordered_work.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Which jobs have run; the calling thread waits here for the next in order.
class Finished {
 public:
  explicit Finished(size_t count) : done_(count, false) {}

  void Mark(size_t job) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done_[job] = true;
    }
    changed_.notify_all();
  }
  void WaitFor(size_t job) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return done_[job]; });
  }
  // The next job nobody has taken yet, or false when all are taken.
  bool Take(size_t* job) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (next_ >= done_.size()) return false;
    *job = next_++;
    return true;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<bool> done_;
  size_t next_ = 0;
};

}  // namespace

void RunInOrder(size_t count, size_t workers, const std::function<void(size_t, size_t)>& work,
                const std::function<void(size_t)>& done, const std::vector<size_t>& after) {
  if (workers > count) workers = count;
  if (workers <= 1) {
    for (size_t job = 0; job < count; ++job) {
      work(job, 0);
      done(job);
    }
    return;
  }
  Finished finished(count);
  std::vector<std::thread> threads;
  threads.reserve(workers);
  for (size_t worker = 0; worker < workers; ++worker) {
    threads.emplace_back([&finished, &work, &after, worker] {
      size_t job;
      while (finished.Take(&job)) {
        // The earlier job was taken before this one, so it is under way.
        if (job < after.size() && after[job] < job) finished.WaitFor(after[job]);
        work(job, worker);
        finished.Mark(job);
      }
    });
  }
  for (size_t job = 0; job < count; ++job) {
    finished.WaitFor(job);
    done(job);
  }
  for (std::thread& thread : threads) thread.join();
}
