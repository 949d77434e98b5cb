// Request handling: URL mapping, content types, files, error pages, CGI.
#include "programs/localweb/request.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/clock.h"
#include "platform/env.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "programs/localweb/server.h"
#include "shared/chars.h"
#include "shared/string.h"
#include "shared/url/url.h"

namespace {

int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  char upper = ToUpper(c);
  return upper >= 'A' && upper <= 'F' ? upper - 'A' + 10 : -1;
}

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

// The decoded URL path stays inside the site: no drive, no part made of dots
// only ('..' and the like climb out of the mapped folders).
bool StaysInSite(const char* path) {
  if (strchr(path, ':')) return false;
  const char* part = path;
  for (const char* p = path;; ++p) {
    if (*p == '\\' || *p == '/' || *p == 0) {
      size_t length = static_cast<size_t>(p - part);
      if (length >= 2 && strspn(part, ".") >= length) return false;
      if (*p == 0) return true;
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

const char* Extension(const char* path) {
  const char* dot = nullptr;
  for (const char* p = path; *p; ++p) {
    if (*p == '.') dot = p;
    if (*p == '\\' || *p == '/' || *p == ':') dot = nullptr;
  }
  return dot ? dot : "";
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

long FileLength(FILE* file) {
  if (fseek(file, 0, SEEK_END) != 0) return -1;
  long length = ftell(file);
  fseek(file, 0, SEEK_SET);
  return length;
}

}  // namespace

String MapUrlToPath(const char* url, const ServerSettings& settings) {
  const char* query = strchr(url, '?');
  size_t length = query ? static_cast<size_t>(query - url) : strlen(url);
  if (EscapesControlByte(url, length)) return String();
  String raw(length + 1);
  memcpy(raw.Text(), url, length);
  String path = UrlToFileString(raw);
  if (path.IsNull()) path = String("");
  if (!StaysInSite(path)) return String();
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

void SendFile(Socket socket, bool headers, const char* path, const char* type,
              unsigned long bufferSize) {
  FILE* file = OpenFile(path, "rb");
  if (!file) return SendErrorStatus(socket, headers, 404);
  long length = FileLength(file);
  if (length <= 0) {
    fclose(file);
    return SendErrorStatus(socket, headers, length == 0 ? 204 : 404);
  }
  char header[1024];
  size_t headerLength = FormatResponseHeader(header, sizeof header, headers, 200, "OK",
                                             static_cast<unsigned long>(length), type);
  SendData(socket, header, static_cast<long>(headerLength));
  unsigned long size = bufferSize > 1024 ? bufferSize : 1024;
  char* buffer = new char[size];
  unsigned long left = static_cast<unsigned long>(length);
  while (left > 0) {
    unsigned long chunk = left < bufferSize ? left : bufferSize;
    if (fread(buffer, 1, chunk, file) == chunk) SendData(socket, buffer, static_cast<long>(chunk));
    else fputs("Error reading file.\n", stderr);
    left -= chunk;
  }
  delete[] buffer;
  fclose(file);
  CloseConnection(socket);
}

namespace {

// The program a CGI path names: a ".cgi" name stands for the ".exe" or
// ".bat" file beside it, else for the name without extension.
std::string CGIProgramPath(const char* path) {
  std::string script(path);
  const char* extension = Extension(path);
  if (!extension || CompareNoCase(extension, ".cgi") != 0) return script;
  std::string stem = script.substr(0, script.size() - strlen(extension));
  if (PathExists((stem + ".exe").c_str())) return stem + ".exe";
  if (PathExists((stem + ".bat").c_str())) return stem + ".bat";
  return stem;
}

// Characters that a command line would read as quoting or redirection.
bool HasIllegalPathChar(const std::string& path) {
  return path.find_first_of(" \"<>|") != std::string::npos;
}

// The folder a script runs in: its path up to the last separator, which is
// kept when it stands for a root ('\x.bat', 'c:\x.bat').
std::string ScriptFolder(const std::string& script) {
  size_t separator = script.find_last_of("\\/");
  if (separator == std::string::npos) return "";
  bool root = separator == 0 || script[separator - 1] == ':';
  return script.substr(0, root ? separator + 1 : separator);
}

// The folder for response files: TEMP, then TMP, else the current folder.
const char* TempFolder() {
  const char* folder = GetEnv("TEMP");
  if (!folder || !*folder) folder = GetEnv("TMP");
  return folder && *folder ? folder : ".";
}

}  // namespace

// Runs the program with the CGI variables in its own environment and the
// script's folder as its working folder, so neither the server's environment
// nor its current folder changes while other connections are served. The
// program is started directly with no argument: nothing from the request
// ever reaches a command line.
void RunCGIScript(Socket socket, bool headers, const char* path, const char* query) {
  if (strlen(path) > 259) return SendErrorPage(socket, headers, 400, "Bad CGI path \"%s\".", path);
  std::string script = CGIProgramPath(path);
  if (HasIllegalPathChar(script)) {
    return SendErrorPage(socket, headers, 400, "CGI path \"%s\" contains illegal characters.",
                         script.c_str());
  }
  std::string responseFile;
  if (!MakeTempFile(TempFolder(), "CGI", &responseFile)) {
    return SendErrorPage(socket, headers, 500, "Can't create response file.");
  }
  ProcessOptions options;
  options.workingDir = ScriptFolder(script);
  options.environment = {"REQUEST_METHOD=GET", std::string("QUERY_STRING=") + (query ? query : "")};
  options.outputFile = responseFile;
  if (RunProgramDirect(script.c_str(), {}, options) != 0) {
    SendErrorPage(socket, headers, 500, "Can't execute CGI script.");
  } else {
    SendFile(socket, headers, responseFile.c_str(), "*", Settings.bufferSize);
  }
  DeleteFile(responseFile.c_str());
}

void ServeUrl(Socket socket, bool headers, const char* url) {
  String path = MapUrlToPath(url, Settings);
  if (path.IsNull()) return SendErrorStatus(socket, headers, 403);
  String type = ContentTypeFor(path);
  if (!type.IsNull() && type.Text()[0] == '*') {
    const char* query = strchr(url, '?');
    return RunCGIScript(socket, headers, path, query ? query + 1 : nullptr);
  }
  SendFile(socket, headers, path, type, Settings.bufferSize);
}
