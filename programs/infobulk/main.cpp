// infobulk: the drop-target editor of many pages' head information.
#include "platform/version.h"
#include "programs/infobulk/infobulk.h"

WEFT_PROGRAM_VERSION("INFOBULK", "HTML Multi-File Info Editor", "1.46", nullptr);

int main(int argc, char** argv) { return RunInfoDropTarget(argc, argv); }
