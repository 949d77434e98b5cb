#include "pagehead/edit_string.h"

#include <cstring>

#include "platform/assert.h"
#include "shared/chars.h"
#include "shared/paths.h"
#include "shared/string.h"

namespace {

const char kFileNameMacro[] = "%FILENAME%";

// Editors hand the results straight to setters that refuse a null text.
String NonNull(String text) { return text.IsNull() ? String("") : text; }

size_t CountNoCase(const char* text, const char* pattern, size_t patternLength) {
  size_t count = 0;
  for (const char* at = FindNoCase(text, pattern); at; at = FindNoCase(at + patternLength, pattern))
    ++count;
  return count;
}

}  // namespace

String ReplaceAll(const char* sString, const char* pString1, const char* pString2) {
  WEFT_ASSERT(sString);
  WEFT_ASSERT(pString1);
  WEFT_ASSERT(pString2);
  size_t oldLength = strlen(pString1);
  // An empty search text would occur without end; the text stays as it is.
  if (oldLength == 0) return String(sString);
  size_t count = CountNoCase(sString, pString1, oldLength);
  if (count == 0) return String(sString);
  size_t newLength = strlen(pString2);
  String result(strlen(sString) + count * newLength - count * oldLength + 1);
  char* out = result.Text();
  const char* from = sString;
  for (const char* at = FindNoCase(from, pString1); at; at = FindNoCase(from, pString1)) {
    memcpy(out, from, at - from);
    out += at - from;
    memcpy(out, pString2, newLength);
    out += newLength;
    from = at + oldLength;
  }
  strcpy(out, from);
  return result;
}

String ExpandFileName(const char* pString, const char* pFileName) {
  WEFT_ASSERT(pString);
  WEFT_ASSERT(pFileName);
  String name(BaseName(pFileName));
  if (!HasLowerCase(name)) {
    if (name.Text()) LowerCase(name.Text());
  }
  return NonNull(ReplaceAll(pString, kFileNameMacro, name ? name.Text() : ""));
}

String DeleteString(const char* pString, const char* pDelete) {
  WEFT_ASSERT(pString);
  WEFT_ASSERT(pDelete);
  const char* at = *pDelete ? strstr(pString, pDelete) : nullptr;
  if (!at) return String(pString);
  String result(strlen(pString) - strlen(pDelete) + 1);
  memcpy(result.Text(), pString, at - pString);
  strcpy(result.Text() + (at - pString), at + strlen(pDelete));
  return result;
}

String EditString(const char* current, const char* pEditString, const char* pFileName) {
  WEFT_ASSERT(pEditString);
  WEFT_ASSERT(pFileName);
  if (!current) current = "";
  if (strcmp(pEditString, "-*") == 0) return String("");
  const char* rest = pEditString + (*pEditString ? 1 : 0);
  switch (*pEditString) {
    case '+':
    case '>':
      return NonNull(Concat(current, ExpandFileName(rest, pFileName)));
    case '-':
      return DeleteString(current, ExpandFileName(rest, pFileName));
    case '<':
      return NonNull(Concat(ExpandFileName(rest, pFileName), current));
    case '?': {
      const char* equals = strchr(rest, '=');
      if (!equals) return String(current);
      String before(static_cast<size_t>(equals - rest + 1));
      memcpy(before.Text(), rest, equals - rest);
      before.Text()[equals - rest] = 0;
      return ReplaceAll(current, ExpandFileName(before, pFileName),
                        ExpandFileName(equals + 1, pFileName));
    }
    default:
      return ExpandFileName(pEditString, pFileName);
  }
}
