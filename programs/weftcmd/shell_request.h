// weftcmd's command line: what to run (one command line, a batch file, or the
// lines of standard input), read from the raw line the interpreter handed
// down or from the arguments a Linux shell gave.
#pragma once

#include <string>
#include <vector>

struct ShellRequest {
  enum class Mode { kInteractive, kLine, kFile, kHelp };
  Mode mode = Mode::kInteractive;
  std::string line;               // kLine: the command line to run
  std::string file;               // kFile: the batch file as given (%0)
  std::vector<std::string> args;  // kFile: its arguments as written (%1...)
};

// From a raw command line (`fromInterpreter`): "/C" takes the rest of the line
// as written (a first double quote and the last one are taken off, as the
// Windows interpreter does); a batch file's arguments are the words after it,
// quotes kept. From a Linux shell (`argv`): "/C" joins the arguments after it
// with blanks, so that `weftcmd /C 'copy "a b" c'` runs that line; a batch
// file's arguments are the shell's words as command-line words.
ShellRequest ReadShellRequest(int argc, char** argv, const std::string& rawLine, bool fromInterpreter);

// Runs weftcmd with its arguments; returns the exit code.
int RunShell(int argc, char** argv);
