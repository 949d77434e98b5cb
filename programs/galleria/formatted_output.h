// Formatted index output: the page "index.htm" (with paging also
// "index2.htm", "index3.htm", ...) listing the entries, or the one CGI page.
#pragma once

class Entry;

// One page "index.htm" (or the CGI output) for all entries. 0 done, 1 failed.
int WriteSingleIndex(Entry** entries, int count);

// pageSize entries per page (pageSize > 0; not in CGI mode); pages left over
// from a longer listing are deleted. 0 done, else CommitIndexOutput's result
// (1 when a page could not be opened).
int WritePagedIndex(Entry** entries, int count, int pageSize);
