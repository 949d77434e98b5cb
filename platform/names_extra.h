// Quick answers for tree walks: what a path names, and the names in a
// directory with whether each is a directory or hidden, without the times
// and archive stamps that full listings (FindFirst) read for every entry.
#pragma once

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

// The entries that FindFirst(pattern) lists ('dir\*.htm': wildcards in the
// last component), in the same order, "." and ".." left out; with
// `withHidden` each entry's hidden flag is filled. False when the directory
// cannot be read.
bool ListNames(const char* pattern, bool withHidden, std::vector<NamedEntry>* entries);
