// Start-up, options, configuration, the accept loop and connection I/O.
#include "programs/localweb/server.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/files.h"
#include "programs/localweb/request.h"
#include "shared/chars.h"

ServerSettings Settings;

namespace {

Socket listeningSocket = kInvalidSocket;
volatile sig_atomic_t stopRequested = 0;

const char* const kUsage[] = {
    "LOCALWEB, Simple CGI Web Server, Version 1.05\n",
    "LOCALWEB [/B:size] [/C:file] [/D] [/G] [/P:port]\n",
    "  /B:size  Sets the file buffer to \"size\" Kbytes (default = 1).",
    "  /C:file  Sets the name of the configuration file (default = \"localweb.cfg\").",
    "  /D       Debug mode.  Displays debug messages.",
    "  /G       Global mode.  Allows access from external clients on other machines.",
    "           By default, access is only allowed to local clients (this machine).",
    "  /P:port  Sets the HTTP server port number (default = 80).",
    "\nThis server supports a subset of HTTP/1.0 and CGI.\n",
    "The root directory of the web site is always the root directory of the current",
    "drive (i.e.  the root directory of the web server's current working directory).",
    "Directory URLs must end with '/' and will load the file \"index.htm\".\n",
    "MIME types for file extensions are obtained from the Windows registry.\n",
    "Any file with a .exe, .bat, or .cgi extension is executed as a CGI script.",
    "Before executing a CGI script, the current working directory is set to the",
    "directory which contains the CGI script file.  Only the following environment",
    "variables are passed to CGI scripts:\n",
    "  REQUEST_METHOD=GET     (the POST method is not supported)",
    "  QUERY_STRING=data\n",
    "Reach this server at \"http://127.0.0.1/...\".",
};

void Debug(const char* message) {
  if (Settings.debug) fputs(message, stdout), fflush(stdout);
}

void PrintError(const char* message) { fputs(message, stderr), fflush(stderr); }

// The default configuration file: the program's path with ".cfg" in place of
// its extension (appended when it has none), cut to the 256-byte setting.
void DefaultConfigFile(const char* program, ServerSettings* settings) {
  if (!program) return;
  char* out = settings->configFile;
  size_t size = sizeof settings->configFile;
  CopyBounded(out, program, size);
  char* dot = nullptr;
  for (char* p = out; *p; ++p) {
    if (*p == '.') dot = p;
    if (*p == '\\' || *p == '/' || *p == ':') dot = nullptr;
  }
  size_t keep = dot ? static_cast<size_t>(dot - out) : strlen(out);
  if (keep + 5 > size) keep = size - 5;
  memcpy(out + keep, ".cfg", 5);
}

void ApplyOption(const char* argument, ServerSettings* settings) {
  char letter = ToUpper(argument[1]);
  const char* value = argument[1] && argument[2] == ':' ? argument + 3 : argument + (argument[1] ? 2 : 1);
  switch (letter) {
    case '?': settings->usage = true; break;
    case 'B':
      if (*value >= '1' && *value <= '9') settings->bufferSize = static_cast<uint32_t>(strtoul(value, nullptr, 10)) * 1024;
      break;
    case 'C': CopyBounded(settings->configFile, value, sizeof settings->configFile); break;
    case 'D': settings->debug = true; break;
    case 'G': settings->localMode = false; break;
    case 'L': settings->localMode = true; break;
    case 'P': settings->port = atoi(value); break;
    default: break;
  }
}

// Up to three words of a line, split at blanks, tabs and newlines.
int SplitWords(const char* line, String words[3]) {
  int count = 0;
  const char* p = line;
  while (count < 3) {
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r') ++p;
    if (!*p) break;
    const char* start = p;
    while (*p && *p != ' ' && *p != '\t' && *p != '\n' && *p != '\r') ++p;
    String word(static_cast<size_t>(p - start) + 1);
    memcpy(word.Text(), start, static_cast<size_t>(p - start));
    words[count++] = word;
  }
  return count;
}

// A rule value: cut at the first '*', '/' made '\'.
String RuleValue(const char* value) {
  String result(value);
  for (char* p = result.Text(); p && *p; ++p) {
    if (*p == '*') {
      *p = 0;
      break;
    }
    if (*p == '/') *p = '\\';
  }
  return result;
}

void AddRule(const String words[3], int count, uint8_t stop, ServerSettings* settings) {
  if (count < 2 || settings->ruleCount >= kMaxRules) return;
  UrlRule& rule = settings->rules[settings->ruleCount++];
  rule.prefix = RuleValue(words[1]);
  rule.replacement = count > 2 ? RuleValue(words[2]) : String();
  rule.prefixLength = static_cast<int>(rule.prefix.Length());
  rule.stop = stop;
}

}  // namespace

void ParseOptions(int argc, char** argv, ServerSettings* settings) {
  DefaultConfigFile(argc > 0 ? argv[0] : nullptr, settings);
  for (int i = 1; i < argc; ++i) {
    if (argv[i][0] == '-' || argv[i][0] == '/') ApplyOption(argv[i], settings);
  }
}

void ApplyConfigLine(const char* line, ServerSettings* settings) {
  String words[3];
  int count = SplitWords(line, words);
  if (count == 0) return;
  if (CompareNoCase(words[0], "Map") == 0) return AddRule(words, count, 0, settings);
  if (CompareNoCase(words[0], "Pass") == 0) return AddRule(words, count, 1, settings);
  if (count < 2) return;
  if (CompareNoCase(words[0], "BufferSize") == 0) {
    settings->bufferSize = static_cast<uint32_t>(strtoul(words[1], nullptr, 10)) * 1024;
  } else if (CompareNoCase(words[0], "Port") == 0) {
    settings->port = atoi(words[1]);
  }
}

void ReadConfigFile(const char* path, ServerSettings* settings) {
  FILE* file = OpenFile(path, "r");
  if (!file) return;
  char line[256];
  while (fgets(line, sizeof line, file)) ApplyConfigLine(line, settings);
  fclose(file);
}

void FinishSettings(ServerSettings* settings) {
  if (settings->bufferSize == 0) settings->bufferSize = 1024;
  if (settings->port < 1) settings->port = 80;
}

bool ReceiveRequestLine(Socket socket, char* buffer, int size, int milliseconds) {
  if (size < 1) return false;
  buffer[size - 1] = 0;
  buffer[0] = 0;
  int used = 0;
  while (used < size - 1) {
    if (WaitSocket(socket, true, false, milliseconds) <= 0) return false;
    int got = ReceiveSocket(socket, buffer + used, static_cast<size_t>(size - 1 - used));
    if (got <= 0) {
      buffer[0] = 0;
      return false;
    }
    // Look one byte back too, so a CR LF split between two pieces is found.
    int from = used > 0 ? used - 1 : 0;
    used += got;
    buffer[used] = 0;
    for (int i = from; i + 1 < used; ++i) {
      if (buffer[i] == '\r' && buffer[i + 1] == '\n') {
        buffer[i] = 0;
        return true;
      }
    }
  }
  return false;
}

void SendData(Socket socket, const char* data, long length) {
  size_t left = length < 0 ? strlen(data) : static_cast<size_t>(length);
  while (left > 0) {
    int ready = WaitSocket(socket, true, true, 30000);
    if (ready <= 0) return;
    if (ready & kSocketReadable) {
      char drop[1024];
      if (ReceiveSocket(socket, drop, sizeof drop) <= 0) return;
      continue;
    }
    int sent = SendSocket(socket, data, left);
    if (sent < 0 && LastSocketError() == kSocketWouldBlock) continue;
    if (sent < 0) {
      if (Settings.debug) fprintf(stderr, "Error:  Can't send [%d].\n", LastSocketError());
      return;
    }
    data += sent;
    left -= static_cast<size_t>(sent);
  }
}

void CloseConnection(Socket socket) {
  if (!CloseSocket(socket)) PrintError("Error:  Can't close socket.\n");
}

void SendAndClose(Socket socket, const char* data, long length) {
  SendData(socket, data, length);
  CloseConnection(socket);
}

void ConnectionThread(Socket socket) {
  if (!SetNonBlocking(socket)) PrintError("Error:  Unable to enable non-blocking mode.\n");
  char line[256];
  if (!ReceiveRequestLine(socket, line, sizeof line, 30000)) return CloseConnection(socket);
  char* url = nullptr;
  bool headers = false;
  if (!ParseRequestLine(line, &url, &headers)) {
    printf("Unsupported Request:  %s\n", line);
    fflush(stdout);
    return CloseConnection(socket);
  }
  ServeUrl(socket, headers, url);
}

bool ParseRequestLine(char* line, char** url, bool* headers) {
  if (CompareNoCaseN(line, "GET ", 4) != 0) return false;
  char* start = line + 4;
  while (*start == ' ') ++start;
  char* end = start;
  while (static_cast<unsigned char>(*end) >= '!') ++end;
  char* version = end;
  if (*version) *version++ = 0;
  while (*version == ' ') ++version;
  *url = start;
  *headers = strcmp(version, "HTTP/1.0") >= 0;
  return true;
}

void StopServer(int) {
  // Runs as a signal handler: it only marks the stop and wakes the accept;
  // the main thread closes the listening socket.
  stopRequested = 1;
  StopAccepting();
}

namespace {

int Fail(const char* message, Socket socket) {
  PrintError(message);
  if (socket != kInvalidSocket) CloseSocket(socket);
  SocketsCleanup();
  return 1;
}

void ServeConnection(Socket connection, uint32_t client) {
  if (Settings.localMode && client != 0x7F000001u) {
    CloseSocket(connection);
    printf("Warning:  Unauthorized connection attempt from client %u.%u.%u.%u.\n", client >> 24,
           (client >> 16) & 255, (client >> 8) & 255, client & 255);
    fflush(stdout);
    return;
  }
  Debug("Connection establised.  Starting new thread...\n");
  std::thread(ConnectionThread, connection).detach();
}

}  // namespace

int RunWebServer(int argc, char** argv) {
  ParseOptions(argc, argv, &Settings);
  if (Settings.usage) {
    for (const char* item : kUsage) printf("%s\n", item);
    return 0;
  }
  ReadConfigFile(Settings.configFile, &Settings);
  FinishSettings(&Settings);
  if (Settings.localMode) printf("Local mode enabled.\n"), fflush(stdout);
  InstallStopSignals(StopServer);
  Debug("Starting up Windows Sockets...\n");
  if (!SocketsStartup()) return Fail("Error:  Startup error.\n", kInvalidSocket);
  Debug("Opening listening socket...\n");
  Socket listener = OpenListeningSocket();
  if (listener == kInvalidSocket) return Fail("Error:  Can't open listening socket.\n", listener);
  Debug("Binding local address...\n");
  // In local mode only this machine may connect, so the port is opened on
  // the loopback address alone.
  if (!BindSocket(listener, Settings.port, Settings.localMode)) return Fail("Error:  Can't bind local address.\n", listener);
  Debug("Entering listening state...\n");
  if (!ListenSocket(listener, 5)) return Fail("Error:  Can't listen.\n", listener);
  listeningSocket = listener;
  int error = 0;
  for (;;) {
    Debug("Waiting for new connection...\n");
    uint32_t client = 0;
    Socket connection = AcceptConnection(listener, &client, &error);
    if (connection == kInvalidSocket) break;
    ServeConnection(connection, client);
  }
  int code = 0;
  if (!stopRequested && error != kSocketInterrupted && error != 0) {
    fprintf(stderr, "Error:  Can't accept new connections [%d].\n", error);
    code = 1;
  } else {
    printf("Server terminated by user.\n");
  }
  Debug("Closing listening socket...\n");
  CloseSocket(listeningSocket);
  listeningSocket = kInvalidSocket;
  Debug("Cleaning up Windows Sockets...\n");
  SocketsCleanup();
  fflush(stdout);
  return code;
}
