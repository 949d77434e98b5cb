// Symbolic links to directories as tree walks meet them. Windows sites have
// none; Linux sites do, and a walk that followed every one could loop for
// ever, count a folder many times, or move files from outside its tree.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <utility>

#include "platform/attributes.h"

// True for a listed entry that is a symbolic link to a directory (listings
// mark it kAttrReparsePoint): a walk that moves or deletes never enters one.
inline bool IsDirectoryLink(uint32_t attributes) {
  return (attributes & kAttrDirectory) && (attributes & kAttrReparsePoint);
}

// Decides which directories a walk that only reads enters, so that it
// enters each real directory at most once. A real subdirectory is entered
// the first time it is met. A symbolic link is followed only when it leads
// out of the walk's tree (a directory inside the tree is reached by its own
// path) to a directory that is not one of the link's own ancestors and was
// not entered before.
class WalkGuard {
 public:
  // `start`: the folder the walk begins in; it counts as entered.
  explicit WalkGuard(const char* start);
  // Whether to enter the directory `path`, listed with `attributes`; if so,
  // it counts as entered from now on.
  bool Enter(const char* path, uint32_t attributes);

 private:
  std::string startReal_;  // the start folder with all links resolved
  std::set<std::pair<uint64_t, uint64_t>> entered_;  // device and inode
};
