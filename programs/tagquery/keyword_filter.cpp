#include "programs/tagquery/keyword_filter.h"

#include <cstring>

#include "platform/drives.h"
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

bool FindKeywordField(const char* line, size_t length, size_t* begin, size_t* end) {
  const char* lineEnd = line + length;
  const char* starts[kFieldsLookedAt];
  const char* ends[kFieldsLookedAt];
  int count = 0;
  for (const char* cursor = line; count < kFieldsLookedAt;) {
    const char* tab =
        static_cast<const char*>(memchr(cursor, '\t', static_cast<size_t>(lineEnd - cursor)));
    starts[count] = cursor;
    ends[count] = tab ? tab : lineEnd;
    ++count;
    if (!tab) break;
    cursor = tab + 1;
  }
  if (count == 1) return false;
  int pick = count == kFieldsLookedAt ? 3 : 1;
  const char* feed =
      static_cast<const char*>(memchr(starts[pick], '\n', static_cast<size_t>(ends[pick] - starts[pick])));
  *begin = static_cast<size_t>(starts[pick] - line);
  *end = static_cast<size_t>((feed ? feed : ends[pick]) - line);
  return true;
}

bool KeywordField(const char* line, size_t length, std::string* field) {
  size_t begin, end;
  if (!FindKeywordField(line, length, &begin, &end)) return false;
  field->assign(line + begin, end - begin);
  return true;
}

FilterResult FilterDatabase(const char* expression, FILE* in, FILE* out) {
  if (!KeywordExpressionParses(expression)) return kFilterSyntaxError;
  LineReader reader(in);
  while (reader.Next()) {
    char* line = reader.Text();
    size_t begin, end;
    if (!FindKeywordField(line, reader.Length(), &begin, &end)) continue;
    // The list is read where it stands, ended for the while by a zero byte.
    char kept = line[end];
    line[end] = '\0';
    const char* cursor = expression;
    bool matches = EvalKeywordExpression(line + begin, cursor);
    line[end] = kept;
    if (matches && !WriteLine(out, line, reader.Length())) return kFilterWriteError;
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
