// Test helpers: a temporary folder mapped as drive C: (WEFTDRIVES=C=<folder>)
// and a runner that starts a built program as a user would.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

// For the life of the object: a fresh temporary folder, WEFTDRIVES mapping it
// as C:, and the process's current directory inside it. Restores both after.
class TempDrive {
 public:
  TempDrive();
  ~TempDrive();
  TempDrive(const TempDrive&) = delete;
  TempDrive& operator=(const TempDrive&) = delete;

  // Host path of a path relative to the drive root ('a/b.htm').
  std::string Host(const std::string& relative = "") const;
  // Windows path of the same: 'C:\a\b.htm'.
  std::string Win(const std::string& relative = "") const;

  // Writes a file (making its folders); binary, byte for byte.
  void Write(const std::string& relative, const std::string& content) const;
  std::string Read(const std::string& relative) const;  // empty when missing
  bool Exists(const std::string& relative) const;
  void MakeDir(const std::string& relative) const;
  // Sorted list of the files below a folder, relative, '/' separated.
  std::vector<std::string> Files(const std::string& relative = "") const;
  // Makes `relative` (inside the drive) the current directory.
  void Chdir(const std::string& relative) const;

 private:
  std::string root_;
  std::string oldCwd_;
  std::string oldDrives_;
  bool hadDrives_ = false;
};

// Sets or removes environment variables for the life of the object and puts
// back what they were.
class ScopedEnvironment {
 public:
  ScopedEnvironment() = default;
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  // Sets `name` to `value`; a null value removes it.
  void Set(const std::string& name, const char* value);

 private:
  std::map<std::string, std::pair<bool, std::string>> saved_;  // had it, its value
};

struct RunResult {
  int exitCode = -1;  // the program's exit code; 128 + signal when killed
  std::string out;
  std::string err;
};

struct RunOptions {
  std::string cwd;         // host folder to run in (default: current)
  std::string input;       // standard input text (empty: /dev/null-like)
  std::map<std::string, std::string> env;  // added or replaced variables
  std::vector<std::string> unset;           // variables to remove
  int timeoutSeconds = 60;
};

// Runs build/bin/<program> with the arguments. WEFTDRIVES is passed on from
// this process unless `options.env` sets it.
RunResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                     const RunOptions& options = {});

// Host path of a built program.
std::string ProgramPath(const std::string& program);

// True when process `pid` has ended (gone, or a zombie waiting to be
// collected by its new parent), waiting up to two seconds for a kill to land.
bool ProcessEnded(int pid);
