// galstart's one job: replace a placeholder file by the directory's rebuild
// batch file "refolio.bat", whose one line runs a given command.
#pragma once

// Runs galstart with its arguments ("/command path"); returns the exit code.
int WriteRebuildBatch(int argc, char** argv);
