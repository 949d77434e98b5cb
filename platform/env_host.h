// The platform sources' side of env.h: what a started program is handed in
// its environment. Platform sources only.
#pragma once

#include <string>
#include <vector>

namespace weft_host {

// The environment variable that hands a program the command line it was
// started with, as "<process id>:<line>"; only the process with that id takes
// it (see CommandLineFromInterpreter).
constexpr char kCommandLineVariable[] = "WEFTCMDLINE";
// The environment variable that tells the command interpreter where its
// caller takes the whole error level, as "<process id>:<descriptor>"; only the
// process with that id takes it (see TakeErrorLevelChannel in process.h).
constexpr char kErrorLevelVariable[] = "WEFTCMDLEVEL";

// Takes variable `name` out of this process's environment, so that no program
// it starts inherits it; true, with the text after "<process id>:", when it
// was handed to this very process (ChildPlan::AddOwnVariable).
bool TakeOwnVariable(const char* name, std::string* text);

// This process's environment with `changes` applied, as SetEnv applies them
// ("NAME=value" sets, "NAME=" removes, a name found without regard to letter
// case keeps the case it has): what a started program is given.
std::vector<std::string> EnvironmentWith(const std::vector<std::string>& changes);

}  // namespace weft_host
