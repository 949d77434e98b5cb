// Start-up, the accept loop and the connection threads.
#include "programs/localweb/server.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/ascii_case.h"
#include "platform/process.h"
#include "platform/text_pieces.h"
#include "programs/localweb/connection.h"
#include "programs/localweb/connection_pool.h"
#include "programs/localweb/request.h"
#include "programs/localweb/request_loop.h"
#include "programs/localweb/response_files.h"
#include "programs/localweb/server_settings.h"
#include "shared/chars.h"
#include "shared/string.h"

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
  if (serverSettings.debug) fputs(message, stdout), fflush(stdout);
}

void PrintError(const char* message) { fputs(message, stderr), fflush(stderr); }

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
  for (const std::string& line : SplitAt(headers, "\r\n")) {
    if (!StartsNoCase(line, "host:")) continue;
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
  std::string host = value.substr(first, last - first + 1);
  size_t portStart = host[0] == '[' ? host.find(']') + 1 : host.rfind(':');
  if (portStart == 0) return false;  // '[' without ']'
  if (portStart != std::string::npos && portStart < host.size()) {
    std::string port = host.substr(portStart);
    if (port[0] != ':' || port.find_first_not_of("0123456789", 1) != std::string::npos) return false;
    host = host.substr(0, portStart);
  }
  return SameNoCase(host, "localhost") || SameNoCase(host, "localhost.") || host == "[::1]" ||
         IsLoopbackAddress(host);
}

// The socket comes non-blocking from the accept, with its request's bytes
// received already (RequestHasArrived).
void ConnectionThread(Socket socket, RequestReader* reader) {
  char line[kRequestLineBytes];
  if (!reader->TakeRequestLine(line, sizeof line)) return CloseConnection(socket);
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
  int received = *version ? reader->TakeHeaders(&headerLines) : 1;
  if (received == 0) return CloseConnection(socket);
  if (received < 0) return SendErrorStatus(socket, headers, 400);
  if (serverSettings.localMode && !HostsAreLocal(headerLines)) return SendErrorStatus(socket, headers, 403);
  ServeUrl(socket, headers, url);
}

bool RequestHasArrived(const std::string& bytes) {
  size_t end = bytes.find("\r\n");
  if (end == std::string::npos) return bytes.size() >= kRequestLineBytes - 1;
  if (end + 3 > kRequestLineBytes) return true;
  std::string line = bytes.substr(0, end);
  char* url = nullptr;
  bool headers = false;
  const char* version = nullptr;
  if (!ParseRequestLine(line.data(), &url, &headers, &version) || !*version) return true;
  return bytes.find("\r\n\r\n", end) != std::string::npos || bytes.size() - end > kMaxHeaderBytes;
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

// The message for a port that cannot be opened: which port, and why (most
// often another server has it).
std::string BindFailure(int port, int error) {
  return "Error:  Can't bind local address.\n        Port " + std::to_string(port) + ": " +
         SocketErrorText(error) + ".\n";
}

// True when the connection may be served: in local mode only this machine's
// own address is.
bool Authorized(Socket connection, uint32_t client) {
  if (!serverSettings.localMode || client == 0x7F000001u) return true;
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

// The connection threads and their loop. Never freed: a thread may still be
// running when the server returns.
ConnectionPool* pool = nullptr;

// The connections the server may hold at once: each takes a file, and the
// connection threads need a few more each for the files they send and the
// programs they run (half the files, where the system allows few).
int ConnectionPlaces() {
  constexpr int kFilesBeside = kMaxConnections * 4 + 64;
  int limit = RaiseOpenFileLimit(kMaxOpenConnections + kFilesBeside);
  return limit - (kFilesBeside < limit / 2 ? kFilesBeside : limit / 2);
}

// Accepts connections and reads their requests until the server is stopped
// or accepting fails; each request is served on a connection thread.
// Returns the error that ended it.
int AcceptLoop(Socket listener) {
  RequestLoopHandlers handlers = {WaitingForConnection, Admit, RequestHasArrived};
  RequestLoop* loop = new RequestLoop(listener, handlers, ConnectionPlaces());
  pool = new ConnectionPool(kMaxConnections, loop, ConnectionThread);
  pool->Start();
  int error = 0;
  // A stop while every thread is busy finds no thread at the loop to see it.
  while (!pool->WaitForEnd(200, &error)) {
    if (stopRequested) return kSocketInterrupted;
  }
  return error;
}

}  // namespace

int RunWebServer(int argc, char** argv) {
  ParseOptions(argc, argv, &serverSettings);
  if (serverSettings.usage) {
    for (const char* item : kUsage) printf("%s\n", item);
    return 0;
  }
  ReadServerConfigFile(serverSettings.configFile, &serverSettings);
  FinishSettings(&serverSettings);
  if (const char* error = SettingsError(serverSettings)) return PrintError(error), 1;
  // Before any thread starts: finding the temporary folder may add a drive.
  FindServerFolders(&serverSettings);
  std::string rootError = HostRootError(serverSettings);
  if (!rootError.empty()) return PrintError(rootError.c_str()), 1;
  // What a killed server left in the temporary folder goes now.
  RemoveLeftResponseFiles(serverSettings.tempFolder);
  if (serverSettings.localMode) printf("Local mode enabled.\n"), fflush(stdout);
  InstallStopSignals(StopServer);
  Debug("Starting up Windows Sockets...\n");
  if (!SocketsStartup()) return Fail("Error:  Startup error.\n", kInvalidSocket);
  Debug("Opening listening socket...\n");
  Socket listener = OpenListeningSocket();
  if (listener == kInvalidSocket) return Fail("Error:  Can't open listening socket.\n", listener);
  Debug("Binding local address...\n");
  // In local mode only this machine may connect, so the port is opened on
  // the loopback address alone.
  if (!BindSocket(listener, serverSettings.port, serverSettings.localMode)) {
    return Fail(BindFailure(serverSettings.port, LastSocketError()).c_str(), listener);
  }
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
