// A client connection's I/O: the request's bytes read within its deadlines,
// answers sent whole while the client takes them, the connection closed.
#pragma once

#include <cstdint>
#include <string>

#include "platform/sockets.h"

// A request (its line and header lines) must arrive within the total time,
// with no pause longer than the idle time; header lines are kept to a size.
constexpr int kRequestIdleMs = 10000;
constexpr int kRequestTotalMs = 30000;
constexpr int kMaxHeaderBytes = 8192;
// An answer waits this long for the client to take more of it.
constexpr int kSendIdleMs = 30000;

// The bytes of one request as they arrive, kept from its line to its header
// lines, all of which must come within the request's time.
class RequestReader {
 public:
  RequestReader(Socket socket, int milliseconds);

  // Receives up to size - 1 bytes until CR LF; the line is cut there.
  bool ReceiveRequestLine(char* buffer, int size);
  // Receives the header lines after the request line, up to the blank line.
  // 1 when they came, 0 when the client failed to send them in time, -1
  // when they are longer than kMaxHeaderBytes.
  int ReceiveHeaders(std::string* headers);

 private:
  // Receives the next piece; false at a deadline, an error or the end.
  bool ReceiveMore();

  Socket socket_;
  int64_t deadline_;
  std::string data_;
};

// Receives up to size - 1 bytes until CR LF; the line is cut there. The
// whole line must arrive within `milliseconds`.
bool ReceiveRequestLine(Socket socket, char* buffer, int size, int milliseconds);
// Sends all of the data (a negative length: the text's length); with `more`
// it may wait briefly to leave together with what follows.
void SendData(Socket socket, const char* data, long length, bool more = false);
// Waits until the socket takes more data, dropping what the client sends
// meanwhile; false when the client is gone or takes nothing for too long.
bool WaitToSend(Socket socket);
void CloseConnection(Socket socket);
void SendAndClose(Socket socket, const char* data, long length);
