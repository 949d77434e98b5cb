// Stand-in until the index database reader is built: it reports that it
// is missing and reads nothing.
#include "programs/galleria/index_db.h"

#include "shared/report.h"

int ReadIndexDB(Entry**, int, int) {
  Report(3000, "Error:  Reading the index database is not part of this build.\n");
  return -1;
}
