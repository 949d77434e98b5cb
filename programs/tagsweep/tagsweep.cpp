#include "programs/tagsweep/tagsweep.h"

#include <cstdio>
#include <string>

#include "platform/drives.h"
#include "programs/tagsweep/keyword_sweep.h"
#include "shared/filter_errors.h"
#include "shared/paths.h"
#include "shared/stream_written.h"

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
  if (!written || !StreamWritten(stdout)) return OutputWriteFailed();
  return 0;
}
