// What archvet and archvetw do alike: take the options, filespecs and
// directories of a command line in order (walking each directory at once),
// keep the names text of the directories checked, and compose the report.
#pragma once

#include <string>

#include "platform/filetime.h"
#include "shared/backup_check.h"

constexpr size_t kNamesSize = 256;  // names text: 255 characters

// One run of a backup checker.
struct BackupRun {
  BackupState state;
  char names[kNamesSize] = {};  // last components of the directories, ", " between
  bool pathSeen = false;
  bool logForm = false;         // /L
  bool singleLine = false;      // /S (archvet only acts on it)
  char fullPath[kWalkPathSize] = {};
};

// Takes argv[1] .. argv[argc-1] in order: options, important filespecs and
// directories; each directory is checked at once, and "archvet.ini" is read
// at the first one.
void TakeBackupArguments(int argc, char** argv, BackupRun* run);

// Adds the last component of `fullPath` (or all of it when it has none) to
// the names text while it fits.
void AddDirectoryName(const char* fullPath, BackupRun* run);

// Checks the current directory (no "archvet.ini" is read).
void CheckCurrentDirectory(BackupRun* run);

// The multi-line report, with `indent` before the age, file and date lines;
// `framed` puts the line of '=' and the names text first. `agesAdded` tells
// whether an age paragraph was written.
struct BackupReport {
  std::string text;
  bool agesAdded = false;
};
BackupReport ComposeBackupReport(const BackupRun& run, const char* indent, bool framed);

// "Modified:  Sunday, March 4, 2040  12:05 AM" (without indent) for a local time.
std::string ModifiedText(const SystemTime& local);
