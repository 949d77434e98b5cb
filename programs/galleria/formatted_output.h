// Formatted index output: the page "index.htm" (with paging also
// "index2.htm", "index3.htm", ...) listing the entries, or the one CGI page.
#pragma once

#include <cstdio>

class Entry;

// One page "index.htm" (or the CGI output) for all entries. 0 done, 1 failed.
int WriteSingleIndex(Entry** entries, int count);

// pageSize entries per page (pageSize > 0; not in CGI mode); pages left over
// from a longer listing are deleted. 0 done, else CommitIndexOutput's result
// (1 when a page could not be opened).
int WritePagedIndex(Entry** entries, int count, int pageSize);

// The page head of one page, "<HEAD>" to "</HEAD>\n\n": the page entry's
// information, the summary of all entries and the scripts the link modes
// need; numbers the images for the slide links.
void WriteIndexHead(FILE* out, Entry* pageEntry, Entry** entries, int count);
// The page body, "<BODY" to "</BODY>\n", for this page's entries: from the
// template when one is set, else heading, navigation and listings, with the
// old page's BODY tag and heading section carried over.
void WriteIndexBody(FILE* out, Entry* pageEntry, Entry** entries, int count);
// True when the page needs JavaScript: open links, the slide window, or a
// smart, close or back backlink.
bool UsesScript();
