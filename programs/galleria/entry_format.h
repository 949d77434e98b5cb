// Entry formats: short texts that mix literal HTML with references to an
// entry's values ("${title}", "${desc}" ...), pseudo-tags ("<?A>", "<?BR>",
// "<?SP>", "<?TAB>") and groups in braces that vanish when they come out empty.
#pragma once

#include "shared/string.h"

class Entry;

// The default formats of the built-in layouts.
extern const char kSimpleFormat[];       // simple and bullet listings
extern const char kThumbnailFormat[];    // thumbnail listings
extern const char kColumnFormat[];       // column table, no thumbnails
extern const char kColumnThumbFormat[];  // column table with thumbnails

// The expansion of the whole format for one entry; "<?TAB>" stands for
// tabText. A format without any counted piece expands to the empty text.
String ExpandEntryFormat(const char* format, Entry* entry, const char* tabText);

// The value of one named reference ("title", "desc", "info", "icons",
// "thumb", "nothumb", "keywords", "order"; others are empty) with its
// attribute text (may be null).
String EntryVariable(const char* name, const char* attributes, Entry* entry);
