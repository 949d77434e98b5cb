// hrefmend: repairs the broken relative links of one HTML page in the
// current directory from the index database found above it.
#include "platform/version.h"
#include "programs/hrefmend/hrefmend.h"

WEFT_PROGRAM_VERSION("HREFMEND", "Tessarin HTML Link Fixer", "1.01", nullptr);

int main(int argc, char** argv) { return RunLinkFixer(argc, argv); }
