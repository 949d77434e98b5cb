// cat2tag: converts an index database (standard input) to a keyword
// database (standard output).
#include <cstdio>

#include "platform/version.h"
#include "programs/cat2tag/index_to_keywords.h"
#include "shared/filter_errors.h"

WEFT_PROGRAM_VERSION("CAT2TAG", "Tessarin Index to Keyword Database Converter", "1.01", nullptr);

namespace {

const char* const kHelp[] = {  // shown for any argument
    "CAT2TAG, Index Database to Keyword Database converter, Version 1.01\n",
    "This filter utility converts an index database to a keyword database.",
    "Input comes from stdin, and output goes to stdout.\n",
    "Usage:  CAT2TAG",
};

}  // namespace

int main(int argc, char**) {
  if (argc > 1) {
    for (const char* line : kHelp) puts(line);
    return 0;
  }
  switch (ConvertDatabase(stdin, stdout)) {
    case kConvertDone: return 0;
    case kConvertReadError: return InputReadFailed();
    case kConvertWriteError: break;
  }
  return OutputWriteFailed();
}
