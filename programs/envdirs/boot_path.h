// envdirs: adds a directory to, or removes it from, the PATH lines of the
// boot batch file "C:\AUTOEXEC.BAT", keeping the old file as "AUTOEXEC.OLD".
#pragma once

#include <cstdio>
#include <string>

#include "platform/drives.h"

// The directory to add or remove, in its two forms.
struct BootDirectory {
  char longPath[kMaxPath + 1] = {};
  char shortPath[kMaxPath + 1] = {};
};

// The start of the PATH value of a PATH line ("PATH x", "SET PATH=x",
// "@path x"), or null when the line sets no PATH.
const char* FindPathAssignment(const char* line);
// The first element of a PATH value that names the directory, or null.
const char* FindPathElement(const char* value, const char* longPath, const char* shortPath);

// Removes every element naming the directory from one line; true when one was
// removed. `drop` tells whether the line is left without a value of its own.
bool RemoveFromPathLine(std::string* line, const BootDirectory& directory, bool* drop);

// Write the edited copy of `input` (null when the boot file is missing) to
// `output`; true when the file changes. Write failures set `writeError`.
bool RemovePathElement(FILE* output, const BootDirectory& directory, FILE* input, bool* writeError);
bool PrependPathElement(FILE* output, const BootDirectory& directory, FILE* input, bool* writeError);

// Edits "C:\AUTOEXEC.BAT" for the directory; true when it was modified.
bool UpdateAutoexec(const char* directory, bool remove);

// The program on its arguments; returns the exit code.
int EditBootPath(int argc, char** argv);
