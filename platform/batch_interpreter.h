// The built-in command interpreter behind RunCommandLine: the batch-file
// commands and syntax the suite's batch files and command lines use. Runs in
// the calling process (a child that RunCommandLine made for it).
#pragma once

#include <string>
#include <vector>

namespace weft_batch {

// Runs one command line as "cmd /c" would; returns the exit code of its last command.
int RunLine(const std::string& commandLine);
// Runs a batch file with its arguments (%0 is the file's name as given).
int RunFile(const std::string& path, const std::vector<std::string>& args);

// Splits an argument text into arguments by the Windows runtime's rules
// (blanks separate; quotes group; backslashes before a quote escape it).
std::vector<std::string> SplitArguments(const std::string& text);

}  // namespace weft_batch
