// Navigation of index pages: the link back to where the visitor came from,
// links to the previous and next page of a paged index, and the row of page
// numbers; static pages are "index.htm", "index2.htm", ..., CGI pages are
// requests with first and count arguments.
#pragma once

#include <cstdio>

#include "shared/string.h"

class Entry;

// The paging state of the page being written, kept in the run's state as
// pagingState (index_run.h); all 0 for a single page.
struct PagingState {
  int first = 0;     // index of the page's first entry
  int pageSize = 0;  // entries per page; 0: no paging
  int total = 0;     // entries in the whole listing
  // CGI mode only: the CGI URL, "?" and the request's arguments; page links
  // append "&amp;first=%d&amp;count=%d". Empty outside CGI mode.
  String cgiBaseUrl;
};

// first / page size + 1; 1 without paging.
int CurrentPage();
// The number of pages; 1 without paging.
int PageCount();

// Icons are local paths (null or empty: the default icon of the link, looked
// up in the icons directory); attributes null or empty: "BORDER=0 ALIGN=TOP".
// Each Write returns true when it wrote something.

// The back, previous and next links; nothing when the backlink mode is none.
bool WriteNavBar(FILE* out, Entry* pageEntry, bool centred);
// The back link of the configured backlink mode.
bool WriteBackLink(FILE* out, Entry* pageEntry, const char* icon, const char* attributes);
// "Back to" and the links to the entries, separated by ",\n".
bool WriteBackToList(FILE* out, Entry* const* entries, int count);
// The configured URL of a custom backlink.
bool WriteUrlBackLink(FILE* out, const char* icon, const char* attributes);
// The browser's history.
bool WriteHistoryBackLink(FILE* out, const char* icon, const char* attributes);
// A script that links to the referring page when it lies higher up the tree,
// else to the remembered or the parent index; nothing at a drive root.
bool WriteSmartBackLink(FILE* out, const char* icon, const char* attributes);
// A button or icon that closes the window.
bool WriteCloseLink(FILE* out, const char* icon, const char* attributes);

// The icon linked to the previous (next) page, or noIcon alone on the first
// (last) page. No noIcon but an icon given: nothing.
bool WritePrevLink(FILE* out, const char* icon, const char* noIcon, const char* attributes);
bool WriteNextLink(FILE* out, const char* icon, const char* noIcon, const char* attributes);

// "Pages:" and the page numbers between prefix and suffix (null: none);
// nothing when there is only one page.
bool WritePageLinks(FILE* out, const char* prefix, const char* suffix);
