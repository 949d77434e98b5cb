// galstart: writes a directory's rebuild batch file "refolio.bat" in place of
// a placeholder file.
#include "platform/version.h"
#include "programs/galstart/rebuild_batch.h"

WEFT_PROGRAM_VERSION("GALSTART", "Tessarin Rebuild Batch Writer", "1.00", nullptr);

int main(int argc, char** argv) { return WriteRebuildBatch(argc, argv); }
