// A client connection's I/O: the request's bytes received as they come,
// answers sent whole while the client takes them, the connection closed.
#pragma once

#include <cstdint>
#include <string>

#include "platform/sockets.h"

// A request (its line and header lines) must arrive within the total time,
// with no pause longer than the idle time; its line is kept to a size (the
// CR LF and a terminating zero included), its header lines to another.
constexpr int kRequestIdleMs = 10000;
constexpr int kRequestTotalMs = 30000;
constexpr int kRequestLineBytes = 256;
constexpr int kMaxHeaderBytes = 8192;
// An answer waits this long for the client to take more of it.
constexpr int kSendIdleMs = 30000;

// The bytes of one request as they arrive, kept from its line to its header
// lines. They are received without waiting, whenever the client has sent
// more; the request's line and header lines are then taken from them.
class RequestReader {
 public:
  explicit RequestReader(Socket socket);

  // Receives what the client has sent so far (up to a receive that brings
  // less than it could), until `limit` bytes have come in all; false when
  // the client has closed or the connection failed.
  bool ReceiveAvailable(size_t limit);
  const std::string& Received() const { return data_; }
  // Takes the request line: up to size - 1 bytes until CR LF, cut there;
  // false when no such line has come.
  bool TakeRequestLine(char* buffer, int size);
  // Takes the header lines after the request line, up to the blank line:
  // 1 when they have come, 0 when they have not, -1 when they are longer
  // than kMaxHeaderBytes.
  int TakeHeaders(std::string* headers);

 private:
  Socket socket_;
  std::string data_;
};

// Sends all of the data (a negative length: the text's length); with `more`
// it may wait briefly to leave together with what follows.
void SendData(Socket socket, const char* data, long length, bool more = false);
// Waits until the socket takes more data, dropping what the client sends
// meanwhile; false when the client is gone or takes nothing for too long.
bool WaitToSend(Socket socket);
void CloseConnection(Socket socket);
void SendAndClose(Socket socket, const char* data, long length);
