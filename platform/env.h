// The process as a Windows program sees it: environment variables (names
// compared without regard to letter case), %NAME% expansion, the program's
// own file and the command line as one text.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Value of an environment variable, or null when it is not set. The name is
// looked up exactly first, then without regard to letter case.
const char* GetEnv(const char* name);
// Sets (or with a null value removes) a variable.
bool SetEnv(const char* name, const char* value);
// Every variable as "NAME=value", in the order the environment holds them.
std::vector<std::string> EnvironmentStrings();

// Expands each %NAME% by its value; an undefined name stays as written, and
// "%%" is not special. Writes into `buffer` of `size` (always terminated when
// size > 0) and returns the size the whole result needs, terminator included.
size_t ExpandEnvironment(const char* text, char* buffer, size_t size);
std::string ExpandEnvironmentString(const char* text);

// The program's own file as a full Windows path (from /proc/self/exe), so
// that what a program looks for beside itself is found wherever it is
// installed: a folder on no mapped drive is shown through a drive of its
// own, added to WEFTDRIVES (own_drive.h), so the first call belongs before
// any thread starts. Returns the length, or 0 when it does not fit or no
// drive letter is free.
size_t GetProgramFile(char* buffer, size_t size);
// The same only when a drive of the map holds the program's file, not a
// drive of this process's own: for a path that is written down for later
// runs, which would not have that drive. 0 otherwise.
size_t GetMappedProgramFile(char* buffer, size_t size);
// The program's file as the command that started it names it: `argv0` as a
// full Windows path when it names a folder (holds '\', '/' or ':') and leads
// to this very program; for a symbolic link, the link's own path. `argv0`
// is read as a host path (when it holds a '/') and as a Windows path; a
// folder on no mapped drive is shown as GetProgramFile shows one. "" when
// `argv0` is a bare name or names some other file.
std::string GetStartedProgramFile(const char* argv0);

// The command line as one text, for the programs that read it whole. Started
// by the command interpreter (a batch file, weftcmd /C), it is the line's own
// text exactly, as written there. Started from a Linux shell, it is rebuilt
// from the arguments, each as one word with its own quotes intact
// (CommandLineWord).
const char* GetCommandLineText();
// True when GetCommandLineText is the text the interpreter handed down; false
// when it was rebuilt from the arguments.
bool CommandLineFromInterpreter();
// One argument as a word of a command line: as it stands when a command-line
// reader already takes it as one word (no blank outside its own double
// quotes, not empty); otherwise in double quotes with each of its own quotes
// doubled, so that '<A HREF="x.htm">' arrives as '"<A HREF=""x.htm"">"'.
std::string CommandLineWord(const std::string& argument);
