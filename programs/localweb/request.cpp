// Request handling: URL mapping, content types, files, error pages, CGI.
#include "programs/localweb/request.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/attributes.h"
#include "platform/clock.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "platform/filetime.h"
#include "platform/hex_digits.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "programs/localweb/connection.h"
#include "programs/localweb/response_files.h"
#include "programs/localweb/server_settings.h"
#include "shared/chars.h"
#include "shared/htmltext.h"
#include "shared/paths.h"
#include "shared/string.h"
#include "shared/url/url.h"

namespace {

// True when an escape in the URL decodes to a control byte, which would cut
// the path or hide part of it.
bool EscapesControlByte(const char* url, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    if (url[i] != '%' || i + 1 >= length || HexValue(url[i + 1]) < 0) continue;
    int value = HexValue(url[i + 1]);
    if (i + 2 < length && HexValue(url[i + 2]) >= 0) value = value * 16 + HexValue(url[i + 2]);
    if (value < 32 || value == 127) return true;
  }
  return false;
}

// Why a decoded URL path is not served: 403 when it would leave the site
// (a drive, a part made of dots only: '..' and the like climb out of the
// mapped folders), 404 when a part begins with '.' (".git", ".env",
// ".htaccess": private to the site's owner, so answered as if absent);
// 0 when it may be served.
unsigned RefusalOf(const char* path) {
  if (strchr(path, ':')) return 403;
  unsigned refusal = 0;
  const char* part = path;
  for (const char* p = path;; ++p) {
    if (*p == '\\' || *p == '/' || *p == 0) {
      size_t length = static_cast<size_t>(p - part);
      if (length >= 2 && strspn(part, ".") >= length) return 403;
      if (length >= 2 && part[0] == '.') refusal = 404;
      if (*p == 0) return refusal;
      part = p + 1;
    }
  }
}

String ApplyRules(String path, const ServerSettings& settings) {
  for (int i = 0; i < settings.ruleCount; ++i) {
    const UrlRule& rule = settings.rules[i];
    size_t length = static_cast<size_t>(rule.prefixLength);
    if (path.Length() < length || CompareNoCaseN(path, rule.prefix, length) != 0) continue;
    if (!rule.replacement.IsNull()) path = Concat(rule.replacement, path.Text() + length);
    else path = String(path.Text() + length);
    if (rule.stop) break;
  }
  return path;
}

struct FixedType {
  const char* extension;
  const char* type;
};

const FixedType kFixedTypes[] = {
    {".txt", "text/plain"}, {".htm", "text/html"},  {".html", "text/html"},
    {".jpg", "image/jpeg"}, {".jpeg", "image/jpeg"}, {".gif", "image/gif"},
    {".exe", "*"},          {".bat", "*"},          {".cgi", "*"},
};

const char* const kDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

}  // namespace

String MapUrlToPath(const char* url, const ServerSettings& settings, unsigned* refusal) {
  unsigned unused = 0;
  if (!refusal) refusal = &unused;
  *refusal = 403;
  const char* query = strchr(url, '?');
  size_t length = query ? static_cast<size_t>(query - url) : strlen(url);
  if (EscapesControlByte(url, length)) return String();
  String raw(length + 1);
  memcpy(raw.Text(), url, length);
  String path = UrlToFileString(raw);
  if (path.IsNull()) path = String("");
  if ((*refusal = RefusalOf(path)) != 0) return String();
  path = ApplyRules(path, settings);
  size_t pathLength = path.Length();
  char last = pathLength ? path.Text()[pathLength - 1] : 0;
  if (pathLength == 0 || last == '\\' || last == '/' || last == ':') path = Concat(path, "index.htm");
  return path;
}

const char* QueryContentType(const char* extension, char* buffer, size_t size) {
  RegistryKey key;
  if (!OpenRegistryKey(RegistryRootKey(RegistryRoot::kClassesRoot), extension, &key)) return nullptr;
  std::string data;
  bool found = QueryRegistryValue(key, "Content Type", &data);
  CloseRegistryKey(&key);
  if (!found || size == 0) return nullptr;
  CopyBounded(buffer, data.c_str(), size);
  return buffer;
}

String ContentTypeFor(const char* path) {
  const char* extension = Extension(path);
  if (!*extension) return String();
  for (const FixedType& fixed : kFixedTypes) {
    if (CompareNoCase(extension, fixed.extension) == 0) return String(fixed.type);
  }
  char buffer[64];
  return String(QueryContentType(extension, buffer, sizeof buffer));
}

const char* StatusText(unsigned status) {
  switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    case 501: return "Not Implemented";
    default: return "";
  }
}

size_t FormatResponseHeader(char* buffer, size_t size, bool headers, unsigned status,
                            const char* statusText, unsigned long length, const char* type) {
  if (!headers || size == 0) return 0;
  SystemTime now = FileTimeToSystem(FileTimeNow());
  bool typed = type && *type && *type != '*';
  bool cgi = type && *type == '*';
  int written = snprintf(buffer, size,
                         "HTTP/1.0 %03u %s\r\nServer: SERVER/1.0\r\n"
                         "Date: %3s, %02d %3s %04d %02d:%02d:%02d GMT\r\n"
                         "%s%s%sContent-Length: %lu\r\n%s",
                         status, statusText, kDayNames[now.dayOfWeek % 7], now.day,
                         kMonthNames[(now.month + 11) % 12], now.year, now.hour, now.minute,
                         now.second, typed ? "Content-Type: " : "", typed ? type : "",
                         typed ? "\r\n" : "", length, cgi ? "" : "\r\n");
  if (written < 0) return 0;
  return static_cast<size_t>(written) < size ? static_cast<size_t>(written) : size - 1;
}

String FormatErrorPage(bool headers, unsigned status, const char* message) {
  char body[1024];
  int bodyLength = snprintf(body, sizeof body,
                            "<HTML>\r\n<HEAD>\r\n<TITLE>Error</TITLE>\r\n</HEAD>\r\n<BODY>\r\n"
                            "<H1>Error %u</H1>\r\n%s\r\n%s%s</BODY>\r\n</HTML>\r\n",
                            status, StatusText(status), message ? "<P>\r\n" : "",
                            message ? message : "");
  if (bodyLength < 0) bodyLength = 0;
  if (static_cast<size_t>(bodyLength) >= sizeof body) bodyLength = sizeof body - 1;
  char answer[2048];
  size_t used = FormatResponseHeader(answer, sizeof answer, headers, status, StatusText(status),
                                     static_cast<unsigned long>(bodyLength), "text/html");
  CopyBounded(answer + used, body, sizeof answer - used);
  return String(answer);
}

void SendErrorPage(Socket socket, bool headers, unsigned status, const char* format, ...) {
  char message[768];
  if (format) {
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(message, sizeof message, format, arguments);
    va_end(arguments);
  }
  String page = FormatErrorPage(headers, status, format ? message : nullptr);
  SendAndClose(socket, page, static_cast<long>(page.Length()));
}

void SendErrorStatus(Socket socket, bool headers, unsigned status) {
  SendErrorPage(socket, headers, status, nullptr);
}

std::string HtmlText(const std::string& text) {
  String encoded = HtmlEncodePageString(text.c_str());
  return Chars(encoded);
}

namespace {

// Sends `length` bytes of the file from `offset`, straight from the file in
// pieces as large as the connection takes. A file that ends early is
// reported; what was sent stays sent.
void SendFileBytes(Socket socket, FileHandle file, uint64_t offset, uint64_t length) {
  constexpr uint64_t kPiece = 1 << 30;
  uint64_t end = offset + length;
  while (offset < end) {
    uint64_t count = end - offset < kPiece ? end - offset : kPiece;
    long long sent = TransmitFile(socket, file, offset, static_cast<size_t>(count));
    if (sent > 0) {
      offset += static_cast<uint64_t>(sent);
      continue;
    }
    if (sent == 0) {
      fputs("Error reading file.\n", stderr);
      return;
    }
    if (LastSocketError() != kSocketWouldBlock || !WaitToSend(socket)) return;
  }
}

// Sends the answer header for a 200 answer and then the file's bytes.
void SendHeaderAndFile(Socket socket, bool headers, FileHandle file, uint64_t size,
                       unsigned long length, const char* type) {
  char header[1024];
  size_t headerLength = FormatResponseHeader(header, sizeof header, headers, 200, "OK", length, type);
  SendData(socket, header, static_cast<long>(headerLength), true);
  SendFileBytes(socket, file, 0, size);
}

}  // namespace

// The file goes out in large pieces whatever the buffer size: the bytes are
// the same, and the buffer size only ever chose how many went at a time.
void SendFile(Socket socket, bool headers, const char* path, const char* type,
              unsigned long bufferSize) {
  (void)bufferSize;
  uint64_t size = 0;
  FileHandle file = OpenFileHandle(path, &size);
  if (file == kInvalidFile) return SendErrorStatus(socket, headers, 404);
  if (size == 0) {
    CloseFileHandle(file);
    return SendErrorStatus(socket, headers, 204);
  }
  SendHeaderAndFile(socket, headers, file, size, static_cast<unsigned long>(size), type);
  CloseConnection(socket);
  CloseFileHandle(file);
}

size_t CGIHeaderLength(const char* output, size_t length) {
  size_t line = 0;
  for (size_t i = 0; i < length; ++i) {
    if (output[i] != '\n') continue;
    size_t lineLength = i - line;
    if (lineLength == 0 || (lineLength == 1 && output[line] == '\r')) return i + 1;
    line = i + 1;
  }
  return 0;
}

namespace {

// The bytes of a CGI program's output that hold its header lines and the
// blank line after them (0 when they are not within the first 64 KB).
size_t CGIHeaderLengthOfFile(FileHandle file, uint64_t size) {
  std::string head(size < 65536 ? static_cast<size_t>(size) : 65536, '\0');
  if (!ReadFileHandle(file, 0, head.data(), head.size())) return 0;
  return CGIHeaderLength(head.data(), head.size());
}

// Sends a CGI program's output after the server's own header lines; the
// length counts the body after the program's header lines and blank line.
void SendCGIOutput(Socket socket, bool headers, const char* path) {
  uint64_t size = 0;
  FileHandle file = OpenFileHandle(path, &size);
  if (file == kInvalidFile) return SendErrorStatus(socket, headers, 404);
  size_t headerLength = size ? CGIHeaderLengthOfFile(file, size) : 0;
  if (size == 0) {
    SendErrorStatus(socket, headers, 204);
  } else if (headerLength == 0) {
    SendErrorPage(socket, headers, 500, "CGI script output has no header.");
  } else {
    SendHeaderAndFile(socket, headers, file, size,
                      static_cast<unsigned long>(size - headerLength), "*");
    CloseConnection(socket);
  }
  CloseFileHandle(file);
}

// A CGI program: its full path, and its path as the request's path and the
// rules give it, which the error pages show.
struct CGIProgram {
  std::string full;
  std::string shown;
};

// The program a CGI path names: a ".cgi" name stands for the ".exe" or
// ".bat" file beside it, else for the name without extension, but only when
// that name has none itself, as the suite's programs are built: "notes.txt"
// is never run as "notes.txt.cgi", whatever its permissions. False when the
// path names no program.
bool FindCGIProgram(const std::string& full, const std::string& shown, CGIProgram* program) {
  *program = {full, shown};
  const char* extension = Extension(full.c_str());
  if (CompareNoCase(extension, ".cgi") != 0) return true;
  size_t cut = strlen(extension);
  std::string stem = full.substr(0, full.size() - cut);
  std::string shownStem = shown.size() >= cut ? shown.substr(0, shown.size() - cut) : shown;
  for (const char* other : {".exe", ".bat"}) {
    if (PathExists((stem + other).c_str())) {
      *program = {stem + other, shownStem + other};
      return true;
    }
  }
  *program = {stem, shownStem};
  return !*Extension(stem.c_str());
}

bool IsRegularFile(const std::string& path) {
  uint32_t attributes = GetAttributes(path.c_str());
  return attributes != kInvalidAttributes && !(attributes & kAttrDirectory);
}

// Characters that a command line would read as quoting or redirection.
bool HasIllegalPathChar(const std::string& path) {
  return path.find_first_of(" \"<>|") != std::string::npos;
}

// True when the full path lies inside the folder (both full Windows paths).
bool IsInsideFolder(const std::string& path, const std::string& folder) {
  if (folder.empty() || path.size() <= folder.size()) return false;
  if (CompareNoCaseN(path.c_str(), folder.c_str(), folder.size()) != 0) return false;
  return folder.back() == '\\' || path[folder.size()] == '\\';
}

// True when a program at this full path may run as a CGI script: it lies in
// the folder the server was started in or in a Pass rule's target folder.
bool MayRunAsCGI(const std::string& path) {
  for (const std::string& folder : serverSettings.cgiFolders) {
    if (IsInsideFolder(path, folder)) return true;
  }
  return false;
}

// The folder a script runs in: its path up to the last separator, which is
// kept when it stands for a root ('c:\x.bat').
std::string ScriptFolder(const std::string& script) {
  size_t separator = script.find_last_of("\\/");
  if (separator == std::string::npos) return "";
  bool root = separator == 0 || script[separator - 1] == ':';
  return script.substr(0, root ? separator + 1 : separator);
}

// The error message for a CGI run that did not end well.
const char* CGIFailure(int result) {
  if (result == kTimedOut) return "CGI script did not finish in time.";
  if (result == kOutputTooLarge) return "CGI script output is too large.";
  return "Can't execute CGI script.";
}

// A path from the root of the current drive with that drive named: the
// server never changes its current folder, so the drive is the one it was
// started on, and the path need not be looked up against the current folder.
String OnStartDrive(const String& path) {
  const char* text = path.Text();
  if (!text) return path;
  bool rooted = (text[0] == '\\' || text[0] == '/') && text[1] != '\\' && text[1] != '/';
  if (!rooted || serverSettings.startFolder.size() < 2) return path;
  return Concat(serverSettings.startFolder.substr(0, 2).c_str(), text);
}

}  // namespace

// Runs the program with the CGI variables in its own environment and the
// script's folder as its working folder, so neither the server's environment
// nor its current folder changes while other connections are served. The
// program is started directly with no argument: nothing from the request
// ever reaches a command line, and a batch file sees the query only in its
// environment. Only programs inside the site's own folders run.
void RunCGIScript(Socket socket, bool headers, const char* path, const char* query) {
  std::string full = strlen(path) > 259 ? "" : GetFullPathString(OnStartDrive(path));
  if (full.empty()) {
    return SendErrorPage(socket, headers, 400, "Bad CGI path \"%s\".", HtmlText(path).c_str());
  }
  if (!MayRunAsCGI(full)) return SendErrorStatus(socket, headers, 403);
  CGIProgram program;
  if (!FindCGIProgram(full, path, &program)) return SendErrorStatus(socket, headers, 404);
  const std::string& script = program.full;
  if (!IsRegularFile(script)) {
    return SendErrorPage(socket, headers, 400, "Bad CGI path \"%s\".", HtmlText(program.shown).c_str());
  }
  if (HasIllegalPathChar(script)) {
    return SendErrorPage(socket, headers, 400, "CGI path \"%s\" contains illegal characters.",
                         HtmlText(program.shown).c_str());
  }
  std::string responseFile;
  if (serverSettings.tempFolder.empty() ||
      !MakeTempFile(serverSettings.tempFolder.c_str(), ResponseFilePrefix().c_str(), &responseFile)) {
    return SendErrorPage(socket, headers, 500, "Can't create response file.");
  }
  ProcessOptions options;
  options.workingDir = ScriptFolder(script);
  options.environment = {"REQUEST_METHOD=GET", std::string("QUERY_STRING=") + (query ? query : "")};
  options.outputFile = responseFile;
  options.timeLimitMs = serverSettings.cgiTimeLimit * 1000;
  options.outputLimit = kCGIOutputLimit;
  int result = RunProgramDirect(script.c_str(), {}, options);
  if (result != 0) {
    SendErrorPage(socket, headers, 500, "%s", CGIFailure(result));
  } else {
    SendCGIOutput(socket, headers, responseFile.c_str());
  }
  DeleteFile(responseFile.c_str());
}

void ServeUrl(Socket socket, bool headers, const char* url) {
  unsigned refusal = 0;
  String mapped = MapUrlToPath(url, serverSettings, &refusal);
  if (mapped.IsNull()) return SendErrorStatus(socket, headers, refusal);
  String type = ContentTypeFor(mapped);
  if (!type.IsNull() && type.Text()[0] == '*') {
    const char* query = strchr(url, '?');
    return RunCGIScript(socket, headers, mapped, query ? query + 1 : nullptr);
  }
  SendFile(socket, headers, OnStartDrive(mapped), type, serverSettings.bufferSize);
}
