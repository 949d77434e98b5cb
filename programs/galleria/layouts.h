// The built-in listing layouts of an index page: a table driven by an entry
// format, the column table, the compact grid, the list table, a row of
// thumbnails, plain lines and a bullet list.
#pragma once

#include <cstdio>

#include "shared/string.h"

class Entry;

// Every layout takes the page stream, the entries and their count, a heading
// (null: none; written as "<H3>...</H3>"), the mask of entry kinds that belong
// to the listing (kDirectoryKinds, kFileKinds or kAllKinds) and whether the
// listing stands inside other markup (no CENTER around it, no closing line
// end). Each returns the number of entries it wrote.

// The layout that the listing section of the mask chooses (section 0 when
// the mask holds a directory bit, else section 1).
int WriteListing(FILE* out, Entry** entries, int count, const char* heading, int mask,
                 bool inlined);

// The listings of an index page: with the combine setting one listing of
// every entry, else the directories and then the files, the files headed
// "Singles" when directories were listed before them.
void WriteIndexListings(FILE* out, Entry** entries, int count);

// The table settings of WriteFormatTable and WriteRowTables.
struct TableFormat {
  const char* format = nullptr;  // entry format; "<?TAB>" splits one entry's cell
  int columns = 1;
  int iPadding = 0;  // between the two halves of an entry
  int hPadding = 0;  // between entries of a row
  int vPadding = 0;  // between rows
  int columnWidth1 = 0;
  int columnWidth2 = 0;
  const char* tableAttributes = nullptr;  // null: "BORDER=0 CELLPADDING=0 CELLSPACING=0"
  const char* rowAttributes = nullptr;
  const char* cellAttributes = nullptr;
};

int WriteFormatTable(FILE* out, Entry** entries, int count, const char* heading, int mask,
                     bool inlined, const TableFormat& table);
// One format table per row of `columns` entries, the separator (null or
// empty: "<P>\n") between them; the table's vPadding is not used.
int WriteRowTables(FILE* out, Entry** entries, int count, const char* heading, int mask,
                   bool inlined, const TableFormat& table, const char* separator);
int WriteColumnListing(FILE* out, Entry** entries, int count, const char* heading, int mask,
                       bool inlined, int columns, int width);
int WriteCompactListing(FILE* out, Entry** entries, int count, const char* heading, int mask,
                        bool inlined, int columns, int width);
int WriteListTable(FILE* out, Entry** entries, int count, const char* heading, int mask,
                   bool inlined, bool thumbnails);
// Format null or empty: the layout's default format.
int WriteThumbnailListing(FILE* out, Entry** entries, int count, const char* heading, int mask,
                          bool inlined, const char* format);
// With nbsp, the blanks outside tags of each entry become "&nbsp;".
int WriteSimpleListing(FILE* out, Entry** entries, int count, const char* heading, int mask,
                       bool inlined, const char* format, bool nbsp);
int WriteBulletListing(FILE* out, Entry** entries, int count, const char* heading, int mask,
                       bool inlined, const char* format, bool nbsp);

// A copy of text whose blanks outside tags ('<' to '>') are "&nbsp;".
String NbspOutsideTags(const char* text);
