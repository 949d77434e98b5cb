// Stand-in until this part is built: it reports that it is missing and
// writes nothing, so no page is replaced by a throw-away one.
#include "programs/galleria/formatted_output.h"

#include "shared/report.h"

int WriteSingleIndex(Entry**, int) {
  Report(3000, "Error:  Formatted index pages are not part of this build.  Index file was not written.\n");
  return 1;
}

int WritePagedIndex(Entry** entries, int count, int) { return WriteSingleIndex(entries, count); }
