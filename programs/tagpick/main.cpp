// tagpick: the keyword picker dialog.
#include "platform/version.h"
#include "programs/tagpick/tagpick.h"

WEFT_PROGRAM_VERSION("TAGPICK", "Keyword List Creator", "1.36", nullptr);

int main(int argc, char** argv) { return RunKeywordPicker(argc, argv); }
