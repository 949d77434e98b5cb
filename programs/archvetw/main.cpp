// archvetw: checks whether one or more directory trees need a backup and
// says so in a message box. It reads its command line whole, as the text
// after the program's name: here the arguments joined by blanks.
#include <string>

#include "platform/version.h"
#include "programs/archvetw/archvetw.h"

WEFT_PROGRAM_VERSION("ARCHVETW", "Tessarin Backup Checker", "1.00", nullptr);

int main(int argc, char** argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  return RunBackupCheckWindow(line.c_str());
}
