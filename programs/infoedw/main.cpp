// infoedw: the dialog editor of one page's head information.
#include "platform/version.h"
#include "programs/infoedw/infoedw.h"

WEFT_PROGRAM_VERSION("INFOEDW", "HTML File Info Editor", "1.38", nullptr);

int main(int argc, char** argv) { return EditFileInformationDialog(argc, argv); }
