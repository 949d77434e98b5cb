// Background server runs and loopback clients for program tests.
#include "platform/testing/server_support.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

sockaddr_in Loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

int Connect(int port) {
  // The server may still be starting: retry a refused connection a bounded
  // number of times.
  for (int attempt = 0; attempt < 500; ++attempt) {
    int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(port);
    if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return s;
    close(s);
    usleep(10000);
  }
  return -1;
}

}  // namespace

int ConnectLoopback(int port) { return Connect(port); }

int FreeLoopbackPort() {
  int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address = Loopback(0);
  bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
  close(s);
  return ntohs(address.sin_port);
}

ServerProcess::ServerProcess(const std::string& program, const std::vector<std::string>& args,
                             const RunOptions& options) {
  char outTemplate[] = "/tmp/weft_server_outXXXXXX";
  char errTemplate[] = "/tmp/weft_server_errXXXXXX";
  int outFd = mkstemp(outTemplate);
  int errFd = mkstemp(errTemplate);
  outPath_ = outTemplate;
  errPath_ = errTemplate;
  std::string path = ProgramToRun(program);
  pid_ = fork();
  if (pid_ == 0) {
    int nullFd = open("/dev/null", O_RDONLY);
    dup2(nullFd, 0);
    dup2(outFd, 1);
    dup2(errFd, 2);
    PrepareChild(options);
    ExecProgram(path, args);
  }
  close(outFd);
  close(errFd);
}

ServerProcess::~ServerProcess() {
  if (pid_ > 0) Stop(SIGKILL);
  unlink(outPath_.c_str());
  unlink(errPath_.c_str());
}

RunResult ServerProcess::Collect(int status) {
  RunResult result;
  result.exitCode = ExitCodeOf(status);
  result.out = ReadHostFile(outPath_);
  result.err = ReadHostFile(errPath_);
  pid_ = -1;
  return result;
}

RunResult ServerProcess::Stop(int signal) {
  if (pid_ <= 0) return RunResult{};
  kill(pid_, signal);
  // A server that does not end on the signal is killed, so a test fails
  // instead of hanging.
  int status = 0;
  for (int i = 0; i < 3000; ++i) {
    if (waitpid(pid_, &status, WNOHANG) == pid_) return Collect(status);
    usleep(10000);
  }
  kill(pid_, SIGKILL);
  waitpid(pid_, &status, 0);
  return Collect(status);
}

RunResult ServerProcess::Wait(int seconds) {
  if (pid_ <= 0) return RunResult{};
  int status = 0;
  for (int i = 0; i < seconds * 100; ++i) {
    if (waitpid(pid_, &status, WNOHANG) == pid_) return Collect(status);
    usleep(10000);
  }
  return Stop(SIGKILL);
}

std::string Fetch(int port, const std::string& request) {
  std::string answer;
  int s = Connect(port);
  if (s < 0) return answer;
  send(s, request.data(), request.size(), MSG_NOSIGNAL);
  char buffer[4096];
  for (;;) {
    pollfd wait{s, POLLIN, 0};
    if (poll(&wait, 1, 30000) <= 0) break;
    ssize_t got = recv(s, buffer, sizeof buffer, 0);
    if (got <= 0) break;
    answer.append(buffer, static_cast<size_t>(got));
  }
  close(s);
  return answer;
}
