#include "shared/head_writer.h"

#include "platform/assert.h"
#include "shared/entry.h"
#include "shared/htmltext.h"

namespace {

bool Put(FILE* stream, const char* text) { return fputs(text, stream) >= 0; }

// One line whose value is filled into format; nothing when the value is empty.
bool Line(FILE* stream, const char* format, const char* value, bool encode) {
  if (!value || !*value) return true;
  if (!encode) return fprintf(stream, format, value) >= 0;
  String encoded = HtmlEncodeString(value);
  return fprintf(stream, format, encoded.Text()) >= 0;
}

bool SortOrderLine(FILE* stream, int sortOrder) {
  if (sortOrder == DefaultSortOrder) return true;
  return fprintf(stream, "<META NAME=\"SORTORDER\" CONTENT=\"%d\">\n", sortOrder) >= 0;
}

}  // namespace

bool WriteHead(FILE* stream, bool closeHead, const char* title, const char* generator,
               const char* description, const char* keywords, int sortOrder,
               const char* fileInfo, const char* alias) {
  // Each step runs only when the ones before it succeeded.
  return Put(stream, "<HEAD>\n") &&
         Line(stream, "<TITLE>%s</TITLE>\n", title, true) &&
         Line(stream, "<META NAME=\"GENERATOR\" CONTENT=\"%s\">\n", generator, false) &&
         Line(stream, "<META NAME=\"DESCRIPTION\" CONTENT=\"%s\">\n", description, true) &&
         Line(stream, "<META NAME=\"FILEINFO\" CONTENT=\"%s\">\n", fileInfo, false) &&
         SortOrderLine(stream, sortOrder) &&
         Line(stream, "<META NAME=\"KEYWORDS\" CONTENT=\"%s\">\n", keywords, true) &&
         Line(stream, "<META NAME=\"ALIAS\" CONTENT=\"%s\">\n", alias, false) &&
         (!closeHead || Put(stream, "</HEAD>\n\n"));
}

bool WriteEntryHead(FILE* stream, bool closeHead, const Entry* entry, const char* generator,
                    const char* fileInfo, const char* alias) {
  if (!entry) AssertionFailed("pEntry", __FILE__, __LINE__);
  return WriteHead(stream, closeHead, entry->title, generator, entry->description,
                   entry->keywords, entry->sortOrder, fileInfo, alias);
}
