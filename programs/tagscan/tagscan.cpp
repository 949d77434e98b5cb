#include "programs/tagscan/tagscan.h"

#include <cstdio>
#include <string>

#include "platform/drives.h"
#include "programs/tagscan/keyword_tree.h"
#include "shared/chars.h"
#include "shared/filter_errors.h"
#include "shared/stream_written.h"

namespace {


const char* const kHelp[] = {
    "TAGSCAN, Make an HTML Keyword Database, Version 1.23\n",
    "This utility scans the specified directory and all its subdirectories for HTML",
    "files that have keywords.  Each file that contains keywords is printed to",
    "standard output in the form \"<pathname><tab><keyword list>\" followed by a",
    "newline.  This output can be directed to a file, or piped to another utility",
    "such as \"TAGQUERY\".\n",
    "TAGSCAN [/A] [/N] [/P] [/I:file | /X:file] [drive | path]\n",
    "  /A       Scan all subdirectories, including ones without index files.",
    "           If \"/A\" is not specified, then directories that don't contain an",
    "           index file will be excluded, and subdirectories will not be scanned.",
    "  /N       Do not include hidden keywords in the database.",
    "  /P       Exclude directories with the keyword \"__private\" in their index.",
    "  /I:file  Include only directories which contain \"file\".",
    "  /X:file  Exclude directories which contain \"file\".",
    "  drive    The drive to scan (e.g. \"C:\").",
    "  path     Path to starting directory of tree to scan (default = current).",
    "\nIf a directory is excluded from scanning by using the /P, /I, or /X options,",
    "the index file for that directory is still scanned.  All other files and",
    "subdirectories in that directory are not scanned.  If the /I and /X files both",
    "exist, the /X file takes precidence, and the subdirectory is excluded.",
};

enum ArgsResult { kRun, kHelpShown, kTwoPaths };

// The value of "/X:file" or "/Xfile".
const char* OptionValue(const char* arg) { return arg[2] == ':' ? arg + 3 : arg + 2; }

ArgsResult ParseArgs(int argc, char** argv, KeywordScanOptions* options, std::string* start) {
  bool haveStart = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (arg[0] != '/' && arg[0] != '-') {
      if (haveStart) return kTwoPaths;
      *start = arg;
      haveStart = true;
      continue;
    }
    switch (ToUpper(arg[1])) {
      case 'A': options->allDirectories = true; break;
      case 'N': options->visibleOnly = true; break;
      case 'P': options->checkPrivate = true; break;
      case 'I': options->includeFile = OptionValue(arg); break;
      case 'X': options->excludeFile = OptionValue(arg); break;
      default:
        for (const char* line : kHelp) puts(line);
        return kHelpShown;
    }
  }
  return kRun;
}

// "X:" alone names the drive's root.
std::string StartPath(const std::string& start) {
  if (start.size() == 2 && IsAlpha(start[0]) && start[1] == ':') return start + "\\";
  return start;
}

}  // namespace

int RunTagscan(int argc, char** argv) {
  KeywordScanOptions options;
  std::string start = ".";
  switch (ParseArgs(argc, argv, &options, &start)) {
    case kHelpShown:
      return 0;
    case kTwoPaths:
      fputs("Error:  Starting directory was specified twice on command line.\n", stderr);
      return 1;
    case kRun:
      break;
  }
  char full[kMaxPath];
  if (!GetFullPath(StartPath(start).c_str(), full, sizeof full)) {
    fputs("Error:  Illegal path specified on command line.\n", stderr);
    return 1;
  }
  KeywordScanResult result;
  if (!ScanKeywordTree(full, options, stdout, &result)) {
    fputs("Error:  Out of memory.\n", stderr);
    return 2;
  }
  if (result.writeFailed || !StreamWritten(stdout)) return OutputWriteFailed();
  return result.pathsSkipped ? 1 : 0;
}
