// associate: registers file types, their commands, icons and new-file
// entries in the registry.
#include "platform/env.h"
#include "platform/version.h"
#include "programs/associate/associate.h"

WEFT_PROGRAM_VERSION("ASSOCIATE", "Associates a command with a file name extension", "2.07", nullptr);

int main() { return RunAssociations(GetCommandLineText()); }
