// foldsig: writes the signature file of the current folder for foldmap.
#include "platform/version.h"
#include "programs/foldsig/folder_signer.h"

WEFT_PROGRAM_VERSION("FOLDSIG", "Tessarin Folder Signature", "1.00", nullptr);

int main(int argc, char** argv) { return RunFoldsig(argc, argv); }
