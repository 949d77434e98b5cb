// The platform sources' side of sockets.h: a blocking accept that
// StopAccepting wakes, and the switch of a socket to non-blocking, which the
// server does without (it waits on a SocketSet, and its sockets come
// non-blocking) and the module's own tests use. Platform sources only.
#pragma once

#include <cstdint>

#include "platform/sockets.h"

// Waits for a connection. Returns it, non-blocking, with the client's IPv4
// address (first byte in the high bits), or kInvalidSocket with `error` set:
// 10004 when StopAccepting woke it, another code when accepting failed.
Socket AcceptConnection(Socket listener, uint32_t* clientAddress, int* error);
bool SetNonBlocking(Socket socket);
