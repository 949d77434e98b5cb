// Windows calls the setup tools need: the program search path, the drive
// list with drive types, short path names and the link test of tree walks.
#pragma once

#include <cstddef>
#include <string>

// Drive types as GetDriveType gives them.
constexpr int kDriveNoRootDir = 1;
constexpr int kDriveFixed = 3;

// SearchPath: looks for the file `name` in the program's own directory, the
// current directory, the system directories (%SystemRoot%\SYSTEM32,
// %SystemRoot%\SYSTEM and %SystemRoot%, with SystemRoot or windir, else
// C:\WINDOWS) and the ';'-separated directories of PATH, in that order.
// Writes the full path of the first regular file found into `buffer` and
// returns its length; 0 when none is found or the path does not fit.
size_t SearchProgramPath(const char* name, char* buffer, size_t size);

// GetLogicalDriveStrings: the letters of the mapped drives in order ("CD").
std::string GetLogicalDriveLetters();
// GetDriveType: kDriveFixed for a mapped drive whose folder exists,
// kDriveNoRootDir otherwise.
int GetDriveKind(char letter);

// GetShortPathName: 8.3 names are not kept, so the short form of an existing
// file or directory is its full path with each name in the case it is stored
// in. Returns the length; 0 when the path does not exist or does not fit.
size_t GetShortPath(const char* path, char* buffer, size_t size);

// True when the path is a symbolic link, the host's reparse point. Tree walks
// pass them by, so that a link loop cannot hold a walk.
bool IsReparsePoint(const char* path);
