// The platform sources' side of program_search.h: the suite's own programs,
// found beside this process's program file. Platform sources only.
#pragma once

#include <string>

#include "platform/program_search.h"

namespace weft_host {

// The program `name` (a bare name, as the search tries it: as given, with
// ".exe"; never a batch file) in the folder of this process's own program
// file alone, where the suite's programs stand beside each other. False,
// with the error set, when it is not there.
bool LocateSuiteProgram(const std::string& name, ProgramFile* file);

}  // namespace weft_host
