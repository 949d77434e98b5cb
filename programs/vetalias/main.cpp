// vetalias: checks the alias list "symlinks.txt" of the current directory and
// warns about every line whose path is illegal or whose target is missing.
#include <cstdio>

#include "platform/files.h"
#include "platform/version.h"
#include "shared/listing.h"
#include "shared/report.h"

WEFT_PROGRAM_VERSION("VETALIAS", "Tessarin Alias List Checker", "1.01", nullptr);

namespace {

void PrintHelp() {
  puts("VETALIAS, version 1.01");
  puts("Checks the \"symlinks.txt\" file for invalid links.  For each invalid link,");
  puts("an error message is printed to stderr and logged to the Tessarin log file.");
  puts("\nVETALIAS");
}

// Every line is read; ReadAliasLine reports the bad ones itself.
void CheckAliasList() {
  FILE* stream = OpenFile("symlinks.txt", "r");
  if (!stream) return;
  AliasRecord record;
  while (ReadAliasLine(stream, &record, true) != kAliasEnd) {
  }
  fclose(stream);
}

}  // namespace

int main(int argc, char**) {
  if (argc > 1) {
    PrintHelp();
    return 0;
  }
  CheckAliasList();
  CloseLog();
  return MaxSeverity;
}
