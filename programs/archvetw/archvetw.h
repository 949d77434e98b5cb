// archvetw: the backup check shown in a message box, for a start-up entry.
#pragma once

#include <string>
#include <vector>

// Splits a command line (the text after the program's name) as archvetw
// does: options and wildcard filespecs end at a blank; anything else takes
// the rest of the line, blanks included, so a path with blanks needs no
// quotes. At most 19 arguments.
std::vector<std::string> SplitWindowCommandLine(const char* line);

// The program: splits `line` and checks; returns the exit code.
int RunBackupCheckWindow(const char* line);
// Options, filespecs and directories from argv[1] on; shows the report and
// returns the exit code.
int CheckBackups(int argc, char** argv);
