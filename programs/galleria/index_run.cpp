#include "programs/galleria/index_run.h"

#include "programs/galleria/index_settings.h"
#include "shared/entry.h"

IndexRun indexRun;

bool& cgiMode = indexRun.cgiMode;
bool& OutputError = indexRun.outputError;
bool& OutputAbandoned = indexRun.outputAbandoned;
PagingState& pagingState = indexRun.paging;

void ResetIndexRun() {
  ResetIndexSettings();
  DefaultSortOrder = kInitialSortOrder;
  indexRun = IndexRun();
}
