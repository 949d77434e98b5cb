// The local web server's start-up, settings, configuration rules and the
// connection operations that request handling uses.
#pragma once

#include <cstdint>

#include "platform/sockets.h"
#include "shared/string.h"

constexpr int kMaxRules = 20;

// One Map or Pass line of the configuration file.
struct UrlRule {
  String prefix;
  String replacement;  // empty String: the prefix is only cut off
  int prefixLength = 0;
  uint8_t stop = 0;  // 1 for Pass, 0 for Map
};

// Process-wide settings, fixed before the first connection.
struct ServerSettings {
  uint32_t bufferSize = 1024;
  int port = 80;
  bool localMode = true;
  bool debug = false;
  bool usage = false;  // /? was given
  char configFile[256] = {};
  UrlRule rules[kMaxRules];
  int ruleCount = 0;
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

int RunWebServer(int argc, char** argv);
void StopServer(int signal = 0);
void ConnectionThread(Socket socket);

// Receives up to size - 1 bytes until CR LF; the line is cut there.
bool ReceiveRequestLine(Socket socket, char* buffer, int size, int milliseconds);
// Splits a request line "GET url version" in place: the URL is cut at its
// end, and the answer carries headers when a version of HTTP/1.0 or later
// was named. False for any method but GET.
bool ParseRequestLine(char* line, char** url, bool* headers);
void SendData(Socket socket, const char* data, long length);
void CloseConnection(Socket socket);
void SendAndClose(Socket socket, const char* data, long length);
