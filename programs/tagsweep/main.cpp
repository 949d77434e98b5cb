// tagsweep: run in a keyword directory, lists the pages elsewhere in the
// tree above it that carry the directory's name as a keyword, in the form
// of an alias list.
#include <cstdio>
#include <string>

#include "platform/files.h"
#include "platform/version.h"
#include "programs/tagsweep/keyword_sweep.h"
#include "shared/paths.h"

WEFT_PROGRAM_VERSION("TAGSWEEP", "Tessarin Keyword Sweep", "1.00", nullptr);

int main(int, char**) {
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
