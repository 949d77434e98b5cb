#include "programs/pagebase/pagebase.h"

#include <cstdio>
#include <vector>

#include "platform/drives.h"
#include "programs/pagebase/index_db_output.h"
#include "programs/pagebase/index_scan.h"
#include "programs/pagebase/pagebase_options.h"
#include "programs/pagebase/progress.h"
#include "shared/chars.h"
#include "shared/config.h"
#include "shared/keywords.h"
#include "shared/report.h"
#include "shared/sitefiles.h"

namespace {

// The start path made full; false (reported) when it names no drive path.
bool FullStartPath(const std::string& start, char (&full)[kMaxPath]) {
  if (GetFullPath(start.c_str(), full, sizeof full) && IsAlpha(full[0]) && full[1] == ':') {
    return true;
  }
  Report(3000, "Error:  Illegal path specified on command line.\n");
  return false;
}

// A /K expression with text left over would match nothing, silently.
bool KeyExpressionParses(const String& expression) {
  if (expression.IsNull() || KeywordExpressionParses(expression)) return true;
  Report(3000, "Error:  expression syntax error.\n");
  Report(0, "            %s\n", expression.Text());
  return false;
}

// Standard output is buffered: a full disk may show only when it is flushed.
bool OutputWritten(bool written) {
  if (written && fflush(stdout) == 0 && !ferror(stdout)) return true;
  EndProgressLine();
  Report(2000, "\nError writing to output file.\n");
  return false;
}

void WriteDatabase(const PagebaseOptions& options, const char* start,
                   const std::vector<DirEntry*>& records) {
  if (!options.merge) {
    Progress("Writing Index...\n");
    long written = 0;
    if (OutputWritten(WriteIndex(records, stdout, &written))) {
      Progress("%ld lines written\n", written);
    }
    return;
  }
  Progress("Merging Index...\n");
  MergeCounts counts;
  bool written = MergeIndex(records, start, stdin, stdout, &counts);
  if (!OutputWritten(written)) return;
  if (counts.readFailed) {
    Report(2000, "Error:  Can't read the input database.\n");
    return;
  }
  Progress("%ld lines deleted, %ld lines added\n", counts.deleted, counts.added);
}

}  // namespace

int ReportOutOfMemory() {
  EndProgressLine();
  Report(3000, "Error:  Out of memory.\n");
  return MaxSeverity;
}

int RunPagebase(int argc, char** argv) {
  PagebaseOptions options;
  switch (ParsePagebaseArgs(argc, argv, &options)) {
    case kArgsHelp:
      PrintPagebaseHelp();
      return 0;
    case kArgsTwoPaths:
      Report(3000, "Error:  Starting directory was specified twice on command line.\n");
      return MaxSeverity;
    case kArgsRun:
      break;
  }
  if (!KeyExpressionParses(options.scan.keyExpression)) return MaxSeverity;
  SetConfigKeyHandler(IndexOptionKey);
  ReadConfig();
  ApplyAddedNames(options);
  char start[kMaxPath];
  if (!FullStartPath(options.start, start)) return MaxSeverity;
  // Directory records take their thumbnails from the thumbnail field only.
  SetFolderThumbs(false);

  DirEntryList list;
  Progress("Scanning %s ... ", start);
  if (!ScanIndexTree(start, options.scan, &list)) return ReportOutOfMemory();
  Progress("done.\nBuilding Index... ");
  std::vector<DirEntry*> records = CollectRecords(list);
  Progress("done.\nSorting Index... ");
  SortIndex(&records);
  Progress("done.\n");
  WriteDatabase(options, start, records);
  return MaxSeverity;
}

