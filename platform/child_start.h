// The one way the platform starts a child process: a plan made in full by
// the parent (the program, its arguments and environment, the working
// folder, the output file, the limits, the descriptor it keeps), which the
// child applies with system calls alone while it shares the caller's memory,
// until it becomes the program. So a child never runs library code (an
// allocation, a lock that another thread of the caller held as the child
// began) before the program runs. Platform sources only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/process.h"

namespace weft_host {

// The descriptor that a child keeps of the caller's (ChildPlan::channel).
constexpr int kChannelDescriptor = 3;

struct ChildPlan {
  std::string program;            // host path of the file to run
  std::string shown;              // the program as messages name it
  std::vector<std::string> argv;  // its arguments, its name first
  std::vector<std::string> env;   // its whole environment
  std::string folder;             // host working folder; empty: the caller's
  std::string output;             // host file that standard output is written to,
                                  // created or emptied; empty: the caller's
  bool newGroup = false;          // a process group of its own, ended with all it started
  uint64_t outputLimit = 0;       // bytes any one file may take (0: no limit)
  int channel = -1;               // a descriptor the child keeps, as kChannelDescriptor;
                                  // the caller's others stay with the caller

  // Adds the variable "NAME=<the child's process id>:<text>": a hand-over
  // meant for that one process, whose id only the child knows.
  void AddOwnVariable(const std::string& name, const std::string& text);

  struct OwnVariable {
    size_t index;        // in `env`
    std::string name;    // "NAME="
    std::string buffer;  // room for the name and the id, then ':' and the text
  };
  std::vector<OwnVariable> ownVariables;
};

// A plan for `options`: the environment as EnvironmentWith makes it, with
// neither hand-over of the caller's own (the command line, the error level
// channel) and the options' command line handed on; the working folder and
// the output file resolved once, the output file as the program in its
// working folder would name it; the limits. The caller adds the program, its
// arguments and any channel. False, with the error set, when the folder or
// the output file cannot be.
bool PlanChild(const ProcessOptions& options, ChildPlan* plan);

// Starts the child; its process id, or -1 with the error set ("Can't start
// "X": why"). The calling thread waits until the child has become the program
// or failed to.
int StartChild(ChildPlan* plan);

// True when the output file passed the plan's limit. The child may write one
// byte more than the limit, so that a file longer than the limit shows that
// the limit was passed.
bool OutputPassedLimit(const ChildPlan& plan);

}  // namespace weft_host
