// Running programs the Windows way: a command line through the command
// interpreter that COMSPEC names, or a program started directly with its own
// arguments, environment, working directory and redirected output.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// How a started program runs. Empty fields inherit from this process.
struct ProcessOptions {
  std::string workingDir;                // Windows path; empty: the current directory
  std::vector<std::string> environment;  // "NAME=value" added or replacing (name
                                         // without regard to case); "NAME=" removes
  std::string outputFile;                // Windows path standard output is written
                                         // to (created or replaced); empty: inherited
  std::string commandLine;               // the command line as one text that the
                                         // program sees (GetCommandLineText); empty:
                                         // rebuilt from its arguments
  // Limits for programs run on behalf of others (0: none). Past either, the
  // program and everything it started are ended at once.
  int timeLimitMs = 0;        // wall-clock time from the start
  uint64_t outputLimit = 0;   // bytes that may be written to any one file
};

// The exit code of a program that could not be started at all.
constexpr int kCannotStart = -1;
// The results of a program ended by its time or output limit.
constexpr int kTimedOut = -2;
constexpr int kOutputTooLarge = -3;

// Resolves a program name as Windows does: a name with a folder part is taken
// as a path; a bare name is looked for in the current folder, then in each
// PATH entry, then in the folder of this process's own program file (so the
// suite's programs find each other). PATH holds Windows paths separated by
// ';'; a piece that begins with '/' is a list of host folders separated by
// ':', as the Linux shell has it ("/usr/bin:/bin"). In each place the name as
// given, then with ".exe", then with ".bat" is tried, without regard to letter
// case; a name ending in ".exe" also finds the file without it (built programs
// have no extension here). Gives the full Windows path of the regular file
// found; false when there is none, or when it lies on no mapped drive.
bool FindProgram(const char* name, std::string* path);

// Starts a program (found as FindProgram finds it, on a mapped drive or not;
// a ".bat" or ".cmd" file runs in the command interpreter, as "weftcmd FILE
// ARGS" runs it) with `args` as its arguments after the program name, waits
// for it and returns its exit code, or kCannotStart (LastErrorText says why).
// No interpreter sees a program's arguments, so they need no quoting.
int RunProgramDirect(const char* program, const std::vector<std::string>& args,
                     const ProcessOptions& options = {});

// Ends at once every program started with a limit that is still running,
// with everything it started (for a server that stops while it waits); one
// that starts from then on is ended as soon as it runs.
void EndLimitedPrograms();

// This process's number, and whether the process of a number still runs
// (one of another user does; one that has ended but is not yet collected
// does not): what files named after a process tell about their owner.
int CurrentProcessId();
bool ProcessIsRunning(int pid);

// Runs a command line through the command interpreter, as the C runtime's
// system() does, waits and returns the exit code of its last command (or
// kCannotStart). When COMSPEC is unset or names CMD.EXE or COMMAND.COM, the
// suite's own interpreter runs it: the program weftcmd beside this process's
// own program file, as "weftcmd /c LINE", and its whole error level comes
// back, also one wider than an exit status (9009). Any other COMSPEC program
// is started with "/c" and the command line. The interpreter runs in a
// process of its own, so its set and cd never change the caller's
// environment or current directory.
int RunCommandLine(const char* commandLine, const ProcessOptions& options = {});

// The interpreter's side of RunCommandLine (and of a batch file started
// directly): when this process was started so, its caller takes the whole
// error level from a channel it left. TakeErrorLevelChannel takes the
// channel out of the environment, so that no listing of the variables shows
// it and no program started inherits it: call it first thing.
// HandBackErrorLevel hands the level over at the end; without a channel it
// does nothing.
void TakeErrorLevelChannel();
void HandBackErrorLevel(int level);
