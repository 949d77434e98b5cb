// Finding the program or icon file of a command: the search path, the
// program-files tree and every fixed drive.
#pragma once

#include <cstddef>

#include "platform/drives.h"
#include "platform/listing.h"

// Walks a directory tree to a depth, calling Visit on each directory.
class DirectoryTraverser {
 public:
  virtual ~DirectoryTraverser() = default;
  // Searches from `start`; returns the first non-zero result of Visit.
  int Traverse(const char* start, int depth);

 protected:
  // True to visit a directory after its subdirectories.
  virtual bool VisitAfterChildren() { return false; }
  // Called with the directory in path(); non-zero ends the walk.
  virtual int Visit() = 0;
  const char* path() const { return path_; }

 private:
  int Recurse(int depth);
  int VisitSubdirectories(int depth);

  char path_[kMaxPath + 1] = {};
  FindData findData_;
};

// Looks for one file name in each directory; the found path replaces it.
class FindFileTraverser : public DirectoryTraverser {
 public:
  FindFileTraverser(char* name, size_t size) : name_(name), size_(size) {}

 protected:
  int Visit() override;

 private:
  char* name_;
  size_t size_;
};

// True when the file `name` was found below `start` (to `depth` levels); its
// path then replaces the name (at most size-1 characters).
bool FindFileInTree(const char* start, int depth, char* name, size_t size);
// The program-files directory of the machine settings.
bool GetProgramFilesDir(char* buffer, size_t size);
// Finds a program or icon file and puts its path into `name`.
bool LocateCommand(char* name, size_t size);
