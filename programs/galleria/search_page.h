// The searchable index page: a frameset whose head holds the directory's
// links, slides and keywords as script data for the search frame.
#pragma once

#include <cstdio>

#include "shared/string.h"

class Entry;

// Writes "index.htm" (or the CGI output). 0 done, 1 failed.
int WriteSearchPage(Entry** entries, int count);

// --- Pieces of the page, for the tests ----------------------------------------

// The keywords that do not begin with '_' as one text: the separator, then
// each keyword followed by the separator (",sea,boat,"); empty when none.
String KeywordText(const char* keywords, const char* separator);
// The backLink script line of the configured backlink mode (none for the
// modes none and close).
void WriteBackLinkVar(FILE* out);
