// Connection threads taking requests in the order they came.
#include "programs/localweb/connection_pool.h"

#include <chrono>
#include <thread>

ConnectionPool::ConnectionPool(int capacity, Serve serve) : capacity_(capacity), serve_(serve) {}

void ConnectionPool::Take(Socket socket, RequestReader reader) {
  std::lock_guard<std::mutex> lock(mutex_);
  waiting_.emplace_back(socket, std::move(reader));
  ++busy_;
  if (free_ == 0 && threads_ < capacity_) {
    ++threads_;
    std::thread([this] { Work(); }).detach();
    return;
  }
  work_.notify_one();
}

bool ConnectionPool::WaitUntilIdle(int milliseconds) {
  std::unique_lock<std::mutex> lock(mutex_);
  return idle_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return busy_ == 0; });
}

void ConnectionPool::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    ++free_;
    work_.wait(lock, [this] { return !waiting_.empty(); });
    --free_;
    std::pair<Socket, RequestReader> next = std::move(waiting_.front());
    waiting_.pop_front();
    lock.unlock();
    serve_(next.first, &next.second);
    lock.lock();
    if (--busy_ == 0) idle_.notify_all();
  }
}
