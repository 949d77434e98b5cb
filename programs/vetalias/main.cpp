// vetalias: checks the alias list "symlinks.txt" of the current directory and
// warns about every line whose path is illegal or whose target is missing.
#include "platform/version.h"
#include "programs/vetalias/alias_check.h"
#include "shared/report.h"

WEFT_PROGRAM_VERSION("VETALIAS", "Tessarin Alias List Checker", "1.01", nullptr);

int main(int argc, char**) {
  if (argc > 1) {
    PrintVetaliasHelp();
    return 0;
  }
  CheckAliasList();
  CloseLog();
  return MaxSeverity;
}
