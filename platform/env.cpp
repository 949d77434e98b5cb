// Environment variables with Windows name rules, %NAME% expansion, the
// program's own file and the command line rebuilt as one text.
#include "platform/env.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>

#include "platform/ascii_case.h"
#include "platform/drives.h"
#include "platform/drives_host.h"
#include "platform/env_host.h"
#include "platform/errors_host.h"
#include "platform/host_io.h"
#include "platform/own_drive.h"

extern char** environ;

namespace {

// The entry of `entries` ("NAME=value" each) that holds variable `name`: the
// exact name first, then the first that differs only in letter case; `end`
// when none does. The one rule by which variables are found, in this
// process's environment and in one made for a program it starts.
template <typename Entry>
Entry FindVariable(Entry begin, Entry end, std::string_view name) {
  Entry other = end;
  for (Entry entry = begin; entry != end; ++entry) {
    std::string_view text(*entry);
    if (text.find('=') != name.size()) continue;
    std::string_view stored = text.substr(0, name.size());
    if (stored == name) return entry;
    if (other == end && SameNoCase(stored, name)) other = entry;
  }
  return other;
}

char** EnvironmentEnd() {
  char** end = environ;
  while (end && *end) ++end;
  return end;
}

// The name of the variable stored for `name` (exact first, then without
// regard to case); empty when none is set.
std::string StoredName(const char* name, size_t length) {
  char** end = EnvironmentEnd();
  char** found = FindVariable(environ, end, std::string_view(name, length));
  return found == end ? std::string() : std::string(*found, length);
}

const char* Lookup(const char* name, size_t length) {
  if (length == 0) return nullptr;
  std::string stored = StoredName(name, length);
  return stored.empty() ? nullptr : getenv(stored.c_str());
}

std::string Expand(const char* text) {
  std::string out;
  const char* p = text;
  while (*p) {
    const char* close = *p == '%' ? strchr(p + 1, '%') : nullptr;
    if (!close) {
      out += *p++;
      continue;
    }
    const char* value = Lookup(p + 1, static_cast<size_t>(close - p - 1));
    if (value) {
      out += value;
      p = close + 1;
    } else {
      // Left as written; the closing '%' may open the next name.
      out.append(p, close);
      p = close;
    }
  }
  return out;
}

// The arguments from /proc/self/cmdline, each as one command-line word.
std::string RebuildCommandLine() {
  std::ifstream file("/proc/self/cmdline", std::ios::binary);
  std::string raw((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::string line;
  size_t start = 0;
  while (start < raw.size()) {
    size_t end = raw.find('\0', start);
    if (end == std::string::npos) end = raw.size();
    if (start > 0) line += ' ';
    line += CommandLineWord(raw.substr(start, end - start));
    start = end + 1;
  }
  return line;
}

struct CommandLine {
  std::string text;
  bool fromInterpreter = false;
};

// The line the interpreter handed down, when it was meant for this process;
// the variable is removed either way so that no child inherits it.
CommandLine ReadCommandLine() {
  CommandLine line;
  line.fromInterpreter = weft_host::TakeOwnVariable(weft_host::kCommandLineVariable, &line.text);
  if (!line.fromInterpreter) line.text = RebuildCommandLine();
  return line;
}

const CommandLine& ProcessCommandLine() {
  static std::once_flag once;
  static CommandLine line;
  std::call_once(once, [] { line = ReadCommandLine(); });
  return line;
}

// The host path of this process's own program file (/proc/self/exe).
bool OwnExecutable(std::string* host) {
  char path[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) {
    weft_host::SetErrno(errno);
    return false;
  }
  host->assign(path, static_cast<size_t>(n));
  return true;
}

// True when the host path leads to this process's own program file (itself,
// or a symbolic link to it).
bool IsThisProgram(const std::string& host) {
  struct stat named, own;
  return stat(host.c_str(), &named) == 0 && stat("/proc/self/exe", &own) == 0 &&
         named.st_dev == own.st_dev && named.st_ino == own.st_ino;
}

// A host path relative to the host's current folder made absolute.
std::string AbsoluteHostPath(const std::string& host) {
  if (!host.empty() && host[0] == '/') return host;
  char* cwd = getcwd(nullptr, 0);
  std::string absolute = std::string(cwd ? cwd : "") + "/" + host;
  free(cwd);
  return absolute;
}

}  // namespace

namespace weft_host {

bool TakeOwnVariable(const char* name, std::string* text) {
  const char* handed = getenv(name);
  std::string value = handed ? handed : "";
  unsetenv(name);
  size_t colon = value.find(':');
  if (colon == std::string::npos || value.substr(0, colon) != std::to_string(getpid())) return false;
  *text = value.substr(colon + 1);
  return true;
}

std::vector<std::string> EnvironmentWith(const std::vector<std::string>& changes) {
  std::vector<std::string> env = EnvironmentStrings();
  for (const std::string& change : changes) {
    size_t equals = change.find('=', 1);
    if (equals == std::string::npos) continue;
    auto at = FindVariable(env.begin(), env.end(), std::string_view(change).substr(0, equals));
    bool remove = equals + 1 == change.size();
    if (at != env.end() && remove) env.erase(at);
    else if (at != env.end()) *at = at->substr(0, equals + 1) + change.substr(equals + 1);
    else if (!remove) env.push_back(change);
  }
  return env;
}

}  // namespace weft_host

std::vector<std::string> EnvironmentStrings() {
  std::vector<std::string> strings;
  for (char** entry = environ; entry && *entry; ++entry) strings.push_back(*entry);
  return strings;
}

const char* GetEnv(const char* name) {
  if (!name) return nullptr;
  return Lookup(name, strlen(name));
}

bool SetEnv(const char* name, const char* value) {
  if (!name || !*name || strchr(name, '=')) {
    weft_host::SetError("The parameter is incorrect.");
    return false;
  }
  std::string stored = StoredName(name, strlen(name));
  if (stored.empty()) stored = name;
  int result = value ? setenv(stored.c_str(), value, 1) : unsetenv(stored.c_str());
  if (result != 0) {
    weft_host::SetErrno(errno);
    return false;
  }
  return true;
}

size_t ExpandEnvironment(const char* text, char* buffer, size_t size) {
  std::string expanded = Expand(text ? text : "");
  if (buffer && size > 0) {
    size_t n = expanded.size() < size - 1 ? expanded.size() : size - 1;
    memcpy(buffer, expanded.data(), n);
    buffer[n] = '\0';
  }
  return expanded.size() + 1;
}

std::string ExpandEnvironmentString(const char* text) { return Expand(text ? text : ""); }

size_t GetProgramFile(char* buffer, size_t size) {
  std::string host;
  if (!OwnExecutable(&host)) return 0;
  std::string path = WindowsPathOnAnyDrive(host);
  if (path.empty()) {
    weft_host::SetError("The program's folder has no drive: " + host);
    return 0;
  }
  return weft_host::CopyPathOut(path, buffer, size);
}

size_t GetMappedProgramFile(char* buffer, size_t size) {
  std::string host;
  if (!OwnExecutable(&host)) return 0;
  std::string path;
  if (!WindowsPath(host.c_str(), &path)) return 0;
  if (IsDriveOfItsOwn(path[0])) {
    weft_host::SetError("The program's folder is on no drive of the map: " + host);
    return 0;
  }
  return weft_host::CopyPathOut(path, buffer, size);
}

std::string GetStartedProgramFile(const char* argv0) {
  if (!argv0 || !strpbrk(argv0, "\\/:")) return "";
  std::string host = argv0;
  if (host.find('/') != std::string::npos && IsThisProgram(host)) {
    return WindowsPathOnAnyDrive(AbsoluteHostPath(host));
  }
  std::string path = GetFullPathString(argv0);
  if (!path.empty() && HostPath(path.c_str(), &host) && IsThisProgram(host)) return path;
  return "";
}

const char* GetCommandLineText() { return ProcessCommandLine().text.c_str(); }

bool CommandLineFromInterpreter() { return ProcessCommandLine().fromInterpreter; }

std::string CommandLineWord(const std::string& argument) {
  bool quoted = false;
  bool blankOutside = argument.empty();
  for (char c : argument) {
    if (c == '"') quoted = !quoted;
    if (!quoted && (c == ' ' || c == '\t')) blankOutside = true;
  }
  if (!blankOutside) return argument;
  std::string word = "\"";
  for (char c : argument) {
    word += c;
    if (c == '"') word += '"';
  }
  return word + "\"";
}
