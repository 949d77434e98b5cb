// minipix: builds the thumbnails of the current gallery directory.
#include "platform/version.h"
#include "programs/minipix/minipix.h"

WEFT_PROGRAM_VERSION("MINIPIX", "Tessarin Thumbnail Builder", "1.03", nullptr);

int main(int argc, char** argv) { return RunMinipix(argc, argv); }
