// The threads that answer requests whose line and header lines have come:
// at most `capacity` at a time, each started when a request finds every
// other one busy and kept for the next. Requests wait in the order they came
// until a thread is free.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <utility>

#include "platform/sockets.h"
#include "programs/localweb/connection.h"

class ConnectionPool {
 public:
  using Serve = void (*)(Socket, RequestReader*);

  ConnectionPool(int capacity, Serve serve);
  ConnectionPool(const ConnectionPool&) = delete;
  ConnectionPool& operator=(const ConnectionPool&) = delete;

  // Hands over a connection whose request has come, to be served.
  void Take(Socket socket, RequestReader reader);
  // Connections handed over and not yet served to their end.
  int Busy() const { return busy_; }
  // Waits up to `milliseconds` until every connection handed over is served.
  bool WaitUntilIdle(int milliseconds);

 private:
  void Work();

  const int capacity_;
  const Serve serve_;
  std::mutex mutex_;
  std::condition_variable work_, idle_;
  std::deque<std::pair<Socket, RequestReader>> waiting_;
  int threads_ = 0;
  int free_ = 0;  // threads waiting for work
  std::atomic<int> busy_{0};
};
