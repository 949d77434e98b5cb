#include "shared/index_db.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/files.h"
#include "shared/chars.h"
#include "shared/keywords.h"
#include "shared/line_reader.h"

namespace {

bool IsLineBreakOrTab(char c) { return c == '\t' || c == '\r' || c == '\n'; }

bool WriteSeparator(FILE* out, char c) { return putc(c, out) != EOF; }

bool WriteNumbers(FILE* out, const IndexRecord& record) {
  return fprintf(out, "%d\t%d\t%04X\n", record.sortOrder, record.alias,
                 static_cast<unsigned>(record.kind)) > 0;
}

// The index database is looked for here and up to four directories above.
constexpr const char* kUpLevels[] = {"", "..\\", "..\\..\\", "..\\..\\..\\", "..\\..\\..\\..\\"};

// Reads a decimal number as atoi does (no number gives 0).
int DecimalField(const char* text) { return static_cast<int>(strtol(text, nullptr, 10)); }

}  // namespace

bool WriteFieldText(FILE* out, const char* text) {
  if (!text) return true;
  while (*text) {
    size_t run = strcspn(text, "\t\r\n");
    if (run && fwrite(text, 1, run, out) != run) return false;
    text += run;
    // Each TAB, CR or LF becomes a blank, so the line keeps its fields.
    for (; IsLineBreakOrTab(*text); ++text) {
      if (putc(' ', out) == EOF) return false;
    }
  }
  return true;
}

bool WriteIndexRecord(FILE* out, const IndexRecord& record) {
  const char* texts[] = {record.title,    record.path,     record.description,
                         record.keywords, record.fileInfo, record.thumbnails};
  for (const char* text : texts) {
    if (!WriteFieldText(out, text) || !WriteSeparator(out, '\t')) return false;
  }
  return WriteNumbers(out, record);
}

bool WriteKeywordLine(FILE* out, const char* path, const char* keywords) {
  return WriteFieldText(out, path) && WriteSeparator(out, '\t') && WriteFieldText(out, keywords) &&
         WriteSeparator(out, '\n');
}

bool ParseIndexLine(char* line, IndexRecord* record) {
  char* fields[kIndexFieldCount];
  char* cursor = line;
  for (int i = 0; i < kIndexFieldCount; ++i) {
    fields[i] = cursor;
    if (i == kFieldKind) break;
    char* tab = strchr(cursor, '\t');
    if (!tab) return false;
    *tab = '\0';
    cursor = tab + 1;
  }
  if (!IsXDigit(*fields[kFieldKind])) return false;
  record->title = fields[kFieldTitle];
  record->path = fields[kFieldPath];
  record->description = fields[kFieldDescription];
  record->keywords = fields[kFieldKeywords];
  record->fileInfo = fields[kFieldFileInfo];
  record->thumbnails = fields[kFieldThumbnails];
  record->sortOrder = DecimalField(fields[kFieldSortOrder]);
  record->alias = DecimalField(fields[kFieldAlias]);
  record->kind = static_cast<int>(strtol(fields[kFieldKind], nullptr, 16));
  return true;
}

FILE* OpenIndexDatabase(const char* name, const char* mode, std::string* path) {
  for (const char* up : kUpLevels) {
    std::string candidate = std::string(up) + name;
    if (FILE* stream = OpenFile(candidate.c_str(), mode)) {
      if (path) *path = candidate;
      return stream;
    }
  }
  return nullptr;
}

bool ReadIndexRecord(LineReader& lines, IndexRecord* record) {
  return lines.Next() && ParseIndexLine(lines.Text(), record);
}

String VisibleKeywords(const char* list) {
  if (!list) return String();
  std::string joined;
  const char* cursor = list;
  for (String item = NextKeyword(cursor); !item.IsNull(); item = NextKeyword(cursor)) {
    if (item.Text()[0] == '_') continue;
    if (!joined.empty()) joined += ", ";
    joined += item.Text();
  }
  return joined.empty() ? String() : String(joined.c_str());
}
