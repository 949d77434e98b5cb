// Test helpers: run a built program as on a full disk, to check that a
// failed write is reported: with its standard output on /dev/full, or with
// no room at all for the files it writes.
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

// Every file the program writes takes no byte (a file size limit of 0, its
// signal ignored, so that a write fails as on a full disk); its standard
// output and error stay as RunProgram has them.
inline RunResult RunProgramWithNoRoomForFiles(const std::string& program,
                                              const std::vector<std::string>& args,
                                              const RunOptions& options = {}) {
  std::vector<std::string> shellArgs = {"-c", "ulimit -f 0 && trap '' XFSZ && exec \"$0\" \"$@\"",
                                        program};
  shellArgs.insert(shellArgs.end(), args.begin(), args.end());
  return RunProgram("/bin/sh", shellArgs, options);
}
