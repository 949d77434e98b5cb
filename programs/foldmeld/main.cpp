// foldmeld: merges one directory tree of a gallery site into another.
#include "platform/version.h"
#include "programs/foldmeld/tree_merge.h"

WEFT_PROGRAM_VERSION("FOLDMELD", "Tessarin Tree Merger", "1.20", nullptr);

int main(int argc, char** argv) { return MergeTrees(argc, argv); }
