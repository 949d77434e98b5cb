#include "programs/galleria/script_text.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "shared/utf8.h"

namespace {

// One UTF-16 unit as a script escape: "\u" and four upper-case hex digits.
void AppendUnit(std::string* text, uint32_t unit) {
  char escape[8];
  snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(unit));
  *text += escape;
}

// A code point as the script's string holds it: one unit, or two
// (a surrogate pair) past U+FFFF.
void AppendCodePoint(std::string* text, uint32_t codePoint) {
  if (codePoint <= 0xFFFF) {
    AppendUnit(text, codePoint);
    return;
  }
  uint32_t offset = codePoint - 0x10000;
  AppendUnit(text, 0xD800 + (offset >> 10));
  AppendUnit(text, 0xDC00 + (offset & 0x3FF));
}

// The text with a backslash before every character of `characters` and,
// with `endTags`, before every '/' that follows a '<'. With `unicode`, every
// valid UTF-8 sequence becomes its \u escape, which the script reads as the
// letter whatever charset the page is read in.
String Escaped(const char* text, const char* characters, bool endTags, bool unicode) {
  if (!text) return String();
  std::string escaped;
  for (const char* c = text; *c; ++c) {
    uint32_t codePoint = 0;
    size_t sequence = unicode ? Utf8Sequence(c, &codePoint) : 0;
    if (sequence) {
      AppendCodePoint(&escaped, codePoint);
      c += sequence - 1;
      continue;
    }
    bool endTag = endTags && *c == '/' && c > text && c[-1] == '<';
    if (endTag || strchr(characters, *c)) escaped += '\\';
    escaped += *c;
  }
  return String(escaped.c_str());
}

}  // namespace

String QuoteEscape(const char* text, const char* characters) {
  return Escaped(text, characters, false, false);
}

String ScriptText(const char* text) { return Escaped(text, "\"\\", true, true); }

String EndTagsEscaped(const char* text) { return Escaped(text, "", true, false); }
