// Connection threads kept for the next connection, at most `capacity`.
#include "programs/localweb/connection_pool.h"

#include <chrono>
#include <thread>

ConnectionPool::ConnectionPool(int capacity, void (*serve)(Socket))
    : capacity_(capacity), serve_(serve) {}

int ConnectionPool::Room() const {
  return idle_ - static_cast<int>(waiting_.size()) + (capacity_ - threads_);
}

bool ConnectionPool::WaitForRoom(int milliseconds) {
  std::unique_lock<std::mutex> lock(mutex_);
  return haveRoom_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                            [this] { return Room() > 0; });
}

void ConnectionPool::Serve(Socket connection) {
  std::unique_lock<std::mutex> lock(mutex_);
  haveRoom_.wait(lock, [this] { return Room() > 0; });
  waiting_.push_back(connection);
  if (idle_ >= static_cast<int>(waiting_.size())) {
    haveWork_.notify_one();
    return;
  }
  // Every idle thread has a connection waiting for it already: a new one
  // starts, counted as idle until it takes its connection.
  ++threads_;
  ++idle_;
  std::thread([this] { Work(); }).detach();
}

bool ConnectionPool::WaitUntilIdle(int milliseconds) {
  std::unique_lock<std::mutex> lock(mutex_);
  return haveRoom_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                            [this] { return idle_ == threads_ && waiting_.empty(); });
}

void ConnectionPool::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    haveWork_.wait(lock, [this] { return !waiting_.empty(); });
    --idle_;
    Socket connection = waiting_.front();
    waiting_.pop_front();
    lock.unlock();
    serve_(connection);
    lock.lock();
    ++idle_;
    haveRoom_.notify_all();
  }
}
