// infoed: the console editor of one page's head information.
#include "platform/version.h"
#include "programs/infoed/infoed.h"

WEFT_PROGRAM_VERSION("INFOED", "HTML File Information Editor", "1.16", nullptr);

int main(int argc, char** argv) { return EditFileInformation(argc, argv); }
