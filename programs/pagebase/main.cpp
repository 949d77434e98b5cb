// pagebase: writes the index database of a directory tree to standard
// output, or merges the tree's new records into an old database.
#include <new>

#include "platform/version.h"
#include "programs/pagebase/pagebase.h"

WEFT_PROGRAM_VERSION("PAGEBASE", "Tessarin Index Database Builder", "1.14", nullptr);

int main(int argc, char** argv) {
  // The one place where an exception is caught: memory can run out on a
  // large tree, and the run then ends with a message.
  try {
    return RunPagebase(argc, argv);
  } catch (const std::bad_alloc&) {
    return ReportOutOfMemory();
  }
}
