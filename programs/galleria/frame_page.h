// The index pages that are framesets around a page of the icons directory (a
// sequence index around "controls.htm", a searchable index around
// "search.htm"): their output, opened once that page is found, and the head
// that both write.
#pragma once

#include <cstdio>

#include "shared/string.h"

class Entry;

// Opens the output (OpenIndexOutput) for a frameset around the icons
// directory's `kitPage`, whose existence is not checked with noTest: its
// frame URL into *frameUrl and the page's entry into *pageEntry (the caller
// deletes it). Null, with the error reported, when the icons directory or
// the output cannot be had.
FILE* OpenFramePage(const char* kitPage, bool noTest, String* frameUrl, Entry** pageEntry);

// "<HTML>", the head of the page's entry with fileInfo, and the script type.
void WriteFramePageHead(FILE* out, Entry* pageEntry, const char* fileInfo);
