#include "programs/tagsweep/tagsweep.h"

#include <cstdio>
#include <string>

#include "platform/drives.h"
#include "programs/tagsweep/keyword_sweep.h"
#include "shared/paths.h"

int RunTagsweep() {
  std::string root = GetFullPathString("..");
  if (root.empty()) root = "\\";
  char current[kMaxPath + 1] = "";
  GetCurrentDir(current, sizeof current);
  const char* keyword = BaseName(current);
  fprintf(stderr,
          "Searching directory \"%s\" and its\nsubdirectories for HTML files containing the "
          "keyword \"%s\"...\n",
          root.c_str(), keyword);
  bool written = SweepTree(root, keyword, stdout);
  if (!written || fflush(stdout) != 0 || ferror(stdout)) {
    fputs("Error:  Can't write to output file.\n", stderr);
    return 2;
  }
  return 0;
}
