// Connection threads taking turns at the request loop.
#include "programs/localweb/connection_pool.h"

#include <chrono>
#include <thread>

ConnectionPool::ConnectionPool(int capacity, RequestLoop* loop, Serve serve)
    : capacity_(capacity), loop_(loop), serve_(serve) {}

void ConnectionPool::Start() { StartThread(); }

void ConnectionPool::StartThread() {
  ++threads_;
  std::thread([this] { Work(); }).detach();
}

bool ConnectionPool::WaitForEnd(int milliseconds, int* error) {
  std::unique_lock<std::mutex> lock(stateMutex_);
  if (!endChanged_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return ended_.load(); })) {
    return false;
  }
  *error = error_;
  return true;
}

bool ConnectionPool::WaitUntilIdle(int milliseconds) {
  std::unique_lock<std::mutex> lock(stateMutex_);
  return idle_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return serving_ == 0; });
}

void ConnectionPool::Work() {
  for (;;) {
    ++waiting_;
    std::unique_lock<std::mutex> turn(turn_);
    ArrivedRequest request;
    int error = 0;
    bool served = !ended_ && loop_->Next(&request, &error);
    --waiting_;
    if (!served) {
      if (ended_.exchange(true)) return;
      std::lock_guard<std::mutex> lock(stateMutex_);
      error_ = error;
      endChanged_.notify_all();
      return;
    }
    ++serving_;
    // The turn passes on; a new thread takes it when every other one is busy.
    if (waiting_ == 0 && threads_ < capacity_) StartThread();
    turn.unlock();
    serve_(request.socket, &request.reader);
    loop_->Served();
    if (--serving_ == 0) {
      std::lock_guard<std::mutex> lock(stateMutex_);
      idle_.notify_all();
    }
  }
}
