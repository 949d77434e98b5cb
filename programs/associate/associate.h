// associate: file-type associations in the registry from a small command
// language, one command from the command line or one per line of a file.
#pragma once

// Runs the program on its command line (program name first); returns the
// exit code.
int RunAssociations(const char* commandLine);
// Runs one command; true on success.
bool RunAssociateCommand(const char* text);
void PrintAssociateUsage();
