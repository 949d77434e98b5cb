// The index builder's scan tree: one node per start directory, subdirectory
// and catalogued record, all kept in one list in scan order; a node knows
// its parent, so a record's full path is rebuilt from its ancestors.
#pragma once

#include <cstddef>

#include "shared/entry.h"

struct DirEntry {
  char* name = nullptr;      // owned: the start path, a subdirectory or a file name
  Entry* entry = nullptr;    // owned: the record's entry; none for directory nodes
  DirEntry* next = nullptr;  // the next node of the list
  DirEntry* parent = nullptr;
  // Owned: a directory record's thumbnail field, found while its directory
  // was listed; null when it is to be looked up when written.
  char* folderThumbnails = nullptr;
};

// The one list of nodes, appended at its tail.
class DirEntryList {
 public:
  DirEntryList() = default;
  ~DirEntryList();  // frees every node with its name, entry and thumbnails
  DirEntryList(const DirEntryList&) = delete;
  DirEntryList& operator=(const DirEntryList&) = delete;

  // Appends a node with a copy of name; takes the entry (may be null).
  // `folderThumbnails` (may be null) is copied too.
  DirEntry* Append(const char* name, Entry* entry, DirEntry* parent,
                   const char* folderThumbnails = nullptr);

  DirEntry* head = nullptr;
  DirEntry* tail = nullptr;
  long count = 0;
};

// Bytes of a record path buffer: 259 characters and the terminator.
constexpr size_t kRecordPathSize = 260;

// The node's full path: its ancestors' names from the start path down,
// joined with '\' (none doubled after a root such as "C:\"), then the
// node's own name; cut to size - 1 characters. Returns the buffer.
char* RecordPath(const DirEntry* node, char* buffer, size_t size);
