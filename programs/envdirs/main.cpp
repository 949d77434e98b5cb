// envdirs: adds a directory to, or removes it from, the PATH of the boot
// batch file.
#include "platform/version.h"
#include "programs/envdirs/boot_path.h"

WEFT_PROGRAM_VERSION("ENVDIRS", "Boot PATH Editor", "1.00", nullptr);

int main(int argc, char** argv) { return EditBootPath(argc, argv); }
