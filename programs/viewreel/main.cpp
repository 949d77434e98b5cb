// viewreel: writes one slide page per image of the current directory, with
// navigation, scaling, frames, alias slides and text integration.
#include "platform/version.h"
#include "programs/viewreel/slide_options.h"
#include "programs/viewreel/slide_run.h"
#include "shared/report.h"

WEFT_PROGRAM_VERSION("VIEWREEL", "Tessarin Slide Builder", "2.10", nullptr);

int main(int argc, char** argv) {
  int exitCode = 0;
  switch (ReadOptions(argc, argv)) {
    case kOptionsIllegal: exitCode = 1; break;
    case kOptionsHelp: PrintHelp(); break;
    case kOptionsRun: exitCode = RunSlideBuilder(); break;
  }
  CloseLog();
  return exitCode;
}
