// Starting programs and command lines in child processes, and finding
// programs by the Windows search rules.
#include "platform/process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "platform/batch_interpreter.h"
#include "platform/env.h"
#include "platform/files.h"
#include "platform/host.h"

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(const std::string& a, const char* b) {
  if (a.size() != strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

size_t BaseStart(const std::string& path) {
  size_t cut = path.find_last_of("\\/:");
  return cut == std::string::npos ? 0 : cut + 1;
}

// The extension of the file name, with its dot ("" when none).
std::string ExtensionOf(const std::string& path) {
  std::string base = path.substr(BaseStart(path));
  size_t dot = base.rfind('.');
  return dot == std::string::npos ? "" : base.substr(dot);
}

bool IsRegularFile(const std::string& path) {
  uint32_t attributes = GetAttributes(path.c_str());
  return attributes != kInvalidAttributes && !(attributes & kAttrDirectory);
}

// The names tried in one folder for a program name.
std::vector<std::string> Candidates(const std::string& name) {
  std::string extension = ExtensionOf(name);
  if (extension.empty()) return {name, name + ".exe", name + ".bat"};
  if (EqualsNoCase(extension, ".exe")) return {name, name.substr(0, name.size() - 4)};
  return {name};
}

bool FindIn(const std::string& folder, const std::string& name, std::string* path) {
  for (const std::string& candidate : Candidates(name)) {
    std::string full = folder.empty() ? candidate : folder + "\\" + candidate;
    if (!IsRegularFile(full)) continue;
    *path = GetFullPathString(full.c_str());
    if (!path->empty()) return true;
  }
  return false;
}

std::vector<std::string> PathFolders() {
  std::vector<std::string> folders;
  const char* value = GetEnv("PATH");
  std::string list = value ? value : "";
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    std::string folder = list.substr(start, end - start);
    if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"') {
      folder = folder.substr(1, folder.size() - 2);
    }
    if (!folder.empty()) folders.push_back(folder);
    start = end + 1;
  }
  return folders;
}

// Sets the child's environment, working directory and output. Returns an
// error text, empty on success.
std::string PrepareChild(const ProcessOptions& options) {
  for (const std::string& entry : options.environment) {
    size_t equals = entry.find('=', 1);
    if (equals == std::string::npos) continue;
    std::string name = entry.substr(0, equals);
    std::string value = entry.substr(equals + 1);
    SetEnv(name.c_str(), value.empty() ? nullptr : value.c_str());
  }
  if (!options.workingDir.empty() && !SetCurrentDir(options.workingDir.c_str())) {
    return std::string("Can't set the working directory: ") + LastErrorText();
  }
  if (options.outputFile.empty()) return "";
  std::string host;
  if (!HostPath(options.outputFile.c_str(), &host)) return LastErrorText();
  int fd = open(host.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return std::string("Can't create the output file: ") + strerror(errno);
  dup2(fd, 1);
  close(fd);
  return "";
}

void WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

std::string ReadAll(int fd) {
  std::string text;
  char buffer[256];
  for (;;) {
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return text;
    text.append(buffer, static_cast<size_t>(n));
  }
}

int WaitFor(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return kCannotStart;
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return kCannotStart;
}

// Forks; the child prepares itself and then runs `work`, which either execs
// (returning an error text when that fails) or does the job itself and exits.
// The child reports through a close-on-exec pipe: "E" and the text of a
// failure before the job starts, or "C" and the exit code of a job it ran.
int Spawn(const ProcessOptions& options, const std::function<std::string(int)>& work) {
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) {
    weft_host::SetErrno(errno);
    return kCannotStart;
  }
  fflush(nullptr);
  pid_t pid = fork();
  if (pid < 0) {
    weft_host::SetErrno(errno);
    close(report[0]);
    close(report[1]);
    return kCannotStart;
  }
  if (pid == 0) {
    close(report[0]);
    std::string error = PrepareChild(options);
    if (error.empty()) error = work(report[1]);
    WriteAll(report[1], "E" + (error.empty() ? std::string("failed") : error));
    _exit(127);
  }
  close(report[1]);
  std::string message = ReadAll(report[0]);
  close(report[0]);
  int code = WaitFor(pid);
  if (message.empty()) return code;
  if (message[0] == 'C') return atoi(message.c_str() + 1);
  weft_host::SetError(message.substr(1));
  return kCannotStart;
}

// Runs the interpreter in the child and ends the child with its result. The
// whole code goes back through the report pipe too, since an exit status holds
// only 8 bits and the interpreter's own codes (9009) are larger.
[[noreturn]] void FinishInterpreter(int report, const std::function<int()>& run) {
  int code = run();
  fflush(nullptr);
  WriteAll(report, "C" + std::to_string(code));
  _exit(code & 0xFF);
}

bool IsBuiltInInterpreter(const char* comspec) {
  if (!comspec || !*comspec) return true;
  std::string base = std::string(comspec).substr(BaseStart(comspec));
  return EqualsNoCase(base, "cmd.exe") || EqualsNoCase(base, "command.com") ||
         EqualsNoCase(base, "cmd") || EqualsNoCase(base, "command");
}

}  // namespace

bool FindProgram(const char* name, std::string* path) {
  std::string text = name ? name : "";
  if (text.empty()) return false;
  if (text.find_first_of("\\/:") != std::string::npos) return FindIn("", text, path);
  if (FindIn("", text, path)) return true;
  for (const std::string& folder : PathFolders()) {
    if (FindIn(folder, text, path)) return true;
  }
  return false;
}

int RunProgramDirect(const char* program, const std::vector<std::string>& args,
                     const ProcessOptions& options) {
  std::string path;
  if (!FindProgram(program, &path)) {
    weft_host::SetError(std::string("The system cannot find the file specified: ") +
                        (program ? program : ""));
    return kCannotStart;
  }
  if (EqualsNoCase(ExtensionOf(path), ".bat")) {
    return Spawn(options, [&](int report) -> std::string {
      FinishInterpreter(report, [&] { return weft_batch::RunFile(path, args); });
    });
  }
  std::string host;
  if (!HostPath(path.c_str(), &host)) return kCannotStart;
  return Spawn(options, [&](int) -> std::string {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    signal(SIGPIPE, SIG_DFL);
    execv(host.c_str(), argv.data());
    return std::string("Can't start \"") + path + "\": " + strerror(errno);
  });
}

int RunCommandLine(const char* commandLine, const ProcessOptions& options) {
  std::string line = commandLine ? commandLine : "";
  const char* comspec = GetEnv("COMSPEC");
  if (!IsBuiltInInterpreter(comspec)) return RunProgramDirect(comspec, {"/c", line}, options);
  return Spawn(options, [&](int report) -> std::string {
    FinishInterpreter(report, [&] { return weft_batch::RunLine(line); });
  });
}
