// A connection's I/O: the request read within its deadlines, answers sent
// whole while the client takes them, the connection closed.
#include "programs/localweb/connection.h"

#include <cstdio>
#include <cstring>

#include "platform/clock.h"
#include "programs/localweb/server_settings.h"

RequestReader::RequestReader(Socket socket, int milliseconds)
    : socket_(socket), deadline_(ElapsedMs() + milliseconds) {}

bool RequestReader::ReceiveRequestLine(char* buffer, int size) {
  buffer[0] = 0;
  size_t end;
  // The line and its CR LF must fit in size - 1 bytes.
  while ((end = data_.find("\r\n")) == std::string::npos || end + 3 > static_cast<size_t>(size)) {
    if (data_.size() >= static_cast<size_t>(size - 1) || !ReceiveMore()) return false;
  }
  memcpy(buffer, data_.data(), end);
  buffer[end] = 0;
  data_.erase(0, end);  // the CR LF stays: it starts the header lines' end
  return true;
}

int RequestReader::ReceiveHeaders(std::string* headers) {
  size_t end;
  while ((end = data_.find("\r\n\r\n")) == std::string::npos) {
    if (data_.size() > static_cast<size_t>(kMaxHeaderBytes)) return -1;
    if (!ReceiveMore()) return 0;
  }
  if (end > static_cast<size_t>(kMaxHeaderBytes)) return -1;
  *headers = data_.substr(0, end + 2);
  return 1;
}

bool RequestReader::ReceiveMore() {
  char piece[2048];
  for (;;) {
    int got = ReceiveSocket(socket_, piece, sizeof piece);
    if (got > 0) return data_.append(piece, static_cast<size_t>(got)), true;
    if (got == 0 || LastSocketError() != kSocketWouldBlock) return false;
    int64_t left = deadline_ - ElapsedMs();
    if (left <= 0) return false;
    int wait = left < kRequestIdleMs ? static_cast<int>(left) : kRequestIdleMs;
    if (WaitSocket(socket_, true, false, wait) <= 0) return false;
  }
}

bool ReceiveRequestLine(Socket socket, char* buffer, int size, int milliseconds) {
  if (size < 1) return false;
  RequestReader reader(socket, milliseconds);
  return reader.ReceiveRequestLine(buffer, size);
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

