#include "programs/tagquery/keyword_filter.h"

#include <cstring>

#include "platform/files.h"
#include "shared/keywords.h"
#include "shared/line_reader.h"
#include "shared/paths.h"

namespace {

// Fields looked at: a keyword database line has two or three, an index
// database line four or more; the scan stops after the fourth.
constexpr int kFieldsLookedAt = 4;

bool WriteLine(FILE* out, const char* line, size_t length) {
  return fwrite(line, 1, length, out) == length && putc('\n', out) != EOF;
}

}  // namespace

bool KeywordField(const char* line, size_t length, std::string* field) {
  const char* end = line + length;
  const char* starts[kFieldsLookedAt];
  const char* ends[kFieldsLookedAt];
  int count = 0;
  for (const char* cursor = line; count < kFieldsLookedAt;) {
    const char* tab = static_cast<const char*>(memchr(cursor, '\t', static_cast<size_t>(end - cursor)));
    starts[count] = cursor;
    ends[count] = tab ? tab : end;
    ++count;
    if (!tab) break;
    cursor = tab + 1;
  }
  if (count == 1) return false;
  int pick = count == kFieldsLookedAt ? 3 : 1;
  field->assign(starts[pick], static_cast<size_t>(ends[pick] - starts[pick]));
  size_t feed = field->find('\n');
  if (feed != std::string::npos) field->resize(feed);
  return true;
}

FilterResult FilterDatabase(const char* expression, FILE* in, FILE* out) {
  if (!KeywordExpressionParses(expression)) return kFilterSyntaxError;
  LineReader reader(in);
  std::string field;
  while (reader.Next()) {
    if (!KeywordField(reader.Text(), reader.Length(), &field)) continue;
    const char* cursor = expression;
    bool matches = EvalKeywordExpression(field.c_str(), cursor);
    if (matches && !WriteLine(out, reader.Text(), reader.Length())) return kFilterWriteError;
  }
  if (reader.Failed()) return kFilterReadError;
  if (fflush(out) != 0 || ferror(out)) return kFilterWriteError;
  return kFilterDone;
}

std::string DefaultExpression() {
  char current[kMaxPath + 1];
  if (!GetCurrentDir(current, sizeof current)) return std::string();
  return BaseName(current);
}
