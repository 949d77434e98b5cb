// archvet: reports on standard output which files of one or more trees are
// not backed up yet (archive attribute set), in a multi-line, framed log or
// single-line form.
#pragma once

#include "shared/backup_report.h"

// The program: "/?" and "/!" as the first argument print help texts;
// returns the exit code (0 backed up, 1 backup needed).
int RunBackupCheck(int argc, char** argv);
// Options, filespecs and directories from argv[1] on; returns the exit code.
int CheckBackups(int argc, char** argv);

// The /S form: six heading lines, and one row for the names text.
void PrintColumnHeadings();
void PrintSingleLine(const BackupRun& run);
