// dateren: adds the file date to slide image names.
#include "programs/dateren/date_rename.h"
#include "shared/wild_args.h"

int main(int argc, char** argv) {
  WildArgs args(argc, argv);
  char** arg = args.Vector();
  if (args.Count() < 2 || arg[1][0] == '-' || arg[1][0] == '/') {
    PrintDaterenHelp(ProgramName(arg[0]).c_str());
    return 0;
  }
  for (int i = 1; i < args.Count(); ++i) RenameWithDate(arg[i]);
  return 0;
}
