// Stand-in until this part is built: it reports that it is missing and
// writes nothing, so no page is replaced by a throw-away one.
#include "programs/galleria/sequence_page.h"

#include "shared/report.h"

int WriteSequencePage(Entry**, int) {
  Report(3000, "Error:  Sequence index pages are not part of this build.  Index file was not written.\n");
  return 1;
}
