// TCP sockets for the local web server: the listening socket, accepted
// connections and the waits and transfers on them, over BSD sockets.
// Every socket is close-on-exec and non-blocking; sending never raises
// SIGPIPE; a wait for connections is woken by StopAccepting (a self-pipe),
// which is safe to call from a signal handler.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/files.h"

using Socket = int;
constexpr Socket kInvalidSocket = -1;

// Error codes in the Windows Sockets numbering, as the server prints them.
constexpr int kSocketInterrupted = 10004;   // accept woken by StopAccepting
constexpr int kSocketWouldBlock = 10035;    // non-blocking call must retry
// Accepting failed for want of resources, which come back as connections end.
constexpr int kSocketTooManyOpen = 10024;   // no file descriptor left
constexpr int kSocketNoBuffers = 10055;     // no memory for the connection

// Prepares the stop pipe and keeps a client that is gone from ending the
// process (SIGPIPE); false when the pipe cannot be made. Cleanup closes it.
bool SocketsStartup();
void SocketsCleanup();

Socket OpenListeningSocket();  // a TCP socket, or kInvalidSocket
// Binds to `port` on the loopback address (loopbackOnly) or on any address.
bool BindSocket(Socket socket, int port, bool loopbackOnly);
bool ListenSocket(Socket socket, int backlog);
// A connection that is waiting already, without waiting for one (non-blocking,
// with the client's IPv4 address, first byte in the high bits); kInvalidSocket
// when there is none (`error`, when given, gets kSocketWouldBlock) or when
// accepting failed (`error` gets kSocketTooManyOpen, kSocketNoBuffers or
// the host's number).
Socket TryAcceptConnection(Socket listener, uint32_t* clientAddress, int* error = nullptr);
// Wakes the waits for connections for good; async-signal-safe.
void StopAccepting();
// Calls `handler` (with the signal number) on SIGINT and SIGTERM.
void InstallStopSignals(void (*handler)(int));

// Bits of WaitSocket's result.
constexpr int kSocketReadable = 1;
constexpr int kSocketWritable = 2;
// Waits up to `milliseconds` for the wanted conditions; 0 on time-out, -1 on
// error, else the bits that hold.
int WaitSocket(Socket socket, bool readable, bool writable, int milliseconds);
// As recv and send (send without SIGPIPE): bytes moved, 0 at the peer's end,
// -1 on error (see LastSocketError). With `more`, the data waits briefly for
// what is sent next, so that both leave in the same packets.
int ReceiveSocket(Socket socket, char* buffer, size_t size);
int SendSocket(Socket socket, const char* data, size_t length, bool more = false);
// Sends up to `count` bytes of a file opened by OpenFileHandle, from
// `offset`, straight from the file: bytes sent, 0 when the file has no byte
// at `offset` (it ended early), -1 on error (see LastSocketError).
long long TransmitFile(Socket socket, FileHandle file, uint64_t offset, size_t count);
// The last error of a call above in this thread, as a Windows Sockets code
// where one matches (10035 for would-block), else the host's number.
int LastSocketError();
// The system's text for an error LastSocketError gave ("Address already in
// use"), for messages.
const char* SocketErrorText(int error);
// Ends the sending side, drops what the peer sent already, closes.
bool CloseSocket(Socket socket);

// Raises this process's limit of open files (and so of connections) as far
// as it may, to at most `wanted`; returns the limit, or `wanted` when the
// limit is higher.
int RaiseOpenFileLimit(int wanted);

// Sockets watched at once for input, so that one thread serves the reading
// of many connections; the stop of StopAccepting wakes its wait as well.
// Call SocketsStartup first.
class SocketSet {
 public:
  SocketSet();
  ~SocketSet();
  SocketSet(const SocketSet&) = delete;
  SocketSet& operator=(const SocketSet&) = delete;

  // Watches a socket (false when it cannot be); with `once`, it is given by
  // one wait only, until Rewatch asks for its next input.
  bool Watch(Socket socket, bool once = false);
  bool Rewatch(Socket socket);
  void Unwatch(Socket socket);
  // Waits up to `milliseconds` (-1: without limit) until a watched socket
  // has input or its peer has gone; `ready` gets those sockets. False once
  // StopAccepting has been called (or when the wait itself fails).
  bool Wait(int milliseconds, std::vector<Socket>* ready);

 private:
  int poller_;
};
