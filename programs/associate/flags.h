// The options of one associate run, read by every command of the run.
#pragma once

struct AssociateFlags {
  bool commandFile = false;  // /F: commands come from a file
  bool fullDump = false;     // /L: show a file type in full
  bool printOnly = false;    // /P: print the registry changes, make none
  bool quiet = false;        // /Q: no informational messages
  bool verbose = false;      // /V: echo each command and its registration
};

extern AssociateFlags runFlags;
