// Finding a program by the Windows search rules over the PATH of either
// world, and starting the file found: what the command interpreter does with
// a command's name. A found file may lie outside every mapped drive, so it
// carries the host path the process calls start it by.
#pragma once

#include <string>
#include <vector>

#include "platform/process.h"

// A program or batch file found by LocateProgram.
struct ProgramFile {
  std::string path;    // full Windows path; empty when it is on no mapped drive
  std::string host;    // the host path, for the calls below
  bool batch = false;  // ".bat" or ".cmd": run by the command interpreter
};

// Looks for `name` as FindProgram describes: a name with a folder part as a
// path; a bare name in the current folder, each PATH entry, then the folder
// of this process's own program file.
bool LocateProgram(const std::string& name, ProgramFile* file);

// Reads a found batch file (binary). False when it cannot be read.
bool ReadProgramFile(const ProgramFile& file, std::string* text);

// Starts a found file as RunProgramDirect does; `name` is the program's name
// as written, its argv[0].
int RunProgramFile(const ProgramFile& file, const std::string& name,
                   const std::vector<std::string>& args, const ProcessOptions& options);
