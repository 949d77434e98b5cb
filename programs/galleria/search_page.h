// The searchable index page: a frameset whose head holds the directory's
// links, slides and keywords as script data for the search frame.
#pragma once

class Entry;

// Writes "index.htm" (or the CGI output). 0 done, 1 failed.
int WriteSearchPage(Entry** entries, int count);
