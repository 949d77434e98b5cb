#include "programs/taglist/taglist.h"

#include <cstdio>
#include <vector>

#include "programs/taglist/command_line.h"
#include "programs/taglist/keyword_index.h"
#include "programs/taglist/keyword_output.h"
#include "shared/filter_errors.h"
#include "shared/stream_written.h"

namespace {

void WriteList(const KeywordIndex& index, const TaglistOptions& options) {
  switch (options.mode) {
    case ListMode::kPlain:
      WritePlainList(index, stdout);
      return;
    case ListMode::kFormat:
      WriteFormattedList(index, options.format, stdout);
      return;
    case ListMode::kCrossReference:
      if (WriteCrossReference(index, stdout) > 0) {
        fputs("Warning:  There were invalid entries in the keyword database.\n"
              "          These invalid entries were not added to the list.\n",
              stderr);
      }
      return;
  }
}

}  // namespace

int RunTaglist(const char* commandLine) {
  std::vector<CommandWord> words;
  if (!SplitCommandWords(commandLine, kTaglistSplitFlags, kTaglistSwitches, &words)) {
    fputs("Unmatched quote (\") on command line.\n", stderr);
    return 1;
  }
  if (!words.empty()) words.erase(words.begin());  // the program's name
  TaglistOptions options;
  if (!ReadTaglistOptions(words, &options)) {
    PrintTaglistHelp();
    return 0;
  }
  KeywordIndex index;
  if (!index.ReadDatabase(stdin)) return InputReadFailed();
  index.Sort();
  setvbuf(stdout, nullptr, _IOFBF, 64 * 1024);
  WriteList(index, options);
  if (!StreamWritten(stdout)) return OutputWriteFailed();
  return 0;
}
