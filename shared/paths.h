// Small functions on Windows path texts: existence tests, the extension and
// base-name pointers, the directory part, the drive prefix, the relative path
// between two places and an extension change that keeps the name's case.
// '\' is the separator; '/' and ':' count as well where said. Buffer sizes
// count the terminating zero byte.
#pragma once

#include <cstddef>

#include "shared/string.h"

// Size of the drive buffer of SplitDrive (31 characters and the zero byte).
constexpr size_t kDriveSize = 32;

// True when the path exists and is a directory.
bool DirExists(const char* path);
// True when the path exists, file or directory.
bool FileExists(const char* path);

// The extension of the path's base name: its last '.', or the terminating
// zero when the base name has none ('a.tar.gz' gives '.gz', 'a.b\c' none).
const char* Extension(const char* path);
char* Extension(char* path);
// Just past the last '\', '/' or ':'; the whole text when there is none.
const char* BaseName(const char* path);
char* BaseName(char* path);

// The path without its base name, into `buffer` of `size` (always terminated
// when size > 0). The separator before the base name goes too, unless it is
// the first or second character or follows ':', '/' or '\': 'c:\dir\file'
// gives 'c:\dir', 'c:\file' 'c:\', '\file' '\', 'file' '', 'dir\' 'dir'.
// Returns the buffer.
char* DirPart(const char* path, char* buffer, size_t size);

// With a ':' in the path: the text before the first ':' (cut to 31
// characters) goes into `drive` and the result points just past the ':'.
// Without: `drive` becomes empty and the result is the path itself.
const char* SplitDrive(const char* path, char (&drive)[kDriveSize]);

// The relative path from the directory `fromDir` to the file or directory
// `to` (both made full first), into `buffer` of `size`, without a trailing
// '\'; empty when both are the same place. Returns the buffer, or null when
// a path cannot be made full (buffer empty), when size is 0 (nothing
// written) or when `driveTest` is set and the two are on different drives
// (buffer holds the full `to` path).
char* RelativePath(const char* fromDir, const char* to, char* buffer, size_t size,
                   bool driveTest);

// Replaces the extension of the base name in `buffer` by `newExt` (appends
// it when the base name has none), keeping the whole text within `size`.
// When the base name holds no lower-case letter the new extension is turned
// to upper case: 'PICT0001.JPG' with ".htm" gives 'PICT0001.HTM'.
// Returns the buffer.
char* ChangeExtension(char* buffer, const char* newExt, size_t size);
// The same on a copy of `path` in a String of 260 bytes; a null path gives
// the empty String.
String ChangeExtensionString(const char* path, const char* newExt);
