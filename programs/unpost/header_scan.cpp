#include "programs/unpost/header_scan.h"

#include <cstring>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A newline at `p` continues the header when the next line begins with
// blanks or tabs and holds more than them.
bool IsFold(const char* p) {
  if (*p != '\n' || !IsBlank(p[1])) return false;
  const char* q = p + 1;
  while (IsBlank(*q)) ++q;
  return *q != '\n' && *q != '\0';
}

bool IsTokenChar(char c) {
  return static_cast<unsigned char>(c) > ' ' && strchr("()<>@,;:\\\"/[]?=", c) == nullptr;
}

void AppendBounded(std::string* text, char c) {
  if (text->size() < kMaxHeaderToken) *text += c;
}

}  // namespace

void SkipSpaces(const char*& cursor) {
  while (IsBlank(*cursor) || IsFold(cursor)) ++cursor;
}

std::string ReadToken(const char*& cursor) {
  SkipSpaces(cursor);
  std::string token;
  for (; IsTokenChar(*cursor); ++cursor) AppendBounded(&token, *cursor);
  return token;
}

std::string ReadQuoted(const char*& cursor) {
  char close = *cursor;
  if (close == '\0') return "";
  ++cursor;
  std::string text;
  for (; *cursor && *cursor != close && *cursor != '\n'; ++cursor) AppendBounded(&text, *cursor);
  if (*cursor == close) ++cursor;
  return text;
}

std::string ReadValue(const char*& cursor) {
  SkipSpaces(cursor);
  return *cursor == '"' ? ReadQuoted(cursor) : ReadToken(cursor);
}

bool NextParameter(const char*& cursor) {
  bool quoted = false;
  for (; *cursor; ++cursor) {
    if (*cursor == '\n' && !IsFold(cursor)) return false;
    if (*cursor == '"') quoted = !quoted;
    if (*cursor == ';' && !quoted) break;
  }
  if (*cursor != ';') return false;
  ++cursor;
  SkipSpaces(cursor);
  return *cursor != '\0' && *cursor != '\n';
}

bool MatchChar(const char*& cursor, char c) {
  if (*cursor != c || c == '\0') return false;
  ++cursor;
  return true;
}

void NextLine(const char*& cursor) {
  const char* end = strchr(cursor, '\n');
  cursor = end ? end + 1 : cursor + strlen(cursor);
}
