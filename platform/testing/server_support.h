// Test helpers for a built server program: start it in the background,
// talk to it over the loopback address, stop it with a signal.
#pragma once

#include <string>
#include <vector>

#include "platform/testing/test_support.h"

// A free TCP port on 127.0.0.1 (bound and released again).
int FreeLoopbackPort();

class ServerProcess {
 public:
  // Starts build/bin/<program> with the arguments in `options.cwd`, its
  // standard output and error going to files.
  ServerProcess(const std::string& program, const std::vector<std::string>& args,
                const RunOptions& options = {});
  ~ServerProcess();  // stops it when still running
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  // Sends SIGTERM (or `signal`) and waits for the end: exit code and output
  // (killed after 30 seconds).
  RunResult Stop(int signal = 15);
  // Waits for the program to end by itself (bounded by a kill after
  // `seconds`).
  RunResult Wait(int seconds = 30);
  int Pid() const { return pid_; }

 private:
  RunResult Collect(int status);
  int pid_ = -1;
  std::string outPath_, errPath_;
};

// Connects to 127.0.0.1:port (retrying while the server starts), sends
// `request` and returns everything the server sends until it closes.
std::string Fetch(int port, const std::string& request);
// A socket connected to 127.0.0.1:port (retrying while the server starts),
// or -1.
int ConnectLoopback(int port);
