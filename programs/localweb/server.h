// The local web server's start-up, settings, configuration rules and the
// connection operations that request handling uses.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/sockets.h"
#include "shared/string.h"

constexpr int kMaxRules = 20;

// Connections served at the same time; further clients wait in the listen
// queue, which is deep enough that none is refused early.
constexpr int kMaxConnections = 128;
constexpr int kListenBacklog = 1024;
// A request (its line and header lines) must arrive within the total time,
// with no pause longer than the idle time; header lines are kept to a size.
constexpr int kRequestIdleMs = 10000;
constexpr int kRequestTotalMs = 30000;
constexpr int kMaxHeaderBytes = 8192;
// An answer waits this long for the client to take more of it.
constexpr int kSendIdleMs = 30000;
// How long a stopping server lets the connections in progress finish.
constexpr int kStopWaitMs = 5000;
// The largest buffer size accepted, in kilobytes.
constexpr uint64_t kMaxBufferKB = 65536;
// The CGI time limit unless the configuration sets one, and the output limit.
constexpr int kDefaultCGITimeLimit = 60;
constexpr uint64_t kCGIOutputLimit = 64ull << 20;

// One Map or Pass line of the configuration file.
struct UrlRule {
  String prefix;
  String replacement;  // empty String: the prefix is only cut off
  int prefixLength = 0;
  uint8_t stop = 0;  // 1 for Pass, 0 for Map
};

// Process-wide settings, fixed before the first connection.
struct ServerSettings {
  uint64_t bufferSize = 1024;
  int port = 80;
  bool localMode = true;
  bool debug = false;
  bool usage = false;  // /? was given
  int cgiTimeLimit = kDefaultCGITimeLimit;  // seconds
  char configFile[256] = {};
  UrlRule rules[kMaxRules];
  int ruleCount = 0;
  // Found at start-up: the folder the server was started in, the folders
  // whose programs may run as CGI scripts (that folder and the target folder
  // of each Pass rule) and the folder for CGI response files.
  std::string startFolder;
  std::vector<std::string> cgiFolders;
  std::string tempFolder;
};

extern ServerSettings Settings;

// Applies the options of the command line to `settings`.
void ParseOptions(int argc, char** argv, ServerSettings* settings);
// Applies one configuration line (key, value1, value2).
void ApplyConfigLine(const char* line, ServerSettings* settings);
// Reads the configuration file; a missing file is no error.
void ReadConfigFile(const char* path, ServerSettings* settings);
// Replaces a buffer size of 0 and a port below 1 by their defaults.
void FinishSettings(ServerSettings* settings);
// The error message for settings the server cannot run with, or null.
const char* SettingsError(const ServerSettings& settings);
// Fills in the start folder, the CGI folders and the temporary folder.
void FindServerFolders(ServerSettings* settings);

int RunWebServer(int argc, char** argv);
void StopServer(int signal = 0);
void ConnectionThread(Socket socket);

// Receives up to size - 1 bytes until CR LF; the line is cut there. The
// whole line must arrive within `milliseconds`.
bool ReceiveRequestLine(Socket socket, char* buffer, int size, int milliseconds);
// Splits a request line "GET url version" in place: the URL is cut at its
// end, and the answer carries headers when a version of HTTP/1.0 or later
// was named; `version` (when given) gets the version text, empty when none.
// False for any method but GET.
bool ParseRequestLine(char* line, char** url, bool* headers, const char** version = nullptr);
// Sends all of the data (a negative length: the text's length); with `more`
// it may wait briefly to leave together with what follows.
void SendData(Socket socket, const char* data, long length, bool more = false);
// Waits until the socket takes more data, dropping what the client sends
// meanwhile; false when the client is gone or takes nothing for too long.
bool WaitToSend(Socket socket);
void CloseConnection(Socket socket);
void SendAndClose(Socket socket, const char* data, long length);

// The text with its control bytes written as "\xHH", for the console.
std::string PrintableText(const char* text);
// True when the Host header value names this machine: "localhost" or a
// loopback address, with or without a port.
bool IsLoopbackHost(const std::string& host);
