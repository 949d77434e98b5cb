// The server's reading thread: it accepts the connections and receives
// their requests, many at once and never waiting on any one client, and
// hands each connection whose request has come to the connection threads.
// So a client that sends slowly holds no connection thread, only a place
// among the connections being read. That place ends at the request's
// deadlines; when every place is taken, the connection read longest gives
// its place to the next one.
#pragma once

#include <cstdint>
#include <list>
#include <string>
#include <unordered_map>

#include "platform/sockets.h"
#include "programs/localweb/connection.h"
#include "programs/localweb/connection_pool.h"

struct RequestLoopHandlers {
  void (*waiting)();                          // before each wait for a connection
  bool (*admit)(Socket, uint32_t client);     // false: it has been dropped
  bool (*arrived)(const std::string& bytes);  // true when the bytes decide the request
};

class RequestLoop {
 public:
  // `places`: the connections the server holds at most, read or served.
  RequestLoop(Socket listener, ConnectionPool* pool, RequestLoopHandlers handlers, int places);
  ~RequestLoop();  // closes the connections still being read
  RequestLoop(const RequestLoop&) = delete;
  RequestLoop& operator=(const RequestLoop&) = delete;

  // Runs until the server is stopped (kSocketInterrupted) or accepting
  // fails; returns that error.
  int Run();

 private:
  struct Reading {
    Socket socket;
    RequestReader reader;
    int64_t accepted;      // when the connection came
    int64_t lastReceived;  // when its last bytes came
  };

  // Takes the connections that wait; false with `error` when accepting failed.
  bool AcceptWaiting(int* error);
  void Start(Socket socket);
  void Receive(Socket socket);
  void Hand(std::list<Reading>::iterator reading);
  void Drop(std::list<Reading>::iterator reading);
  void DropExpired();
  int Open() const;  // connections held: being read, waiting or being served
  void PauseListening(int milliseconds);
  void ListenWhenRoom();

  const Socket listener_;
  ConnectionPool* const pool_;
  const RequestLoopHandlers handlers_;
  const int places_;
  SocketSet set_;
  bool listening_ = false;  // the listener is watched
  int64_t resumeAt_ = 0;    // no listening before this time
  int64_t lastSweep_ = 0;   // when the deadlines were last checked
  std::list<Reading> reading_;  // in the order the connections came
  std::unordered_map<Socket, std::list<Reading>::iterator> bySocket_;
};
