// The program's compiled-in version block, read as a Windows program reads its
// version resource. A program defines its block once with WEFT_PROGRAM_VERSION
// at namespace scope; a program without one has an empty block.
#pragma once

struct ProgramVersionBlock {
  const char* internalName;
  const char* fileDescription;
  const char* fileVersion;
  const char* legalCopyright;  // may be null
};

// The running program's block; null fields when the program defined none.
const ProgramVersionBlock& ProgramVersion();

#define WEFT_PROGRAM_VERSION(internal, description, version, copyright) \
  extern const ProgramVersionBlock kWeftProgramVersion;                   \
  const ProgramVersionBlock kWeftProgramVersion = {internal, description, version, copyright}
