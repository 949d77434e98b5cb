// The threads that accept and serve connections, at most `capacity`, taking
// turns at the request loop (request_loop.h): one thread at a time accepts
// connections and receives their requests; once one has come, another
// thread takes over the turn (a new one when none is free and the capacity
// allows) and this one serves that connection itself, so no request waits
// for a hand-over. A thread that has served takes its turn again. While
// every thread is busy serving, none runs the loop: further clients wait in
// the listen queue, and those being read keep their places. Threads are
// kept for the next connection, never ended.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "platform/sockets.h"
#include "programs/localweb/request_loop.h"

class ConnectionPool {
 public:
  using Serve = void (*)(Socket, RequestReader*);

  ConnectionPool(int capacity, RequestLoop* loop, Serve serve);
  ConnectionPool(const ConnectionPool&) = delete;
  ConnectionPool& operator=(const ConnectionPool&) = delete;

  // Starts the first thread.
  void Start();
  // Waits up to `milliseconds` until the loop has ended (the server was
  // stopped, or accepting failed); true with its error then.
  bool WaitForEnd(int milliseconds, int* error);
  // Waits up to `milliseconds` until no connection is being served.
  bool WaitUntilIdle(int milliseconds);

 private:
  void Work();
  void StartThread();

  const int capacity_;
  RequestLoop* const loop_;
  const Serve serve_;
  std::mutex turn_;  // held by the thread that runs the loop
  std::atomic<int> threads_{0};
  std::atomic<int> waiting_{0};  // threads at the loop or waiting for their turn
  std::atomic<int> serving_{0};
  std::atomic<bool> ended_{false};
  // Guards the error and the waits for the end and for no connection served.
  std::mutex stateMutex_;
  std::condition_variable endChanged_, idle_;
  int error_ = 0;
};
