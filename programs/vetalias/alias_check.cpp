#include "programs/vetalias/alias_check.h"

#include <cstdio>

#include "platform/files.h"
#include "shared/entry_list.h"

void PrintVetaliasHelp() {
  puts("VETALIAS, version 1.01");
  puts("Checks the \"symlinks.txt\" file for invalid links.  For each invalid link,");
  puts("an error message is printed to stderr and logged to the Tessarin log file.");
  puts("\nVETALIAS");
}

void CheckAliasList() {
  FILE* stream = OpenFile("symlinks.txt", "r");
  if (!stream) return;
  AliasRecord record;
  while (ReadAliasLine(stream, &record, true) != kAliasEnd) {
  }
  fclose(stream);
}
