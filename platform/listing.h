// find-first/next: the entries of a directory that match a Windows
// wildcard pattern, in the order NTFS lists them.
#pragma once

#include <cstdint>

#include "platform/drives.h"
#include "platform/filetime.h"

// One entry of a listing.
struct FindData {
  uint32_t attributes = 0;
  uint64_t size = 0;
  FileTime creationTime = 0, accessTime = 0, writeTime = 0;
  char name[kMaxPath + 1] = {};
};

// find-first/next over the entries of one directory that match the last
// component of `pattern` (Windows wildcards, letter case ignored, "*.*" matches
// every name). Order: names compared byte by byte after ASCII upper-casing;
// "." and ".." first except at a drive root. Names Windows cannot hold are
// left out. FindFirst returns null when nothing matches.
struct FindState;
FindState* FindFirst(const char* pattern, FindData* data);
bool FindNext(FindState* state, FindData* data);
void FindClose(FindState* state);

// Windows wildcard match of one name (used by FindFirst; '*' and '?').
bool NameMatchesWildcard(const char* name, const char* pattern);
