// The threads that serve connections: each connection is served on a thread
// of its own, at most `capacity` at a time; a thread that has finished one
// connection waits for the next instead of ending, so a busy server does not
// start a thread per request.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>

#include "platform/sockets.h"

class ConnectionPool {
 public:
  ConnectionPool(int capacity, void (*serve)(Socket));
  ConnectionPool(const ConnectionPool&) = delete;
  ConnectionPool& operator=(const ConnectionPool&) = delete;

  // Waits up to `milliseconds` until a thread can take a connection; false
  // when all `capacity` threads are still busy.
  bool WaitForRoom(int milliseconds);
  // Hands a connection to an idle thread, or to a new one (below capacity).
  void Serve(Socket connection);
  // Waits up to `milliseconds` until no thread serves a connection; false
  // when some still do.
  bool WaitUntilIdle(int milliseconds);

 private:
  int Room() const;  // connections that could be taken now
  void Work();

  const int capacity_;
  void (*const serve_)(Socket);
  std::mutex mutex_;
  std::condition_variable haveWork_, haveRoom_;
  std::deque<Socket> waiting_;
  int threads_ = 0;
  int idle_ = 0;
};
