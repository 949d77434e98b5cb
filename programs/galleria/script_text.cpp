#include "programs/galleria/script_text.h"

#include <cstring>
#include <string>

String QuoteEscape(const char* text, const char* characters) {
  if (!text) return String();
  std::string escaped;
  for (const char* c = text; *c; ++c) {
    if (strchr(characters, *c)) escaped += '\\';
    escaped += *c;
  }
  return String(escaped.c_str());
}

String ScriptText(const char* text) {
  if (!text) return String();
  std::string escaped;
  for (const char* c = text; *c; ++c) {
    bool endTag = *c == '/' && c > text && c[-1] == '<';
    if (*c == '"' || *c == '\\' || endTag) escaped += '\\';
    escaped += *c;
  }
  return String(escaped.c_str());
}
