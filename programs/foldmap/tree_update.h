// foldmap's walk: finds the directories of a site tree that changed since
// their signature file was written and runs their rebuild batch files,
// subdirectories before their parents.
#pragma once

#include <cstdint>
#include <string>

#include "platform/filetime.h"
#include "shared/folder_signature.h"

// What one directory's walk found.
struct DirState {
  uint32_t checksum = 0;
  FileTime newest = 0;
  FileTime indexTime = 0;
  std::string signatureName;
  FileTime signatureTime = 0;
  std::string expectedName;
  bool updated = false;
};


// Runs foldmap with its arguments; returns the exit code.
int RunFoldmap(int argc, char** argv);
