// foldmap's walk: finds the directories of a site tree that changed since
// their signature file was written and runs their rebuild batch files,
// subdirectories before their parents.
#pragma once

#include <cstdint>
#include <string>

#include "platform/files.h"

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

// True for a signature file's listing entry (not a directory, not hidden,
// size 0, a name like "????????._M1" or "????????._MD").
bool IsSignatureFile(const FindData& entry);
// "%08X._M%d" with the distance modulo 10, or "%08X._MD" without icons (-1).
std::string ExpectedSignatureName(uint32_t checksum, int iconsDistance);

// Runs foldmap with its arguments; returns the exit code.
int RunFoldmap(int argc, char** argv);
