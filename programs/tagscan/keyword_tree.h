// The keyword database builder: walks a directory tree and writes one line
// "path<TAB>keywords" for every page that carries keywords in its head.
#pragma once

#include <cstdio>

#include "shared/string.h"

struct KeywordScanOptions {
  bool allDirectories = false;  // /A: also directories without an index page
  bool visibleOnly = false;     // /N: drop keywords that begin with '_'
  bool checkPrivate = false;    // /P: stop below an index page with "__private"
  String includeFile;           // /I: scan only directories holding this file
  String excludeFile;           // /X: do not scan directories holding this file
};

// Counts of one walk.
struct KeywordScanResult {
  long linesWritten = 0;
  long pathsSkipped = 0;  // paths past 259 characters, each warned about
  bool writeFailed = false;
};

// Walks the directory (a full path) and everything below it. The page heads
// are read side by side on a few threads; the lines and warnings come in
// walk order all the same. False when memory ran out.
bool ScanKeywordTree(const char* directory, const KeywordScanOptions& options, FILE* out,
                     KeywordScanResult* result);
