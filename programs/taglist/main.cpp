// taglist: writes the keywords of a keyword database (standard input) in
// alphabetical order, each with the files that carry it, as a plain list,
// as one formatted text per keyword or as an HTML cross-reference.
#include "platform/env.h"
#include "platform/version.h"
#include "programs/taglist/taglist.h"

WEFT_PROGRAM_VERSION("TAGLIST", "Tessarin Keyword List Maker", "1.03", nullptr);

// taglist reads its command line whole, by its own quoting rules.
int main() { return RunTaglist(GetCommandLineText()); }
