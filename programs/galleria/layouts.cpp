#include "programs/galleria/layouts.h"

#include <string>

#include "programs/galleria/entry_format.h"
#include "programs/galleria/entry_pieces.h"
#include "programs/galleria/index_page_output.h"
#include "programs/galleria/index_settings.h"
#include "shared/entry.h"
#include "shared/htmltext.h"

namespace {

constexpr char kDefaultTableAttributes[] = "BORDER=0 CELLPADDING=0 CELLSPACING=0";

bool InMask(const Entry* entry, int mask) { return (entry->kind & mask) != 0; }
bool HasText(const char* text) { return text && *text; }
bool HasThumbnail(const Entry* entry) { return entry->thumbnail != nullptr; }
bool HasDescription(const Entry* entry) { return HasText(entry->description); }

template <typename Test>
bool AnyInMask(Entry* const* entries, int count, int mask, Test test) {
  for (int i = 0; i < count; ++i) {
    if (InMask(entries[i], mask) && test(entries[i])) return true;
  }
  return false;
}

// Calls list(entry, number) for each entry of the mask in turn, numbered from
// 0; returns how many there were.
template <typename List>
int ListInMask(Entry** entries, int count, int mask, List list) {
  int listed = 0;
  for (int i = 0; i < count; ++i) {
    if (InMask(entries[i], mask)) list(entries[i], listed++);
  }
  return listed;
}

void Put(FILE* out, const char* text) {
  if (text) WriteHTML(out, "%s", text);
}

void PutHeading(FILE* out, const char* heading) {
  if (heading) WriteHTML(out, "<H3>%s</H3>\n", heading);
}

// ListInMask for a listing under a heading: the heading, then `opening`
// (may be null), come before the first entry.
template <typename List>
int ListUnderHeading(FILE* out, const char* heading, const char* opening, Entry** entries,
                     int count, int mask, List list) {
  return ListInMask(entries, count, mask, [&](Entry* entry, int number) {
    if (number == 0) {
      PutHeading(out, heading);
      Put(out, opening);
    }
    list(entry, number);
  });
}

String EscapedShortTitle(const Entry* entry) { return HtmlEncodePageString(ShortTitle(entry->title)); }

// What "<?TAB>" becomes in a format table: the end of one cell and the
// opening of the next, sized to whatever cell attributes are given.
std::string SplitText(const TableFormat& table) {
  std::string split = "</TD>\n";
  if (table.iPadding) split += "<TD WIDTH=" + std::to_string(table.iPadding) + "></TD>\n";
  split += "<TD";
  if (table.columnWidth2) split += " WIDTH=" + std::to_string(table.columnWidth2);
  if (HasText(table.cellAttributes)) split += std::string(" ") + table.cellAttributes;
  split += ">";
  return split;
}

void OpenFormatTable(FILE* out, const char* heading, bool inlined, int columns,
                     const char* tableAttributes) {
  if (columns > 1 && !inlined) Put(out, "<CENTER>\n");
  if (HasText(heading)) WriteHTML(out, "<H3>%s</H3>\n", heading);
  if (HasText(tableAttributes)) {
    WriteHTML(out, "<TABLE %s>\n", tableAttributes);
  } else {
    Put(out, "<TABLE>\n");
  }
}

void OpenFormatRow(FILE* out, bool firstRow, const TableFormat& table) {
  if (!firstRow) {
    Put(out, "</TR>\n");
    if (table.vPadding) WriteHTML(out, "<TR><TD HEIGHT=%d></TD></TR>\n", table.vPadding);
  }
  if (HasText(table.rowAttributes)) {
    WriteHTML(out, "<TR %s>\n", table.rowAttributes);
  } else {
    Put(out, "<TR>\n");
  }
}

void WriteFormatCell(FILE* out, Entry* entry, const TableFormat& table, const char* split) {
  Put(out, "<TD");
  if (table.columnWidth1) WriteHTML(out, " WIDTH=%d", table.columnWidth1);
  if (HasText(table.cellAttributes)) WriteHTML(out, " %s", table.cellAttributes);
  Put(out, ">");
  Put(out, ExpandEntryFormat(table.format, entry, split));
  Put(out, "</TD>\n");
}

// The layout of the listing section when the entries decide (format auto).
int WriteAutoListing(FILE* out, Entry** entries, int count, const char* heading, int mask,
                     bool inlined) {
  if (!AnyInMask(entries, count, mask, HasThumbnail)) {
    return WriteListTable(out, entries, count, heading, mask, inlined, false);
  }
  if (!AnyInMask(entries, count, mask, HasDescription)) {
    return WriteCompactListing(out, entries, count, heading, mask, inlined, 0, 0);
  }
  return WriteColumnListing(out, entries, count, heading, mask, inlined, 0, 0);
}

TableFormat SectionTable(const ListingSection& section) {
  TableFormat table;
  table.format = section.text;
  table.columns = section.columns;
  table.iPadding = section.iPadding;
  table.hPadding = section.hPadding;
  table.vPadding = section.vPadding;
  table.columnWidth1 = section.columnWidth1;
  table.columnWidth2 = section.columnWidth2;
  table.tableAttributes = HasText(section.tableAttributes) ? section.tableAttributes : nullptr;
  table.rowAttributes = section.rowAttributes;
  table.cellAttributes = section.cellAttributes;
  return table;
}

// The expansion of an entry in a plain-line layout.
String LineExpansion(const char* format, Entry* entry, bool nbsp) {
  String text = ExpandEntryFormat(HasText(format) ? format : kSimpleFormat, entry, " ");
  return nbsp ? NbspOutsideTags(text) : text;
}

}  // namespace

int WriteListing(FILE* out, Entry** entries, int count, const char* heading, int mask,
                 bool inlined) {
  const ListingSection& section = listingSections[(mask & kDirectoryKinds) ? 0 : 1];
  const IndexSettings& settings = indexSettings;
  if (section.layout == ListingLayout::Simple) {
    return WriteSimpleListing(out, entries, count, heading, mask, inlined, section.text, false);
  }
  if (section.layout == ListingLayout::Thumbnail && settings.thumbnails) {
    return WriteThumbnailListing(out, entries, count, heading, mask, inlined, section.text);
  }
  if (section.layout == ListingLayout::Bullet || !settings.tables) {
    return WriteBulletListing(out, entries, count, heading, mask, inlined, section.text, false);
  }
  if (section.format == ListingFormat::List || !settings.thumbnails) {
    return WriteListTable(out, entries, count, heading, mask, inlined, settings.thumbnails);
  }
  switch (section.format) {
    case ListingFormat::Column:
      return WriteColumnListing(out, entries, count, heading, mask, inlined, section.columns,
                                section.columnWidth1);
    case ListingFormat::Compact:
      return WriteCompactListing(out, entries, count, heading, mask, inlined, section.columns,
                                 section.columnWidth1);
    case ListingFormat::Custom:
      return WriteFormatTable(out, entries, count, heading, mask, inlined, SectionTable(section));
    default:
      return WriteAutoListing(out, entries, count, heading, mask, inlined);
  }
}

void WriteIndexListings(FILE* out, Entry** entries, int count) {
  if (indexSettings.combine) {
    WriteListing(out, entries, count, nullptr, kAllKinds, false);
    return;
  }
  int directories = WriteListing(out, entries, count, nullptr, kDirectoryKinds, false);
  WriteListing(out, entries, count, directories > 0 ? "Singles" : nullptr, kFileKinds, false);
}

int WriteFormatTable(FILE* out, Entry** entries, int count, const char* heading, int mask,
                     bool inlined, const TableFormat& given) {
  TableFormat table = given;
  if (table.columns < 1) table.columns = 1;
  if (!table.tableAttributes) table.tableAttributes = kDefaultTableAttributes;
  std::string split = SplitText(table);
  int written = 0;
  int column = 0;
  for (int i = 0; i < count; ++i) {
    if (!InMask(entries[i], mask)) continue;
    if (written == 0) OpenFormatTable(out, heading, inlined, table.columns, table.tableAttributes);
    if (column == 0) {
      OpenFormatRow(out, written == 0, table);
    } else if (table.hPadding) {
      WriteHTML(out, "<TD WIDTH=%d></TD>\n", table.hPadding);
    }
    WriteFormatCell(out, entries[i], table, split.c_str());
    column = (column + 1) % table.columns;
    ++written;
  }
  if (written == 0) return 0;
  Put(out, "</TR>\n</TABLE>");
  if (!inlined) {
    Put(out, "\n");
    if (table.columns > 1) Put(out, "</CENTER>\n");
  }
  return written;
}

int WriteRowTables(FILE* out, Entry** entries, int count, const char* heading, int mask,
                   bool inlined, const TableFormat& given, const char* separator) {
  TableFormat table = given;
  if (table.columns < 1) table.columns = 1;
  table.vPadding = 0;
  if (!HasText(separator)) separator = "<P>\n";
  int total = 0;
  int start = 0;
  while (start < count) {
    // The group ends with its columns-th entry in the mask, or at the end.
    int end = start;
    int inGroup = 0;
    while (end < count && inGroup < table.columns) inGroup += InMask(entries[end++], mask);
    if (inGroup > 0) {
      if (total > 0) WriteHTML(out, "\n%s", separator);
      total += WriteFormatTable(out, entries + start, end - start, total == 0 ? heading : nullptr,
                                mask, inlined, table);
    }
    start = end;
  }
  return total;
}

int WriteColumnListing(FILE* out, Entry** entries, int count, const char* heading, int mask,
                       bool inlined, int columns, int width) {
  bool thumbs = AnyInMask(entries, count, mask, HasThumbnail);
  TableFormat table;
  table.format = thumbs ? kColumnThumbFormat : kColumnFormat;
  table.columns = columns < 1 ? 2 : columns;
  table.hPadding = 16;
  table.columnWidth1 = thumbs ? 0 : width;
  table.columnWidth2 = width;
  table.tableAttributes = "";
  int written = WriteFormatTable(out, entries, count, heading, mask, true, table);
  if (written > 0 && !inlined) Put(out, "\n");
  return written;
}

int WriteCompactListing(FILE* out, Entry** entries, int count, const char* heading, int mask,
                        bool inlined, int columns, int width) {
  if (columns < 1) columns = 6;
  int written = ListInMask(entries, count, mask, [&](Entry* entry, int number) {
    if (number == 0) {
      if (!inlined) Put(out, "<CENTER>\n");
      PutHeading(out, heading);
      Put(out, "<TABLE BORDER>\n");
    }
    if (number % columns == 0) {
      if (number > 0) Put(out, "</TR>\n");
      Put(out, "<TR ALIGN=CENTER VALIGN=BOTTOM>\n");
    }
    if (width) {
      WriteHTML(out, "<TD WIDTH=%d>", width);
    } else {
      Put(out, "<TD>");
    }
    Put(out, EntryLink(entry));
    if (HasThumbnail(entry)) WriteHTML(out, "%s<BR>", Chars(EntryThumbTag(entry, nullptr)));
    Put(out, EscapedShortTitle(entry));
    Put(out, "</A></TD>\n");
  });
  if (written > 0) Put(out, inlined ? "</TR>\n</TABLE>" : "</TR>\n</TABLE>\n</CENTER>\n");
  return written;
}

int WriteListTable(FILE* out, Entry** entries, int count, const char* heading, int mask,
                   bool inlined, bool thumbnails) {
  thumbnails = thumbnails && AnyInMask(entries, count, mask, HasThumbnail);
  const char* opening =
      thumbnails ? "<TABLE BORDER=0>\n" : "<TABLE BORDER=0 CELLSPACING=0 CELLPADDING=0>\n";
  int written = ListUnderHeading(out, heading, opening, entries, count, mask, [&](Entry* entry, int) {
    if (!thumbnails) {
      Put(out, "<TR VALIGN=TOP>");
    } else if (HasThumbnail(entry)) {
      WriteHTML(out, "<TR VALIGN=BOTTOM><TD>%s%s</A></TD>", Chars(EntryLink(entry)),
                Chars(EntryThumbTag(entry, nullptr)));
    } else {
      Put(out, "<TR VALIGN=BOTTOM><TD></TD>");
    }
    WriteHTML(out, "<TD>%s%s</A></TD>", Chars(EntryLink(entry)), Chars(EscapedShortTitle(entry)));
    String info = InfoText(entry, false);
    if (HasText(info)) WriteHTML(out, "<TD WIDTH=16>&nbsp;</TD><TD>%s</TD>", info.Text());
    Put(out, "</TR>\n");
  });
  if (written > 0) Put(out, inlined ? "</TABLE>" : "</TABLE>\n");
  return written;
}

int WriteThumbnailListing(FILE* out, Entry** entries, int count, const char* heading, int mask,
                          bool inlined, const char* format) {
  if (!HasText(format)) format = kThumbnailFormat;
  int written = 0;
  for (int i = 0; i < count; ++i) {
    if (!InMask(entries[i], mask)) continue;
    String text = ExpandEntryFormat(format, entries[i], " ");
    if (!HasText(text)) continue;
    if (written == 0) {
      if (!inlined) Put(out, "<CENTER>\n");
      PutHeading(out, heading);
    } else {
      Put(out, "\n");
    }
    Put(out, text);
    ++written;
  }
  if (written > 0 && !inlined) Put(out, "\n</CENTER>\n");
  return written;
}

int WriteSimpleListing(FILE* out, Entry** entries, int count, const char* heading, int mask,
                       bool inlined, const char* format, bool nbsp) {
  auto line = [&](Entry* entry, int number) {
    if (number > 0) Put(out, "<BR>\n");
    Put(out, LineExpansion(format, entry, nbsp));
  };
  int listed = ListUnderHeading(out, heading, nullptr, entries, count, mask, line);
  if (listed > 0 && !inlined) Put(out, "\n");
  return listed;
}

int WriteBulletListing(FILE* out, Entry** entries, int count, const char* heading, int mask,
                       bool inlined, const char* format, bool nbsp) {
  int listed = ListUnderHeading(out, heading, "<UL>\n", entries, count, mask, [&](Entry* entry, int) {
    String text = LineExpansion(format, entry, nbsp);
    if (HasText(text)) WriteHTML(out, "<LI>%s\n", text.Text());
  });
  if (listed > 0) Put(out, inlined ? "</UL>" : "</UL>\n");
  return listed;
}

String NbspOutsideTags(const char* text) {
  if (!text) return String();
  std::string result;
  bool inTag = false;
  for (const char* p = text; *p; ++p) {
    if (*p == '<') inTag = true;
    if (*p == '>') inTag = false;
    if (*p == ' ' && !inTag) {
      result += "&nbsp;";
    } else {
      result += *p;
    }
  }
  return String(result.c_str());
}
