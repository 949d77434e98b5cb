// Test helper: runs a built program with its standard output on /dev/full,
// as on a full disk, to check that a failed write is reported.
#pragma once

#include <string>
#include <vector>

#include "platform/testing/test_support.h"

// `program` is the built program's host path.
inline RunResult RunProgramToFullDisk(const std::string& program,
                                      const std::vector<std::string>& args,
                                      const RunOptions& options = {}) {
  std::vector<std::string> shellArgs = {"-c", "exec \"$0\" \"$@\" >/dev/full", program};
  shellArgs.insert(shellArgs.end(), args.begin(), args.end());
  return RunProgram("/bin/sh", shellArgs, options);
}
