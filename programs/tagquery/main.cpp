// tagquery: writes the lines of a keyword or index database (standard input)
// whose keyword list matches a keyword expression.
#include "platform/version.h"
#include "programs/tagquery/tagquery.h"

WEFT_PROGRAM_VERSION("TAGQUERY", "Tessarin Database Keyword Filter", "1.01", nullptr);

int main(int argc, char** argv) { return RunTagquery(argc, argv); }
