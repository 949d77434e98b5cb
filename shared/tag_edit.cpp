#include "shared/tag_edit.h"

#include <cstring>
#include <initializer_list>

#include "shared/chars.h"
#include "shared/string.h"

namespace {

constexpr int kMaxNameLength = kAttributeNameSize - 1;

char* SkipBlanks(char* p) {
  while (IsSpace(*p)) ++p;
  return p;
}

bool IsNameChar(char c) { return IsGraph(c) && c != '=' && c != '>'; }

// Copies [from, to) cut to size - 1 characters, terminated; nothing when the
// buffer is null or has no room.
void CopyRange(char* buffer, int size, const char* from, const char* to) {
  if (!buffer || size < 1) return;
  size_t length = static_cast<size_t>(to - from);
  if (length > static_cast<size_t>(size - 1)) length = static_cast<size_t>(size - 1);
  memcpy(buffer, from, length);
  buffer[length] = '\0';
}

// Names compare without regard to case, both cut as attribute names are.
bool SameName(const char* attribute, const char* name) {
  return CompareNoCaseN(attribute, name, kMaxNameLength) == 0;
}

}  // namespace

TagParser::TagParser(char* text, int capacity) : text_(text), capacity_(capacity), cursor_(text) {}

char* TagParser::TagName(char* buffer, int size) const {
  if (!buffer || size < 1) return buffer;
  const char* p = text_;
  if (*p == '<') ++p;
  const char* end = p;
  while (IsGraph(*end) && *end != '>') ++end;
  CopyRange(buffer, size, p, end);
  return buffer;
}

bool TagParser::NextAttribute(char* nameBuffer, char* valueBuffer, int valueSize) {
  if (cursor_ == text_) {
    while (IsGraph(*cursor_) && *cursor_ != '>') ++cursor_;
  }
  nameStart_ = cursor_;
  char* name = SkipBlanks(cursor_);
  char* p = name;
  while (IsNameChar(*p)) ++p;
  CopyRange(nameBuffer, kAttributeNameSize, name, p);
  nameEnd_ = p;
  p = SkipBlanks(p);
  if (*p != '=') {
    // A bare name: the blanks after it belong to the next attribute, so that
    // removing that one takes them along.
    cursor_ = nameEnd_;
    valueStart_ = valueEnd_ = nullptr;
    CopyRange(valueBuffer, valueSize, p, p);
    return name != nameEnd_;
  }
  p = SkipBlanks(p + 1);
  valueStart_ = p;
  const char* from = p;
  const char* to = p;
  if (*p == '"' || *p == '\'') {
    char quote = *p++;
    from = p;
    while (*p && *p != quote) ++p;
    to = p;
    if (*p) ++p;
  } else {
    while (IsGraph(*p) && *p != '>') ++p;
    to = p;
  }
  CopyRange(valueBuffer, valueSize, from, to);
  valueEnd_ = cursor_ = p;
  return name != nameEnd_;
}

char TagParser::QuoteFor(const char* value) {
  if (!value) return 0;
  if (!*value) return '"';
  if (strchr(value, '"')) return '\'';
  for (const char* p = value; *p; ++p) {
    if (!IsAlnum(*p)) return '"';
  }
  return 0;
}

void TagParser::Rewind() {
  cursor_ = text_;
  nameStart_ = nameEnd_ = valueStart_ = valueEnd_ = nullptr;
}

bool TagParser::FindAttribute(const char* name, char* valueBuffer, int valueSize) {
  Rewind();
  char found[kAttributeNameSize];
  while (NextAttribute(found, valueBuffer, valueSize)) {
    if (SameName(found, name)) return true;
  }
  return false;
}

// Replaces the text [from, to) by the pieces joined (null pieces are left
// out). Returns the end of the new text, or null, the tag unchanged, when
// the result would not fit the capacity.
char* TagParser::Splice(char* from, char* to, std::initializer_list<const char*> pieces) {
  size_t insert = 0;
  for (const char* piece : pieces) insert += piece ? strlen(piece) : 0;
  size_t length = strlen(text_);
  size_t removed = static_cast<size_t>(to - from);
  if (length - removed + insert >= static_cast<size_t>(capacity_)) return nullptr;
  memmove(from + insert, to, strlen(to) + 1);
  char* p = from;
  for (const char* piece : pieces) {
    if (!piece) continue;
    size_t n = strlen(piece);
    memcpy(p, piece, n);
    p += n;
  }
  return p;
}

bool TagParser::ReplaceValue(const char* value) {
  if (!nameEnd_) return false;
  if (!value) {
    if (valueEnd_) {
      char* end = Splice(nameEnd_, valueEnd_, {});
      if (!end) return false;
      valueStart_ = valueEnd_ = nullptr;
      cursor_ = end;
    }
    return true;
  }
  char quote[2] = {QuoteFor(value), '\0'};
  if (valueStart_) {
    if (!quote[0] && (*valueStart_ == '"' || *valueStart_ == '\'')) quote[0] = *valueStart_;
    char* end = Splice(valueStart_, valueEnd_, {quote, value, quote});
    if (!end) return false;
    valueEnd_ = cursor_ = end;
    return true;
  }
  char* end = Splice(nameEnd_, nameEnd_, {"=", quote, value, quote});
  if (!end) return false;
  valueStart_ = nameEnd_ + 1;
  valueEnd_ = cursor_ = end;
  return true;
}

bool TagParser::AppendAttribute(const char* name, const char* value) {
  if (!name) return false;
  char quote[2] = {QuoteFor(value), '\0'};
  size_t length = strlen(text_);
  char* end = text_ + length;
  if (length > 0 && end[-1] == '>') --end;
  char* newEnd = value ? Splice(end, end, {" ", name, "=", quote, value, quote})
                       : Splice(end, end, {" ", name});
  if (!newEnd) return false;
  nameStart_ = end;
  nameEnd_ = end + 1 + strlen(name);
  valueStart_ = value ? nameEnd_ + 1 : nullptr;
  valueEnd_ = value ? newEnd : nullptr;
  cursor_ = newEnd;
  return true;
}

bool TagParser::SetAttribute(const char* name, const char* value) {
  if (FindAttribute(name, nullptr, 0)) return ReplaceValue(value);
  return AppendAttribute(name, value);
}

bool TagParser::RemoveAttribute(const char* name) {
  if (!FindAttribute(name, nullptr, 0)) return false;
  if (!Splice(nameStart_, valueEnd_ ? valueEnd_ : nameEnd_, {})) return false;
  cursor_ = nameStart_;
  nameEnd_ = valueStart_ = valueEnd_ = nullptr;
  return true;
}
