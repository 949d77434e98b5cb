// Test helpers: run a built program as on a full disk, to check that a
// failed write is reported: with its standard output on /dev/full, with no
// room at all for the files it writes, or with a drive on a full disk.
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

// RunProgramOnFullDrive's exit code when no full disk can be made here.
constexpr int kNoFullDrive = 97;

// Runs the program with the host folder `folder` on a disk that is full: a
// small tmpfs, filled up, mounted over the folder in a mount namespace of the
// program's own (unshare), which needs no privilege beyond what unshare
// gives. Files can still be created there; no byte can be written to them.
// The exit code is kNoFullDrive when no such mount can be made here.
inline RunResult RunProgramOnFullDrive(const std::string& program, const std::vector<std::string>& args,
                                       const std::string& folder, const RunOptions& options = {}) {
  const char kScript[] =
      "inner='mount -t tmpfs -o size=64k tmpfs \"$0\" || exit 97; cat /dev/zero >\"$0/.filler\" 2>/dev/null; "
      "exec \"$@\"'\n"
      "for user in '' --map-root-user; do\n"
      "  if unshare $user --mount true 2>/dev/null; then\n"
      "    exec unshare $user --mount --propagation private /bin/sh -c \"$inner\" \"$@\"\n"
      "  fi\n"
      "done\n"
      "exit 97\n";
  std::vector<std::string> shellArgs = {"-c", kScript, "sh", folder, ProgramToRun(program)};
  shellArgs.insert(shellArgs.end(), args.begin(), args.end());
  return RunProgram("/bin/sh", shellArgs, options);
}
