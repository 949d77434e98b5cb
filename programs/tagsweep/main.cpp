// tagsweep: run in a keyword directory, lists the pages elsewhere in the
// tree above it that carry the directory's name as a keyword, in the form
// of an alias list.
#include "platform/version.h"
#include "programs/tagsweep/tagsweep.h"

WEFT_PROGRAM_VERSION("TAGSWEEP", "Tessarin Keyword Sweep", "1.00", nullptr);

int main() { return RunTagsweep(); }
