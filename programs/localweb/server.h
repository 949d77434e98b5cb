// The local web server's start-up, its accept loop and the connection
// threads: each reads its request line and headers, checks the Host and
// hands the request to request handling.
#pragma once

#include <string>

#include "platform/sockets.h"

// Connections served at the same time; further clients wait in the listen
// queue, which is deep enough that none is refused early.
constexpr int kMaxConnections = 128;
constexpr int kListenBacklog = 1024;
// How long a stopping server lets the connections in progress finish.
constexpr int kStopWaitMs = 5000;

// Runs the server for its command line; returns the exit code.
int RunWebServer(int argc, char** argv);
void StopServer(int signal = 0);
void ConnectionThread(Socket socket);

// Splits a request line "GET url version" in place: the URL is cut at its
// end, and the answer carries headers when a version of HTTP/1.0 or later
// was named; `version` (when given) gets the version text, empty when none.
// False for any method but GET.
bool ParseRequestLine(char* line, char** url, bool* headers, const char** version = nullptr);
// The text with its control bytes written as "\xHH", for the console.
std::string PrintableText(const char* text);
// True when the Host header value names this machine: "localhost" or a
// loopback address, with or without a port.
bool IsLoopbackHost(const std::string& host);
