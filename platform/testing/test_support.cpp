#include "platform/testing/test_support.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/drives.h"

#ifndef WEFT_BIN_DIR
#define WEFT_BIN_DIR "build/bin"
#endif

namespace {

void MakeDirs(const std::string& path) {
  for (size_t i = 1; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') mkdir(path.substr(0, i).c_str(), 0755);
  }
}

void RemoveTree(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return;
  if (S_ISDIR(st.st_mode)) {
    chmod(path.c_str(), 0755);
    if (DIR* d = opendir(path.c_str())) {
      while (dirent* e = readdir(d)) {
        if (!strcmp(e->d_name, ".") || !strcmp(e->d_name, "..")) continue;
        RemoveTree(path + "/" + e->d_name);
      }
      closedir(d);
    }
    rmdir(path.c_str());
  } else {
    unlink(path.c_str());
  }
}

void ListFiles(const std::string& base, const std::string& rel, std::vector<std::string>* out) {
  DIR* d = opendir((base + rel).c_str());
  if (!d) return;
  while (dirent* e = readdir(d)) {
    if (!strcmp(e->d_name, ".") || !strcmp(e->d_name, "..")) continue;
    std::string name = rel.empty() ? e->d_name : rel + "/" + e->d_name;
    struct stat st;
    if (lstat((base + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
      ListFiles(base, name, out);
    } else {
      out->push_back(name);
    }
  }
  closedir(d);
}

}  // namespace

ScopedEnvironment::~ScopedEnvironment() {
  for (auto& [name, value] : saved_) {
    if (value.first) setenv(name.c_str(), value.second.c_str(), 1);
    else unsetenv(name.c_str());
  }
}

void ScopedEnvironment::Set(const std::string& name, const char* value) {
  const char* old = getenv(name.c_str());
  if (!saved_.count(name)) saved_[name] = {old != nullptr, old ? old : ""};
  if (value) setenv(name.c_str(), value, 1);
  else unsetenv(name.c_str());
}

TempDrive::TempDrive() {
  char tmpl[] = "/tmp/weftdrive.XXXXXX";
  if (!mkdtemp(tmpl)) throw std::runtime_error("mkdtemp failed");
  char real[PATH_MAX];
  root_ = realpath(tmpl, real) ? real : tmpl;
  char cwd[PATH_MAX];
  if (getcwd(cwd, sizeof cwd)) oldCwd_ = cwd;
  if (const char* d = getenv("WEFTDRIVES")) {
    hadDrives_ = true;
    oldDrives_ = d;
  }
  setenv("WEFTDRIVES", ("C=" + root_).c_str(), 1);
  userVariables_.Set("WEFTLOG", nullptr);
  if (chdir(root_.c_str()) != 0) throw std::runtime_error("chdir failed");
  ForgetCurrentDir();
}

TempDrive::~TempDrive() {
  if (!oldCwd_.empty() && chdir(oldCwd_.c_str()) != 0) {
  }
  ForgetCurrentDir();
  if (hadDrives_) {
    setenv("WEFTDRIVES", oldDrives_.c_str(), 1);
  } else {
    unsetenv("WEFTDRIVES");
  }
  RemoveTree(root_);
}

std::string TempDrive::Host(const std::string& relative) const {
  return relative.empty() ? root_ : root_ + "/" + relative;
}

std::string TempDrive::Win(const std::string& relative) const {
  std::string path = "C:\\" + relative;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

void TempDrive::Write(const std::string& relative, const std::string& content) const {
  std::string path = Host(relative);
  size_t slash = path.rfind('/');
  MakeDirs(path.substr(0, slash));
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f << content;
}

std::string TempDrive::Read(const std::string& relative) const { return ReadHostFile(Host(relative)); }

bool TempDrive::Exists(const std::string& relative) const {
  return access(Host(relative).c_str(), F_OK) == 0;
}

void TempDrive::MakeDir(const std::string& relative) const { MakeDirs(Host(relative)); }

void TempDrive::Link(const std::string& relative, const std::string& target) const {
  std::string host = Host(relative);
  MakeDirs(host.substr(0, host.rfind('/')));
  if (symlink(target.c_str(), host.c_str()) != 0) throw std::runtime_error("symlink failed");
}

std::vector<std::string> TempDrive::Files(const std::string& relative) const {
  std::vector<std::string> out;
  std::string base = Host(relative) + "/";
  ListFiles(base, "", &out);
  std::sort(out.begin(), out.end());
  return out;
}

void TempDrive::Chdir(const std::string& relative) const {
  if (chdir(Host(relative).c_str()) != 0) throw std::runtime_error("chdir failed: " + relative);
  ForgetCurrentDir();
}

bool ProcessEnded(int pid) {
  for (int i = 0; i < 200; ++i) {
    FILE* file = fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "r");
    if (!file) return true;
    char buffer[512] = {};
    size_t got = fread(buffer, 1, sizeof buffer - 1, file);
    fclose(file);
    const char* close = strrchr(buffer, ')');
    if (got == 0 || (close && close[1] == ' ' && close[2] == 'Z')) return true;
    usleep(10000);
  }
  return false;
}

std::string ProgramPath(const std::string& program) { return std::string(WEFT_BIN_DIR) + "/" + program; }

std::string ProgramToRun(const std::string& program) {
  return program.find('/') == std::string::npos ? ProgramPath(program) : program;
}

void PrepareChild(const RunOptions& options) {
  if (!options.cwd.empty() && chdir(options.cwd.c_str()) != 0) _exit(126);
  for (const auto& name : options.unset) unsetenv(name.c_str());
  for (const auto& [name, value] : options.env) setenv(name.c_str(), value.c_str(), 1);
}

void ExecProgram(const std::string& path, const std::vector<std::string>& args) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(path.c_str()));
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  execv(path.c_str(), argv.data());
  _exit(127);
}

int ExitCodeOf(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

std::string ReadHostFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

namespace {

// Reads both pipes until the child closes them, feeding standard input.
void Pump(int outFd, int errFd, int inFd, const std::string& input, RunResult* result,
          std::chrono::steady_clock::time_point deadline, pid_t pid) {
  size_t written = 0;
  if (inFd >= 0 && input.empty()) {
    close(inFd);
    inFd = -1;
  }
  char buffer[65536];
  while (outFd >= 0 || errFd >= 0) {
    pollfd fds[3];
    int n = 0;
    if (outFd >= 0) fds[n++] = {outFd, POLLIN, 0};
    if (errFd >= 0) fds[n++] = {errFd, POLLIN, 0};
    if (inFd >= 0) fds[n++] = {inFd, POLLOUT, 0};
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
    if (left <= 0) {
      kill(pid, SIGKILL);
      break;
    }
    if (poll(fds, n, static_cast<int>(std::min<long long>(left, 1000))) < 0 && errno != EINTR) break;
    for (int i = 0; i < n; ++i) {
      if (!fds[i].revents) continue;
      int fd = fds[i].fd;
      if (fd == inFd) {
        ssize_t w = write(inFd, input.data() + written, input.size() - written);
        if (w > 0) written += static_cast<size_t>(w);
        if (w < 0 || written >= input.size()) {
          close(inFd);
          inFd = -1;
        }
        continue;
      }
      ssize_t r = read(fd, buffer, sizeof buffer);
      if (r > 0) {
        (fd == outFd ? result->out : result->err).append(buffer, static_cast<size_t>(r));
      } else if (r == 0 || errno != EINTR) {
        close(fd);
        if (fd == outFd) outFd = -1; else errFd = -1;
      }
    }
  }
  if (inFd >= 0) close(inFd);
  if (outFd >= 0) close(outFd);
  if (errFd >= 0) close(errFd);
}

}  // namespace

RunResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                     const RunOptions& options) {
  RunResult result;
  int outPipe[2], errPipe[2], inPipe[2];
  if (pipe(outPipe) || pipe(errPipe) || pipe(inPipe)) return result;
  signal(SIGPIPE, SIG_IGN);
  std::string path = ProgramToRun(program);
  pid_t pid = fork();
  if (pid == 0) {
    dup2(inPipe[0], 0);
    dup2(outPipe[1], 1);
    dup2(errPipe[1], 2);
    for (int fd : {inPipe[0], inPipe[1], outPipe[0], outPipe[1], errPipe[0], errPipe[1]}) close(fd);
    PrepareChild(options);
    ExecProgram(path, args);
  }
  close(inPipe[0]);
  close(outPipe[1]);
  close(errPipe[1]);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.timeoutSeconds);
  Pump(outPipe[0], errPipe[0], inPipe[1], options.input, &result, deadline, pid);
  int status = 0;
  waitpid(pid, &status, 0);
  result.exitCode = ExitCodeOf(status);
  return result;
}

RunResult RunDialogScript(const TempDrive& drive, const std::string& program,
                          const std::vector<std::string>& args, const std::string& script) {
  drive.Write("script.txt", script);
  drive.Write("log.txt", "");
  RunOptions options;
  options.env["WEFTDIALOGSCRIPT"] = drive.Win("script.txt");
  options.env["WEFTDIALOGLOG"] = drive.Win("log.txt");
  return RunProgram(program, args, options);
}

std::string QuoteArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) return argument;
  std::string out = "\"";
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are doubled, and the quote escaped.
    out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  // Backslashes before the closing quote are doubled as well.
  out.append(backslashes * 2, '\\');
  out += '"';
  return out;
}
