// foldmeld's merge of one directory tree into another: the questions, the
// walk, and each step either carried out or written to "FOLDMEL1.BAT".
#pragma once

#include <string>

#include "platform/attributes.h"
#include "platform/listing.h"

// What a merge does with a file of this name when the destination has one.
enum FileKind {
  kAskOnConflict = 0,   // ask before replacing
  kSkipWhenExists = 1,  // per-directory files the suite writes: keep the destination's
  kNeverTransfer = 2,   // never copied; deleted from the source when moving
};

FileKind ClassifyFile(const char* name);

// Gives `path` the first free name "base-N.ext" (N from 2 to 18) while it
// names an existing file. False, with `path` unchanged, when none is free or
// the name would be longer than a path may be.
bool MakeUniqueName(std::string* path, const char* suffix);

// The entries of one directory other than "." and "..".
class DirectoryIterator {
 public:
  DirectoryIterator() = default;
  ~DirectoryIterator();
  DirectoryIterator(const DirectoryIterator&) = delete;  // it owns its open search
  DirectoryIterator& operator=(const DirectoryIterator&) = delete;

  bool First(FindData* data, const char* directory);
  bool Next(FindData* data);
  static bool IsDirectory(const FindData& data) { return (data.attributes & kAttrDirectory) != 0; }
  static bool IsFile(const FindData& data) { return !IsDirectory(data); }
  static bool IsHidden(const FindData& data) { return (data.attributes & kAttrHidden) != 0; }

 private:
  void Close();
  FindState* search_ = nullptr;
};

// The program: arguments as main receives them; returns the exit code.
int MergeTrees(int argc, char** argv);
