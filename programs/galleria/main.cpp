// galleria: builds the index page of the current directory, or answers a
// CGI request from the site's index database.
#include "platform/version.h"
#include "programs/galleria/index_main.h"

WEFT_PROGRAM_VERSION("GALLERIA", "Tessarin Index Builder", "2.10", nullptr);

int main(int argc, char** argv) { return BuildIndexPage(argc, argv); }
