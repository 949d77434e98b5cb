// Names in the file system: what a path names and the names in a directory,
// quickly, for tree walks (without the times and archive stamps that full
// listings, FindFirst, read for every entry); whether a path is a link; and
// the short name of a path.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// What a path names, symbolic links followed.
enum class PathKind {
  kNone,       // nothing, or a path on no mapped drive
  kFile,       // anything but a directory
  kDirectory,
};
PathKind GetPathKind(const char* path);

// One entry as a listing shows it.
struct NamedEntry {
  std::string name;
  bool directory = false;
  bool hidden = false;  // a leading '.' or the attribute record; filled on request
  bool link = false;    // a symbolic link (to a directory when `directory`)
};

// True when the attribute record of the file or directory `path` says it is
// hidden (the leading-dot rule is not looked at): for walks that need the
// hidden flag of a few of the entries they list. One call for a path as
// written.
bool HasHiddenAttribute(const char* path);

// The entries that FindFirst(pattern) lists ('dir\*.htm': wildcards in the
// last component), in the same order, "." and ".." left out; with
// `withHidden` each entry's hidden flag is filled. False when the directory
// cannot be read.
bool ListNames(const char* pattern, bool withHidden, std::vector<NamedEntry>* entries);

// GetShortPathName: 8.3 names are not kept, so the short form of an existing
// file or directory is its full path with each name in the case it is stored
// in. Returns the length; 0 when the path does not exist or does not fit.
size_t GetShortPath(const char* path, char* buffer, size_t size);

// True when the path is a symbolic link, the host's reparse point. Tree walks
// pass them by, so that a link loop cannot hold a walk.
bool IsReparsePoint(const char* path);
