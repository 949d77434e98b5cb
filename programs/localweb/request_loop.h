// Accepting the connections and receiving their requests, many at once and
// never waiting on any one client, so that a client that sends slowly holds
// no connection thread, only a place among the connections being read. That
// place ends at the request's deadlines; when every place is taken, the
// connection read longest gives its place to the next one. One thread at a
// time runs the loop (connection_pool.h); it gives out the connections whose
// requests have come, one at a time, to be served.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <list>
#include <string>
#include <unordered_map>

#include "platform/sockets.h"
#include "programs/localweb/connection.h"

struct RequestLoopHandlers {
  void (*waiting)();                          // before each wait for a connection
  bool (*admit)(Socket, uint32_t client);     // false: it has been dropped
  bool (*arrived)(const std::string& bytes);  // true when the bytes decide the request
};

// A connection whose request has come.
struct ArrivedRequest {
  Socket socket = kInvalidSocket;
  RequestReader reader{kInvalidSocket};
};

class RequestLoop {
 public:
  // `places`: the connections the server holds at most, being read, waiting
  // or being served.
  RequestLoop(Socket listener, RequestLoopHandlers handlers, int places);
  RequestLoop(const RequestLoop&) = delete;
  RequestLoop& operator=(const RequestLoop&) = delete;

  // Runs the loop until a connection's request has come and gives it out.
  // False once the server is stopped or accepting has failed (`error` gets
  // kSocketInterrupted or the failure); the connections still held are
  // closed then. Called by one thread at a time.
  bool Next(ArrivedRequest* request, int* error);
  // A connection given out by Next has been served to its end; any thread.
  void Served() { --servingCount_; }

 private:
  struct Reading {
    Socket socket;
    RequestReader reader;
    int64_t accepted;      // when the connection came
    int64_t lastReceived;  // when its last bytes came
  };

  // One wait and what came in it; false when the loop has ended.
  bool Turn();
  // Takes the connections that wait; false when accepting failed.
  bool AcceptWaiting();
  void Start(Socket socket);
  void Receive(Socket socket);
  void Arrived(std::list<Reading>::iterator reading);
  void Drop(std::list<Reading>::iterator reading);
  void DropExpired();
  void End(int error);
  int Open() const;  // connections held: being read, waiting or being served
  void PauseListening(int milliseconds);
  void ListenWhenRoom();

  const Socket listener_;
  const RequestLoopHandlers handlers_;
  const int places_;
  SocketSet set_;
  bool listening_ = false;   // the listener is watched
  int64_t resumeAt_ = 0;     // no listening before this time
  int64_t lastSweep_ = 0;    // when the deadlines were last checked
  bool ended_ = false;
  int error_ = 0;
  std::list<Reading> reading_;  // in the order the connections came
  std::unordered_map<Socket, std::list<Reading>::iterator> bySocket_;
  std::deque<ArrivedRequest> arrived_;  // come, not yet given out
  std::atomic<int> servingCount_{0};   // given out, not yet served
};
