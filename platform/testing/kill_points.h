// Test helper: runs a built program and kills it (SIGKILL, as kill -9 does)
// just before one of the system calls that change files, so that a test can
// stop a program at every moment where a crash could leave files behind.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/testing/test_support.h"

struct KillPointRun {
  bool traced = false;  // false: the program could not be run under ptrace
  bool killed = false;  // false: the run ended before reaching the kill point
  int changes = 0;      // file-changing calls the program entered
};

// Runs the program with `args` in `options.cwd` (standard input and output
// go nowhere) and kills it when it is about to make its file-changing call
// number `killAt` (0: before the first), counted over all of its threads. With a `killAt` beyond its last
// such call the run goes to its end, and `changes` counts them all.
// File-changing calls: opening for writing, writing to a file, renaming,
// deleting, truncating, flushing, changing modes, owners, times or extended
// attributes, making and removing directories and links.
KillPointRun RunProgramKilledAt(const std::string& program, const std::vector<std::string>& args,
                                const RunOptions& options, int killAt);

// The files below `folder` of the drive ('' for all), by path relative to
// it, with their contents.
using FileStates = std::map<std::string, std::string>;
FileStates ReadFiles(const TempDrive& drive, const std::string& folder);

// What a program run that rewrites files is checked with.
struct RewriteRun {
  std::string program;
  std::vector<std::string> args;
  RunOptions options;
  std::string folder;                  // the folder whose files are checked
  std::vector<std::string> temporary;  // names a killed run may leave there
};

// Kills the run at each of its file-changing calls in turn (at most about
// `maxPoints` of them, spread evenly), each time from the files `setUp`
// writes afresh. After each kill every file must be as it was before the run
// or as a whole run leaves it (a missing file being one of these states only
// where it is missing before or after); the next whole run must then leave
// exactly what a whole run leaves, temporary files included. Returns one
// line per fault (empty when none) and sets `points` to the kills made.
std::string CheckKilledRewrites(const TempDrive& drive, const RewriteRun& run,
                                const std::function<void()>& setUp, int maxPoints, int* points);
