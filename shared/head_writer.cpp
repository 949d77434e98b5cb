#include "shared/head_writer.h"

#include "platform/assert.h"
#include "shared/entry.h"
#include "shared/head_fields.h"
#include "shared/htmltext.h"

namespace {

bool Put(FILE* stream, const char* text) { return fputs(text, stream) >= 0; }

bool TitleLine(FILE* stream, const char* title) {
  if (!title || !*title) return true;
  return fprintf(stream, "<TITLE>%s</TITLE>\n", HtmlEncodeString(title).Text()) >= 0;
}

// One META line; nothing when the value is empty.
bool MetaLine(FILE* stream, HeadMeta field, const char* value, bool encode) {
  if (!value || !*value) return true;
  if (!encode) return WriteMetaLine(stream, field, value);
  return WriteMetaLine(stream, field, HtmlEncodeString(value).Text());
}

bool SortOrderLine(FILE* stream, int sortOrder) {
  if (sortOrder == DefaultSortOrder) return true;
  char number[16];
  snprintf(number, sizeof number, "%d", sortOrder);
  return WriteMetaLine(stream, HeadMeta::kSortOrder, number);
}

}  // namespace

bool WriteHead(FILE* stream, bool closeHead, const char* title, const char* generator,
               const char* description, const char* keywords, int sortOrder,
               const char* fileInfo, const char* alias) {
  // Each step runs only when the ones before it succeeded.
  return Put(stream, "<HEAD>\n") && TitleLine(stream, title) &&
         MetaLine(stream, HeadMeta::kGenerator, generator, false) &&
         MetaLine(stream, HeadMeta::kDescription, description, true) &&
         MetaLine(stream, HeadMeta::kFileInfo, fileInfo, false) &&
         SortOrderLine(stream, sortOrder) &&
         MetaLine(stream, HeadMeta::kKeywords, keywords, true) &&
         MetaLine(stream, HeadMeta::kAlias, alias, false) &&
         (!closeHead || Put(stream, "</HEAD>\n\n"));
}

bool WriteMetaLine(FILE* stream, HeadMeta field, const char* content) {
  return fprintf(stream, "<META NAME=\"%s\" CONTENT=\"%s\">\n", HeadMetaName(field), content) >= 0;
}

bool WriteEntryHead(FILE* stream, bool closeHead, const Entry* entry, const char* generator,
                    const char* fileInfo, const char* alias) {
  if (!entry) AssertionFailed("pEntry", __FILE__, __LINE__);
  return WriteHead(stream, closeHead, entry->title, generator, entry->description,
                   entry->keywords, entry->sortOrder, fileInfo, alias);
}
