#include "programs/pagebase/pagebase_options.h"

#include <cstdio>
#include <cstring>

#include "shared/chars.h"
#include "shared/sitefiles.h"

namespace {

const char* const kHelp[] = {
    "PAGEBASE, Make an HTML Index Database, Version 1.14\n",
    "This utility builds an index database by scanning the specified directory and",
    "all its subdirectories for HTML files and image files.  The resulting database",
    "can be used by \"GALLERIA\" in CGI mode.  Output goes to stdout.",
    "There are no limits to the total size of the database.",
    "The following options are read from the standard configuration files:",
    "            DBThumbFile     DBThumbFileList     embed",
    "Read the Tessarin documentation for more information.\n",
    "PAGEBASE [/M] [/I:file] [/X:file] [/K:keyexp] [/T:file] [drive | path]\n",
    " /M         Merges a sorted input file (stdin) with the new file list.",
    "            Removes all records from the input file which were from the",
    "            drive being scanned (i.e. replaces old records with new ones).",
    " /I:file    Includes only directories which contain \"file\".",
    " /X:file    Excludes directories which contain \"file\".",
    " /K:keyexp  Includes only files which match the keyword expression \"keyexp\".",
    " /T:file    Specifies an alternate file name to be used as a thumbnail image.",
    "            This option may be used multiple times on the command line.",
    "            Each \"/T:file\" option adds a virtual \"DBThumbFile=file\" option",
    "            to the end of the local configuration file, in order.",
    " drive      The drive to scan (e.g. \"C:\").",
    " path       Path to starting directory of tree to scan (default = current).\n",
    "If a directory is excluded from scanning by using the /I or /X options,",
    "the index file for that directory is still scanned.  All other files and",
    "subdirectories in that directory are not scanned.  If the /I and /X files",
    "both exist, the /X file takes precidence, and the subdirectory is excluded.",
};

// The value of "/X:file" or "/Xfile".
const char* OptionValue(const char* arg) { return arg[2] == ':' ? arg + 3 : arg + 2; }

bool StartsWith(const char* text, const char* prefix) {
  return strncmp(text, prefix, strlen(prefix)) == 0;
}

// Applies one option; false for a letter that is not an option.
bool ApplyOption(const char* arg, PagebaseOptions* options) {
  const char* value = OptionValue(arg);
  switch (ToUpper(arg[1])) {
    case 'M': options->merge = true; return true;
    case 'I': options->scan.includeFile = value; return true;
    case 'X': options->scan.excludeFile = value; return true;
    case 'K': options->scan.keyExpression = value; return true;
    case 'T': options->addedNames.emplace_back('T', value); return true;
    case 'E': options->addedNames.emplace_back('E', value); return true;
    default: return false;
  }
}

// "X:" alone names the drive's root.
std::string StartPath(const char* arg) {
  if (IsAlpha(arg[0]) && arg[1] == ':' && arg[2] == '\0') return std::string(arg) + "\\";
  return arg;
}

}  // namespace

PagebaseArgs ParsePagebaseArgs(int argc, char** argv, PagebaseOptions* options) {
  bool haveStart = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (arg[0] == '/' || arg[0] == '-') {
      if (!ApplyOption(arg, options)) return kArgsHelp;
      continue;
    }
    if (haveStart) return kArgsTwoPaths;
    options->start = StartPath(arg);
    haveStart = true;
  }
  return kArgsRun;
}

void PrintPagebaseHelp() {
  for (const char* line : kHelp) puts(line);
}

void IndexOptionKey(const char* key, const char* value) {
  if (strcmp(key, "embed") == 0 || StartsWith(key, "movie")) {
    AddUserExt(value);
  } else if (strcmp(key, "dbthumbfilelist") == 0) {
    SetFolderThumbNames(value);
  } else if (StartsWith(key, "dbthumbfile")) {
    AddFolderThumbName(value);
  }
}

void ApplyAddedNames(const PagebaseOptions& options) {
  for (const auto& [kind, value] : options.addedNames) {
    if (kind == 'T') {
      AddFolderThumbName(value.c_str());
    } else {
      AddUserExt(value.c_str());
    }
  }
}
