// foldmap: rebuilds the directories of a site tree that changed.
#include "platform/version.h"
#include "programs/foldmap/tree_update.h"

WEFT_PROGRAM_VERSION("FOLDMAP", "Tessarin Tree Update Runner", "1.04", nullptr);

int main(int argc, char** argv) { return RunFoldmap(argc, argv); }
