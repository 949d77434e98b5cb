// Start-up, options, configuration, the accept loop and connection I/O.
#include "programs/localweb/server.h"

#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/process.h"
#include "programs/localweb/connection_pool.h"
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

// The decimal value at the start of `text` (0 when none), held at the
// largest int instead of overflowing; a sign is taken as the C library does.
int DecimalValue(const char* text) {
  while (IsSpace(*text)) ++text;
  bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  long long value = 0;
  for (; IsDigit(*text); ++text) {
    value = value * 10 + (*text - '0');
    if (value > INT_MAX) value = INT_MAX;
  }
  return static_cast<int>(negative ? -value : value);
}

// A buffer size in kilobytes as bytes, held just past the largest accepted
// size so that an oversized value stays oversized.
uint64_t BufferBytes(const char* text) {
  int value = DecimalValue(text);
  uint64_t kilobytes = value < 0 ? 0 : static_cast<uint64_t>(value);
  if (kilobytes > kMaxBufferKB) kilobytes = kMaxBufferKB + 1;
  return kilobytes * 1024;
}

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
      if (*value >= '1' && *value <= '9') settings->bufferSize = BufferBytes(value);
      break;
    case 'C': CopyBounded(settings->configFile, value, sizeof settings->configFile); break;
    case 'D': settings->debug = true; break;
    case 'G': settings->localMode = false; break;
    case 'L': settings->localMode = true; break;
    case 'P': settings->port = DecimalValue(value); break;
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

// The folder a Pass rule sends requests to: its replacement up to its last
// '\' (empty when it names no folder, so that it stays in the start folder).
std::string PassFolder(const UrlRule& rule) {
  if (!rule.stop || rule.replacement.IsNull()) return "";
  std::string replacement = rule.replacement.Text();
  size_t separator = replacement.find_last_of('\\');
  if (separator == std::string::npos) return "";
  return GetFullPathString(replacement.substr(0, separator + 1).c_str());
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
    settings->bufferSize = BufferBytes(words[1]);
  } else if (CompareNoCase(words[0], "Port") == 0) {
    settings->port = DecimalValue(words[1]);
  } else if (CompareNoCase(words[0], "CGITimeLimit") == 0) {
    settings->cgiTimeLimit = DecimalValue(words[1]);
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
  if (settings->cgiTimeLimit < 1) settings->cgiTimeLimit = kDefaultCGITimeLimit;
}

const char* SettingsError(const ServerSettings& settings) {
  if (settings.port > 65535) return "Error:  The port number must be from 1 to 65535.\n";
  if (settings.bufferSize > kMaxBufferKB * 1024) {
    return "Error:  The buffer size must be at most 65536 Kbytes.\n";
  }
  return nullptr;
}

void FindServerFolders(ServerSettings* settings) {
  char folder[kMaxPath + 1];
  settings->startFolder = GetCurrentDir(folder, sizeof folder) ? folder : "";
  settings->cgiFolders.clear();
  if (!settings->startFolder.empty()) settings->cgiFolders.push_back(settings->startFolder);
  for (int i = 0; i < settings->ruleCount; ++i) {
    std::string pass = PassFolder(settings->rules[i]);
    if (!pass.empty()) settings->cgiFolders.push_back(pass);
  }
  settings->tempFolder = GetTempFolder();
}

namespace {

// The bytes of one request as they arrive, kept from its line to its header
// lines, all of which must come within the request's time.
class RequestReader {
 public:
  RequestReader(Socket socket, int milliseconds)
      : socket_(socket), deadline_(ElapsedMs() + milliseconds) {}

  // Receives up to size - 1 bytes until CR LF; the line is cut there.
  bool ReceiveRequestLine(char* buffer, int size) {
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

  // Receives the header lines after the request line, up to the blank line.
  // 1 when they came, 0 when the client failed to send them in time, -1
  // when they are longer than kMaxHeaderBytes.
  int ReceiveHeaders(std::string* headers) {
    size_t end;
    while ((end = data_.find("\r\n\r\n")) == std::string::npos) {
      if (data_.size() > static_cast<size_t>(kMaxHeaderBytes)) return -1;
      if (!ReceiveMore()) return 0;
    }
    if (end > static_cast<size_t>(kMaxHeaderBytes)) return -1;
    *headers = data_.substr(0, end + 2);
    return 1;
  }

 private:
  // Receives the next piece; false at a deadline, an error or the end.
  bool ReceiveMore() {
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

  Socket socket_;
  int64_t deadline_;
  std::string data_;
};

std::string Lower(std::string text) {
  for (char& c : text) c = ToLower(c);
  return text;
}

// A dotted address of four decimal parts of at most 255, the first 127.
bool IsLoopbackAddress(const std::string& name) {
  int parts = 0;
  size_t at = 0;
  while (at <= name.size()) {
    size_t end = name.find('.', at);
    if (end == std::string::npos) end = name.size();
    std::string part = name.substr(at, end - at);
    if (part.empty() || part.size() > 3 || part.find_first_not_of("0123456789") != std::string::npos) {
      return false;
    }
    if (atoi(part.c_str()) > 255 || (parts == 0 && atoi(part.c_str()) != 127)) return false;
    ++parts;
    at = end + 1;
  }
  return parts == 4;
}

// True when every Host header line names this machine; a request without
// one (an old client) names nothing else either.
bool HostsAreLocal(const std::string& headers) {
  size_t start = 0;
  while (start < headers.size()) {
    size_t end = headers.find("\r\n", start);
    if (end == std::string::npos) end = headers.size();
    std::string line = headers.substr(start, end - start);
    start = end + 2;
    if (line.size() < 5 || Lower(line.substr(0, 5)) != "host:") continue;
    if (!IsLoopbackHost(line.substr(5))) return false;
  }
  return true;
}

}  // namespace

std::string PrintableText(const char* text) {
  std::string out;
  for (const char* p = text; *p; ++p) {
    if (!IsCntrl(*p)) {
      out += *p;
      continue;
    }
    char escape[8];
    snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(*p));
    out += escape;
  }
  return out;
}

bool IsLoopbackHost(const std::string& value) {
  size_t first = value.find_first_not_of(" \t");
  size_t last = value.find_last_not_of(" \t");
  if (first == std::string::npos) return false;
  std::string host = Lower(value.substr(first, last - first + 1));
  size_t portStart = host[0] == '[' ? host.find(']') + 1 : host.rfind(':');
  if (portStart == 0) return false;  // '[' without ']'
  if (portStart != std::string::npos && portStart < host.size()) {
    std::string port = host.substr(portStart);
    if (port[0] != ':' || port.find_first_not_of("0123456789", 1) != std::string::npos) return false;
    host = host.substr(0, portStart);
  }
  return host == "localhost" || host == "localhost." || host == "[::1]" || IsLoopbackAddress(host);
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

// The socket comes non-blocking from the accept.
void ConnectionThread(Socket socket) {
  RequestReader reader(socket, kRequestTotalMs);
  char line[256];
  if (!reader.ReceiveRequestLine(line, sizeof line)) return CloseConnection(socket);
  char* url = nullptr;
  bool headers = false;
  const char* version = nullptr;
  if (!ParseRequestLine(line, &url, &headers, &version)) {
    printf("Unsupported Request:  %s\n", PrintableText(line).c_str());
    fflush(stdout);
    return CloseConnection(socket);
  }
  // A request with a version brings header lines; a request with a Host
  // other than this machine comes through a name that is not the user's (a
  // web page's own name pointed at this machine) and is refused.
  std::string headerLines;
  int received = *version ? reader.ReceiveHeaders(&headerLines) : 1;
  if (received == 0) return CloseConnection(socket);
  if (received < 0) return SendErrorStatus(socket, headers, 400);
  if (Settings.localMode && !HostsAreLocal(headerLines)) return SendErrorStatus(socket, headers, 403);
  ServeUrl(socket, headers, url);
}

bool ParseRequestLine(char* line, char** url, bool* headers, const char** version) {
  if (CompareNoCaseN(line, "GET ", 4) != 0) return false;
  char* start = line + 4;
  while (*start == ' ') ++start;
  char* end = start;
  while (static_cast<unsigned char>(*end) >= '!') ++end;
  char* text = end;
  if (*text) *text++ = 0;
  while (*text == ' ') ++text;
  *url = start;
  *headers = strcmp(text, "HTTP/1.0") >= 0;
  if (version) *version = text;
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

// True when the connection may be served: in local mode only this machine's
// own address is.
bool Authorized(Socket connection, uint32_t client) {
  if (!Settings.localMode || client == 0x7F000001u) return true;
  CloseSocket(connection);
  printf("Warning:  Unauthorized connection attempt from client %u.%u.%u.%u.\n", client >> 24,
         (client >> 16) & 255, (client >> 8) & 255, client & 255);
  fflush(stdout);
  return false;
}

void WaitingForConnection() { Debug("Waiting for new connection...\n"); }

bool Admit(Socket connection, uint32_t client) {
  if (!Authorized(connection, client)) return false;
  Debug("Connection establised.  Starting new thread...\n");
  return true;
}

// The connection threads. Never freed: a thread may still be running when
// the server returns.
ConnectionPool* pool = nullptr;

// Accepts connections until the server is stopped or accepting fails; each
// is served on a thread of its own. Returns the error that ended it.
int AcceptLoop(Socket listener) {
  pool = new ConnectionPool(kMaxConnections, listener, {WaitingForConnection, Admit, ConnectionThread});
  pool->Start();
  int error = 0;
  // A stop while every thread is busy finds no thread waiting to see it.
  while (!pool->WaitForEnd(200, &error)) {
    if (stopRequested) return kSocketInterrupted;
  }
  return error;
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
  if (const char* error = SettingsError(Settings)) return PrintError(error), 1;
  // Before any thread starts: finding the temporary folder may add a drive.
  FindServerFolders(&Settings);
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
  if (!ListenSocket(listener, kListenBacklog)) return Fail("Error:  Can't listen.\n", listener);
  listeningSocket = listener;
  int error = AcceptLoop(listener);
  // CGI programs still running would outlive the server and its limits;
  // the connections they leave are finished before the server ends.
  EndLimitedPrograms();
  pool->WaitUntilIdle(kStopWaitMs);
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
