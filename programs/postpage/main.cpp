// postpage: formats the newsgroup message kept in slide pages.
#include "platform/version.h"
#include "programs/postpage/post_run.h"
#include "shared/wild_args.h"

WEFT_PROGRAM_VERSION("POSTPAGE", "Format Newsgroup Header", "1.04", nullptr);

int main(int argc, char** argv) {
  WildArgs args(argc, argv);
  char** arg = args.Vector();
  if (args.Count() < 2 || arg[1][0] == '-' || arg[1][0] == '/') {
    PrintPostpageHelp();
    return kPostOk;
  }
  return FormatSlideFiles(args.Count() - 1, arg + 1);
}
