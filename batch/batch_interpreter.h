// The suite's command interpreter, standing in for the Windows one: batch
// files and command lines with '@', %NAME%, %%, %0-%9, redirection ('>', '>>',
// '<', '2>', '2>&1', "NUL"), '&', '&&', '||', '^' escapes, echo, rem, set,
// cd/chdir, call (also "call :label"), exit [/b], goto and labels, if [not]
// exist / errorlevel / a==b, pause, copy, move, del/erase, md/mkdir, rd/rmdir,
// ren/rename and type. Programs are found as FindProgram finds them and are
// shown the line's own text as their command line.
//
// A line's syntax is found on its text as written, before %-expansion (see
// batch_syntax.h): an expanded value never adds a command, a redirection or
// an "if" body; it stays data.
//
// The program weftcmd runs it, for a user and for the platform's
// RunCommandLine. A command that is not found sets the error level 9009.
#pragma once

#include <string>
#include <vector>

namespace weft_batch {

// Runs one command line as "cmd /c" would; returns the error level at its end.
int RunLine(const std::string& commandLine);
// Runs the batch file `path` (found as a program is found: the current folder,
// then PATH; ".bat" may be left out) with its arguments as written (%1..%9);
// %0 is `path` as given. Returns the error level at its end.
int RunFile(const std::string& path, const std::vector<std::string>& args);
// Runs a batch file's text; `name` is its %0.
int RunBatchText(const std::string& text, const std::string& name,
                 const std::vector<std::string>& args);
// Reads command lines from standard input and runs each, with a prompt when
// it is a terminal, up to its end or "exit".
int RunInteractive();

// Splits an argument text into a program's arguments by the rules of its
// own start-up (blanks separate; quotes group, a doubled one inside quotes
// stands for a quote; backslashes before a quote escape it), with the one
// command-line splitter (cmdline.h).
std::vector<std::string> SplitArguments(const std::string& text);

}  // namespace weft_batch
