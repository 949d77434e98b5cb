// manivet: checks a directory against its bill of materials "FILELIST.TXT".
#include "platform/version.h"
#include "programs/manivet/manivet.h"

WEFT_PROGRAM_VERSION("MANIVET", "Directory Bill Of Materials Checker", "1.00", nullptr);

int main(int argc, char** argv) { return CheckBillOfMaterials(argc, argv); }
