// weftcmd: the suite's command interpreter, for batch files and command lines.
#include "platform/version.h"
#include "programs/weftcmd/shell_request.h"

WEFT_PROGRAM_VERSION("WEFTCMD", "Tessarin Command Interpreter", "1.00", nullptr);

int main(int argc, char** argv) { return RunShell(argc, argv); }
