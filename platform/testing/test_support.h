// Test helpers: a temporary folder mapped as drive C: (WEFTDRIVES=C=<folder>)
// and a runner that starts a built program as a user would.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/filetime.h"

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

// For the life of the object: a fresh temporary folder, WEFTDRIVES mapping it
// as C:, and the process's current directory inside it. Restores both after.
// The user's WEFTLOG names a file of the user's own drives, which this drive
// replaces, so it is removed for the same time: the programs under test keep
// to the drive and their messages stay out of the user's log.
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
  // Makes `relative` a symbolic link to `target` (as written: '../a').
  void Link(const std::string& relative, const std::string& target) const;
  // Sorted list of the files below a folder, relative, '/' separated.
  std::vector<std::string> Files(const std::string& relative = "") const;
  // Makes `relative` (inside the drive) the current directory.
  void Chdir(const std::string& relative) const;

 private:
  std::string root_;
  std::string oldCwd_;
  std::string oldDrives_;
  bool hadDrives_ = false;
  ScopedEnvironment userVariables_;
};

// Stops the platform's clock at `time` for the life of the object; Set moves
// it. The real clock runs again after.
class FixedClock {
 public:
  explicit FixedClock(FileTime time) { FixClock(time); }
  ~FixedClock() { ReleaseClock(); }
  FixedClock(const FixedClock&) = delete;
  FixedClock& operator=(const FixedClock&) = delete;

  void Set(FileTime time) { FixClock(time); }
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

// Runs a dialog program headless in the drive: `script`, written to the
// drive's "script.txt", plays the user (WEFTDIALOGSCRIPT), and the
// transcript goes to the drive's "log.txt" (WEFTDIALOGLOG), emptied first.
RunResult RunDialogScript(const TempDrive& drive, const std::string& program,
                          const std::vector<std::string>& args, const std::string& script);

// What the runners here (RunProgram, ServerProcess, RunProgramKilledAt)
// share to start a program.
//
// The file to run for `program`: a built program's name, or a path with '/'
// as it stands.
std::string ProgramToRun(const std::string& program);
// In the child just forked: enters `options.cwd` (exit 126 when it cannot)
// and removes and sets the variables of `options`.
void PrepareChild(const RunOptions& options);
// In the child: runs `path` with `args` after its name (exit 127 when it
// cannot be started).
[[noreturn]] void ExecProgram(const std::string& path, const std::vector<std::string>& args);
// A wait status as RunResult::exitCode gives it.
int ExitCodeOf(int status);

// The contents of a host file; empty when it cannot be read.
std::string ReadHostFile(const std::string& path);

// One argument quoted by the C runtime's rules (backslashes escape quotes),
// as a command line gives a program an argument that its start-up splits
// back (kArgProgramArgv, cmdline.h).
std::string QuoteArgument(const std::string& argument);
