// Sorting, writing and merging the index database: the records of the scan
// list become nine-field lines on the output, either alone or merged into a
// sorted old database whose records of the scanned tree they replace.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "programs/pagebase/dir_entry.h"
#include "shared/dir_names.h"

// The nodes of the list that carry an entry, in list order.
std::vector<DirEntry*> CollectRecords(const DirEntryList& list);

// Order of the database: title (letter case ignored), then name (letter case
// ignored), then the record path (letter case ignored, then exactly).
// Negative, zero or positive.
int CompareIndexRecords(const DirEntry* a, const DirEntry* b);
void SortIndex(std::vector<DirEntry*>* records);

// Bytes of the thumbnail field: 255 characters and the terminator.
constexpr size_t kThumbnailFieldSize = 256;

// The thumbnail field of a record with this path: for a directory record
// the folder thumbnails that exist beside its index page, each with its
// pixel size (as found during the walk, when it was); else the entry's
// thumbnail. Returns the buffer.
char* ThumbnailField(const DirEntry* node, const char* recordPath, char* buffer);
// The same for the directory record of `dir`, whose listing `names` tells
// which folder thumbnails are there. Returns the buffer.
char* FolderThumbnailField(const std::string& dir, const std::vector<ListedName>& names,
                           char* buffer);

// Writes the records in order; counts the lines written. False when a write
// failed (writing stops there).
bool WriteIndex(const std::vector<DirEntry*>& records, FILE* out, long* written);

// Counts of a merge.
struct MergeCounts {
  long deleted = 0;  // old lines of the scanned tree dropped
  long added = 0;    // new records written
  long skipped = 0;  // blank, damaged or overlong old lines, each warned about
  bool readFailed = false;  // the old database could not be read to its end
};

// Merges the sorted old database on in with the records: old lines whose
// path lies in the scanned start directory (on its drive) are dropped, the
// others are written in order among the new ones (an old line first when
// title and name sort equal). False when a write failed.
bool MergeIndex(const std::vector<DirEntry*>& records, const char* start, FILE* in, FILE* out,
                MergeCounts* counts);
