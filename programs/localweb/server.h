// The local web server's start-up, its accept loop and the connection
// threads: each takes a request's line and headers, checks the Host and
// hands the request to request handling.
#pragma once

#include <string>

#include "platform/sockets.h"
#include "programs/localweb/connection.h"

// Connections served at the same time (their requests have come), and
// connections held at most, their requests still coming or waiting to be
// served (fewer where the system allows fewer open files); further clients
// wait in the listen queue, which is deep enough that none is refused early.
constexpr int kMaxConnections = 128;
constexpr int kMaxOpenConnections = 2048;
constexpr int kListenBacklog = 1024;
// How long a stopping server lets the connections in progress finish.
constexpr int kStopWaitMs = 5000;

// Runs the server for its command line; returns the exit code.
int RunWebServer(int argc, char** argv);
void StopServer(int signal = 0);
// Serves one connection whose request's bytes have come.
void ConnectionThread(Socket socket, RequestReader* reader);
// True when the bytes a client has sent decide its request: its line and,
// when the line names a version, its header lines up to the blank line have
// come, or either is longer than it may be, or the line is not a GET.
bool RequestHasArrived(const std::string& bytes);

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
