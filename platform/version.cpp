// The program's version block; a weak empty block stands in for programs,
// libraries and tests that define none.
#include "platform/version.h"

extern const ProgramVersionBlock kWeftProgramVersion;
__attribute__((weak)) extern const ProgramVersionBlock kWeftProgramVersion = {nullptr, nullptr,
                                                                              nullptr, nullptr};

const ProgramVersionBlock& ProgramVersion() { return kWeftProgramVersion; }
