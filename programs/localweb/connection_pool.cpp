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
  if (!endChanged_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return ended_.load(); })) {
    return false;
  }
  *error = error_;
  return true;
}

bool ConnectionPool::WaitUntilIdle(int milliseconds) {
  std::unique_lock<std::mutex> lock(stateMutex_);
  return idle_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                        [this] { return serving_ == 0; });
}

void ConnectionPool::Work() {
  for (;;) {
    ++waiting_;
    std::unique_lock<std::mutex> turn(turn_);
    Socket connection = kInvalidSocket;
    while (!ended_) {
      handlers_.waiting();
      uint32_t client = 0;
      int error = 0;
      connection = AcceptConnection(listener_, &client, &error);
      if (connection == kInvalidSocket) {
        std::lock_guard<std::mutex> lock(stateMutex_);
        error_ = error;
        ended_ = true;
        endChanged_.notify_all();
        break;
      }
      if (handlers_.admit(connection, client)) break;
      connection = kInvalidSocket;
    }
    --waiting_;
    if (connection == kInvalidSocket) return;  // accepting has ended
    ++serving_;
    // The turn passes on; a new thread takes it when every other one is busy.
    if (waiting_ == 0 && threads_ < capacity_) StartThread();
    turn.unlock();
    ServeThenTakeWaiting(connection);
  }
}

// Serves the connection, then any that are waiting already, so that a busy
// server's threads go on working instead of waking one another.
void ConnectionPool::ServeThenTakeWaiting(Socket connection) {
  while (connection != kInvalidSocket) {
    handlers_.serve(connection);
    connection = kInvalidSocket;
    uint32_t client = 0;
    while (!ended_ && connection == kInvalidSocket) {
      Socket waiting = TryAcceptConnection(listener_, &client);
      if (waiting == kInvalidSocket) break;
      if (handlers_.admit(waiting, client)) connection = waiting;
    }
    if (connection != kInvalidSocket) continue;
    if (--serving_ == 0) {
      std::lock_guard<std::mutex> lock(stateMutex_);
      idle_.notify_all();
    }
  }
}
