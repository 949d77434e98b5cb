// archvet: checks whether one or more directory trees need a backup.
#include "platform/version.h"
#include "programs/archvet/archvet.h"

WEFT_PROGRAM_VERSION("ARCHVET", "Tessarin Backup Checker", "1.00", nullptr);

int main(int argc, char** argv) { return RunBackupCheck(argc, argv); }
