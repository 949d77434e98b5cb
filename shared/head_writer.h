// Writes the HEAD block of a generated page (index and slide pages) in the one
// fixed form that every page-head reader of the suite expects.
#pragma once

#include <cstdio>

#include "shared/head_fields.h"

class Entry;

// Writes "<HEAD>\n" and the TITLE and META lines whose values are present (the
// SORTORDER line only when sortOrder differs from DefaultSortOrder), then
// "</HEAD>\n\n" when closeHead. Texts may be null or empty. False when a write
// failed; nothing more is written after a failure.
bool WriteHead(FILE* stream, bool closeHead, const char* title, const char* generator,
               const char* description, const char* keywords, int sortOrder,
               const char* fileInfo, const char* alias);

// WriteHead with the title, description, keywords and sort order of an entry
// (which must not be null).
bool WriteEntryHead(FILE* stream, bool closeHead, const Entry* entry, const char* generator,
                    const char* fileInfo, const char* alias);

// Writes one line "<META NAME=...>" for the field, with the content as it is
// (also when empty). False when the write failed.
bool WriteMetaLine(FILE* stream, HeadMeta field, const char* content);
