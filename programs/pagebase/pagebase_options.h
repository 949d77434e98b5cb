// The index builder's command line, help text and configuration keys.
#pragma once

#include <string>
#include <vector>

#include "programs/pagebase/index_scan.h"

struct PagebaseOptions {
  bool merge = false;           // /M
  IndexScanOptions scan;        // /I, /X, /K
  // /T and /E in command-line order: 'T' or 'E' and the value.
  std::vector<std::pair<char, std::string>> addedNames;
  std::string start = ".";
};

enum PagebaseArgs {
  kArgsRun,
  kArgsHelp,       // an unknown option: show the help
  kArgsTwoPaths,   // a second start path
};

PagebaseArgs ParsePagebaseArgs(int argc, char** argv, PagebaseOptions* options);
void PrintPagebaseHelp();

// The configuration key handler: "embed" and "movie..." add user extensions,
// "dbthumbfilelist" sets the folder thumbnail names, "dbthumbfile..." adds one.
void IndexOptionKey(const char* key, const char* value);

// Applies the /T and /E options, in order, after the configuration.
void ApplyAddedNames(const PagebaseOptions& options);
