// tagscan: writes the keyword database of a directory tree to standard
// output, one line "path<TAB>keywords" per page that carries keywords.
#include "platform/version.h"
#include "programs/tagscan/tagscan.h"

WEFT_PROGRAM_VERSION("TAGSCAN", "Tessarin Keyword Database Builder", "1.23", nullptr);

int main(int argc, char** argv) { return RunTagscan(argc, argv); }
