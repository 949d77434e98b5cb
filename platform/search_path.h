// SearchPath: where Windows looks for a file that a program names without a
// folder (the program's own folder, the current one, the system folders and
// PATH).
#pragma once

#include <cstddef>

// Looks for the file `name` in the program's own directory (when a drive of
// the map holds it), the current directory, the system directories
// (%SystemRoot%\SYSTEM32, %SystemRoot%\SYSTEM and %SystemRoot%, with
// SystemRoot or windir, else C:\WINDOWS) and the ';'-separated directories
// of PATH, in that order. Writes the full path of the first regular file
// found into `buffer` and returns its length; 0 when none is found or the
// path does not fit.
size_t SearchProgramPath(const char* name, char* buffer, size_t size);
