// Finding a program by the Windows search rules over the PATH of either
// world (program_search.cpp); the process module starts a file found that
// way. Platform sources only: a found file may lie outside every mapped
// drive, so it carries its host path.
#pragma once

#include <string>
#include <vector>

#include "platform/process.h"

namespace weft_host {

// A program or batch file found by LocateProgram.
struct ProgramFile {
  std::string path;    // full Windows path; empty when it is on no mapped drive
  std::string host;    // host path
  bool batch = false;  // ".bat" or ".cmd": run by the batch interpreter
};

// Looks for `name` as FindProgram describes: a name with a folder part as a
// path; a bare name in the current folder, each PATH entry, then the folder
// of this process's own program file.
bool LocateProgram(const std::string& name, ProgramFile* file);

// Reads a found batch file (binary). False when it cannot be read.
bool ReadProgramFile(const ProgramFile& file, std::string* text);

// Starts a found file as RunProgramDirect does; `name` is the program's name as
// written, its argv[0] (and %0 of a batch file).
int RunProgramFile(const ProgramFile& file, const std::string& name,
                   const std::vector<std::string>& args, const ProcessOptions& options);

// The environment variable that hands a program the command line it was
// started with, as "<process id>:<line>"; only the process with that id takes
// it (see CommandLineFromInterpreter).
constexpr char kCommandLineVariable[] = "WEFTCMDLINE";

}  // namespace weft_host
