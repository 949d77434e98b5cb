// taglist's run: the keyword database on standard input sorted by keyword
// and written in the form the command line asks for.
#pragma once

// Runs taglist for the raw command line (the program's name first); returns
// the exit code.
int RunTaglist(const char* commandLine);
