// The entries of a CGI request, read from the site's index database and
// filtered by the request's kind and query, with the result cache and the
// paging state of the request's window of results.
#pragma once

#include <cstdio>
#include <string>

#include "shared/string.h"

class CGIArgs;
class Entry;
struct IndexRecord;

// Fills results (capacity entries at most; each a new Entry the caller owns)
// with the window of matching records that the request arguments (null:
// none) ask for, and sets the paging state. The number stored, or -1 when no
// index database is found.
int ReadIndexRequest(const CGIArgs* args, Entry** results, int capacity, int kindMask);

// --- Steps of ReadIndexRequest, for the tests ----------------------------------

// The request's arguments as the reader uses them.
struct IndexRequest {
  int first = 0;  // never negative
  int count = 0;  // 0 to the capacity
  std::string config, query, type, id;
  int kindMask = 0;  // the caller's mask, less what type removes
};
// From the CGI arguments (null: none): first 0 and count the capacity when
// absent; a negative first or count counts as 0. Type "D..." keeps the
// directories, "F..." the files (letter case ignored).
IndexRequest ParseIndexRequest(const CGIArgs* args, int capacity, int kindMask);

// The configured index database (setting indexdb) here or up to four
// directories above, opened for binary reading; its path into *path.
FILE* FindIndexDB(std::string* path);

// Title, href (PathToUrl of the path), description, keywords, FILEINFO (an
// empty field: none), sort order, kind, and the alias flag, which every
// entry from the database carries.
void RecordToEntry(const IndexRecord& record, Entry* entry);

// The thumbnail of the record from its thumbnail list ("name:w,h;..."): the
// first item when its name holds a '\', else the item named by the earliest
// folder thumbnail name; joined to the record's directory and made a URL.
// No choice: no thumbnail and size 0.
void ChooseThumbnail(const char* list, const char* directory, Entry* entry);

// The configured CGI URL, "?" and the request's non-empty config, query,
// type and id, form-encoded, joined by "&amp;".
String CgiBaseUrl(const IndexRequest& request);
