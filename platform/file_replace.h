// The one way programs put a new version of a file in place. The new text is
// written under a temporary name beside the file; the replace step flushes it
// to disk, gives it the old file's mode and owner and renames it over the old
// file in one step, so that a crash, a kill or a full disk leaves either the
// old file or the whole new one, never neither.
#pragma once

#include <cstdio>

// Opens the temporary file `temp` for writing the new version of a file
// (fopen mode "w", "wb" or "wt"). A file of that name that a killed run left
// behind is removed and made afresh; one that another running program is still
// writing is refused (null; LastErrorText says so). The name stays claimed by
// this process until ReplaceFile or DiscardReplacement take it, or the
// process ends.
FILE* CreateReplacement(const char* temp, const char* mode);

// Puts the finished file `temp` in the place of `target`:
// - the new file is flushed to disk first;
// - it takes the old file's owner and mode (never wider: permissions of a
//   group it could not be given are dropped) and its hidden flag;
// - it is renamed over the old file in one step; across devices it is first
//   copied beside the old file, then renamed;
// - a target that is a symbolic link is followed, and the file it names is
//   replaced; the link stays;
// - a target with several names (hard links) has the new content written
//   into it, so that every name shows the new version;
// - a read-only target or a directory is never replaced.
// A missing target is created. On failure the target is as it was and
// `temp` stays; LastErrorText says why.
bool ReplaceFile(const char* temp, const char* target);

// False when `target` exists and the replace step would refuse it: a
// read-only file, or no file at all (a directory). A missing target can be
// made.
bool IsReplaceable(const char* target);

// Deletes the temporary file of a new version that is not wanted, and
// releases its name.
bool DiscardReplacement(const char* temp);

// Closes `file` (opened by CreateReplacement of `temp`) and, when it was
// written whole (`written`, no stream error and a clean close), puts it in
// the place of `target`. Otherwise, or when the replace fails, the temporary
// file is deleted and `target` stays as it was. True when the new version
// is in place.
bool CommitReplacement(FILE* file, bool written, const char* temp, const char* target);
