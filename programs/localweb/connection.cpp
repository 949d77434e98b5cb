// A connection's I/O: the request's bytes received as they come, answers
// sent whole while the client takes them, the connection closed.
#include "programs/localweb/connection.h"

#include <cstdio>
#include <cstring>

#include "programs/localweb/server_settings.h"

RequestReader::RequestReader(Socket socket) : socket_(socket) {}

bool RequestReader::ReceiveAvailable(size_t limit) {
  char piece[4096];
  while (data_.size() < limit) {
    size_t wanted = limit - data_.size() < sizeof piece ? limit - data_.size() : sizeof piece;
    int got = ReceiveSocket(socket_, piece, wanted);
    if (got <= 0) return got < 0 && LastSocketError() == kSocketWouldBlock;
    data_.append(piece, static_cast<size_t>(got));
    // Less than asked for: the rest, if any, is still on its way.
    if (static_cast<size_t>(got) < wanted) break;
  }
  return true;
}

bool RequestReader::TakeRequestLine(char* buffer, int size) {
  buffer[0] = 0;
  size_t end = data_.find("\r\n");
  // The line and its CR LF must fit in size - 1 bytes.
  if (end == std::string::npos || end + 3 > static_cast<size_t>(size)) return false;
  memcpy(buffer, data_.data(), end);
  buffer[end] = 0;
  data_.erase(0, end);  // the CR LF stays: it starts the header lines' end
  return true;
}

int RequestReader::TakeHeaders(std::string* headers) {
  size_t end = data_.find("\r\n\r\n");
  if (end == std::string::npos) return data_.size() > static_cast<size_t>(kMaxHeaderBytes) ? -1 : 0;
  if (end > static_cast<size_t>(kMaxHeaderBytes)) return -1;
  *headers = data_.substr(0, end + 2);
  return 1;
}

bool WaitToSend(Socket socket) {
  for (;;) {
    int ready = WaitSocket(socket, true, true, kSendIdleMs);
    if (ready <= 0) return false;
    if (ready & kSocketWritable) return true;
    char drop[1024];
    if (ReceiveSocket(socket, drop, sizeof drop) <= 0) return false;
  }
}

void SendData(Socket socket, const char* data, long length, bool more) {
  size_t left = length < 0 ? strlen(data) : static_cast<size_t>(length);
  while (left > 0) {
    int sent = SendSocket(socket, data, left, more);
    if (sent < 0 && LastSocketError() == kSocketWouldBlock) {
      if (!WaitToSend(socket)) return;
      continue;
    }
    if (sent < 0) {
      if (serverSettings.debug) fprintf(stderr, "Error:  Can't send [%d].\n", LastSocketError());
      return;
    }
    data += sent;
    left -= static_cast<size_t>(sent);
  }
}

void CloseConnection(Socket socket) {
  if (!CloseSocket(socket)) fputs("Error:  Can't close socket.\n", stderr), fflush(stderr);
}

void SendAndClose(Socket socket, const char* data, long length) {
  SendData(socket, data, length);
  CloseConnection(socket);
}

