// The entries of a CGI request, read from the site's index database and
// filtered by the request's kind and query.
#pragma once

class Entry;

// Fills results (capacity entries at most; each a new Entry the caller owns)
// with the requested window of matching records and sets the paging state.
// The number stored, or -1 when no index database is found.
int ReadIndexDB(Entry** results, int capacity, int kindMask);
