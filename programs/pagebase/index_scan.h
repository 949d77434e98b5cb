// The walk of the index builder: every directory record, image or movie
// and page of a tree that carries a visible keyword becomes a node of the
// scan list, subdirectories before a directory's own files.
#pragma once

#include "programs/pagebase/dir_entry.h"
#include "shared/string.h"

struct IndexScanOptions {
  String includeFile;     // /I: scan a directory's contents only when it holds this file
  String excludeFile;     // /X: do not scan the contents of a directory holding it
  String keyExpression;   // /K: keep only records whose visible keywords match
};

// Scans the start directory (a full path) and the tree below it into list.
// A name whose path would pass 259 characters is warned about and skipped.
// Directories are read side by side on a few threads; the list and the
// warnings come in walk order all the same. False when memory ran out.
bool ScanIndexTree(const char* start, const IndexScanOptions& options, DirEntryList* list);

// True when an entry with these keywords is catalogued: its visible keyword
// list (returned in visible) is not empty and matches the /K expression.
bool KeepKeywords(const char* keywords, const IndexScanOptions& options, String* visible);
