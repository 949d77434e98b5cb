// Connection threads taking turns at waiting for a connection.
#include "programs/localweb/connection_pool.h"

#include <chrono>
#include <thread>

ConnectionPool::ConnectionPool(int capacity, Socket listener, ConnectionHandlers handlers)
    : capacity_(capacity), listener_(listener), handlers_(handlers) {}

void ConnectionPool::Start() { StartThread(); }

void ConnectionPool::StartThread() {
  ++threads_;
  std::thread([this] { Work(); }).detach();
}

bool ConnectionPool::WaitForEnd(int milliseconds, int* error) {
  std::unique_lock<std::mutex> lock(stateMutex_);
  if (!changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return ended_; })) {
    return false;
  }
  *error = error_;
  return true;
}

bool ConnectionPool::WaitUntilIdle(int milliseconds) {
  std::unique_lock<std::mutex> lock(stateMutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                           [this] { return serving_ == 0; });
}

void ConnectionPool::Work() {
  for (;;) {
    ++waiting_;
    std::unique_lock<std::mutex> turn(turn_);
    Socket connection = kInvalidSocket;
    for (;;) {
      {
        std::lock_guard<std::mutex> lock(stateMutex_);
        if (ended_) break;
      }
      handlers_.waiting();
      uint32_t client = 0;
      int error = 0;
      connection = AcceptConnection(listener_, &client, &error);
      if (connection == kInvalidSocket) {
        std::lock_guard<std::mutex> lock(stateMutex_);
        ended_ = true;
        error_ = error;
        changed_.notify_all();
        break;
      }
      if (handlers_.admit(connection, client)) break;
      connection = kInvalidSocket;
    }
    --waiting_;
    if (connection == kInvalidSocket) return;  // accepting has ended
    {
      std::lock_guard<std::mutex> lock(stateMutex_);
      ++serving_;
    }
    // The turn passes on; a new thread takes it when every other one is busy.
    if (waiting_ == 0 && threads_ < capacity_) StartThread();
    turn.unlock();
    handlers_.serve(connection);
    std::lock_guard<std::mutex> lock(stateMutex_);
    --serving_;
    changed_.notify_all();
  }
}
