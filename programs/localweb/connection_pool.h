// The threads that accept and serve connections: each connection is served
// on a thread of its own, at most `capacity` at a time. One thread at a time
// waits for the next connection; once it has one, another takes over the
// waiting (a new thread when none is free and the capacity allows) and it
// serves its connection itself, so no connection waits for a hand-over; a
// thread that has served one takes the next that is waiting already. While
// every thread is busy none waits, and further clients wait in the listen
// queue. Threads are kept for the next connection, never ended.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "platform/sockets.h"

struct ConnectionHandlers {
  void (*waiting)();                         // before each wait for a connection
  bool (*admit)(Socket, uint32_t client);    // still waiting's turn: false drops it
  void (*serve)(Socket);                     // after the turn has passed on
};

class ConnectionPool {
 public:
  ConnectionPool(int capacity, Socket listener, ConnectionHandlers handlers);
  ConnectionPool(const ConnectionPool&) = delete;
  ConnectionPool& operator=(const ConnectionPool&) = delete;

  // Starts the first thread.
  void Start();
  // Waits up to `milliseconds` until accepting has ended (the listening
  // socket was stopped, or accepting failed); true with its error then.
  bool WaitForEnd(int milliseconds, int* error);
  // Waits up to `milliseconds` until no connection is being served.
  bool WaitUntilIdle(int milliseconds);

 private:
  void Work();
  void StartThread();
  void ServeThenTakeWaiting(Socket connection);

  const int capacity_;
  const Socket listener_;
  const ConnectionHandlers handlers_;
  std::mutex turn_;  // held by the thread that waits for a connection
  std::atomic<int> threads_{0};
  std::atomic<int> waiting_{0};  // threads waiting for a connection or for the turn
  std::atomic<int> serving_{0};
  std::atomic<bool> ended_{false};
  // Guards the error and the waits for the end and for no connection served.
  std::mutex stateMutex_;
  std::condition_variable endChanged_, idle_;
  int error_ = 0;
};
