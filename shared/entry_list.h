// Listing the current directory into sorted entries, with the site's hiding
// and pairing rules, and reading the directory's alias list "symlinks.txt",
// whose lines name items elsewhere that are listed here as well.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "shared/entry.h"
#include "shared/entry_factory.h"

// The sorted entries of one listing; owns them.
class EntryList {
 public:
  EntryList() = default;
  ~EntryList() { Clear(); }  // deletes every entry
  EntryList(const EntryList&) = delete;
  EntryList& operator=(const EntryList&) = delete;

  // Lists the current directory by the listing flags (kList... bits), after
  // clearing the list. False only when the entry array cannot be allocated
  // (the list is then empty); an empty directory is a success.
  bool Read(int flags);
  // Destroys the entries, last first, and empties the list.
  void Clear();

  int Count() const { return count; }
  Entry* operator[](int i) const { return entries[i]; }

  Entry** entries = nullptr;
  int count = 0;
};

// Bytes of an alias target path: 259 characters and the terminator.
constexpr size_t kAliasPathSize = 260;

// One line of an alias list, shaped like a find-data record.
struct AliasRecord {
  uint32_t attributes = 0;  // 0x10: the line names a directory
  char path[kAliasPathSize] = {};
};

// Results of ReadAliasLine.
constexpr int kAliasRead = 1;
constexpr int kAliasEnd = 0;
constexpr int kAliasIllegal = -1;  // only with check; the record is filled
constexpr int kAliasMissing = -2;  // only with check

// Reads the next usable line of an open alias list into the record. With
// `check`, an illegal path or a missing target is reported as a warning.
int ReadAliasLine(FILE* stream, AliasRecord* record, bool check);

// The sort orders of listings: sort order, then the title as cut by
// StripParenthesised (plainly or naturally compared, letter case ignored),
// then the href. Negative, zero or positive.
int CompareEntries(const Entry* a, const Entry* b);
int CompareEntriesNatural(const Entry* a, const Entry* b);

// Bytes of the StripParenthesised buffer: 255 characters and the terminator.
constexpr size_t kSortTitleSize = 256;
// The title used for sorting: the title itself when it has no '('; else a
// copy in buffer (kSortTitleSize bytes) cut before the first '(' and the
// blanks before it. A null title gives "".
const char* StripParenthesised(const char* title, char* buffer);
