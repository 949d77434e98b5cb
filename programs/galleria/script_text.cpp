#include "programs/galleria/script_text.h"

#include <cstring>
#include <string>

namespace {

// The text with a backslash before every character of `characters` and,
// with `endTags`, before every '/' that follows a '<'.
String Escaped(const char* text, const char* characters, bool endTags) {
  if (!text) return String();
  std::string escaped;
  for (const char* c = text; *c; ++c) {
    bool endTag = endTags && *c == '/' && c > text && c[-1] == '<';
    if (endTag || strchr(characters, *c)) escaped += '\\';
    escaped += *c;
  }
  return String(escaped.c_str());
}

}  // namespace

String QuoteEscape(const char* text, const char* characters) {
  return Escaped(text, characters, false);
}

String ScriptText(const char* text) { return Escaped(text, "\"\\", true); }

String EndTagsEscaped(const char* text) { return Escaped(text, "", true); }
