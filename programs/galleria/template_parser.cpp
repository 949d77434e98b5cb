#include "programs/galleria/template_parser.h"

#include "shared/chars.h"

namespace {

// Buffer sizes, terminator included.
constexpr int kTagNameSize = 32;     // 30 characters; the 31st makes it no tag
constexpr int kAttrNameSize = 32;    // 31 characters kept
constexpr int kValueSize = 256;      // 255 characters kept
constexpr int kDirectiveSize = 32;   // 31 characters kept
constexpr int kRestSize = 256;       // 255 characters kept

// A text collected character by character; characters beyond its room are
// dropped, and it stays terminated.
template <int Size>
struct Collected {
  char text[Size] = {};
  int length = 0;
  void Add(int c) {
    if (length < Size - 1) text[length++] = static_cast<char>(c);
  }
  bool Full() const { return length == Size - 1; }
};

bool EndsWord(int c) { return c == -1 || c == '}' || IsSpace(c); }

}  // namespace

void TemplateParser::Directive(const char*, const char*) {}

void TemplateParser::PutString(const char* text) {
  if (!text) return;
  for (; *text; ++text) PutChar(static_cast<unsigned char>(*text));
}

int TemplateParser::Parse() {
  int previous = '\r';  // the first character counts as the start of a line
  bool drop = false;
  for (int c = GetChar(); c != -1; c = GetChar()) {
    if (c == '\n' && drop) c = '\r';
    drop = false;
    if ((previous == '\n' || previous == '\r') && c == '#') {
      ReadDirective();
      c = '\r';
    } else if (previous == '$') {
      if (c == '{') {
        drop = ReadTag() != 0;
        c = 0;
      } else {
        PutChar('$');
      }
    } else if (previous == '&') {
      if (c == '\n') {
        c = '\r';  // "&" and the line end vanish: the lines are joined
      } else {
        PutChar('&');
      }
    }
    if (c != 0 && c != '\r' && c != '$' && c != '&') PutChar(c);
    previous = c;
  }
  if (previous == '$' || previous == '&') PutChar(previous);
  return 0;
}

int TemplateParser::SkipSpace(int c) {
  while (c != -1 && IsSpace(c)) c = GetChar();
  return c;
}

// A comment runs to a "}" behind at least two dashes, or to the end of input.
void TemplateParser::ReadComment() {
  int dashes = 0;
  for (int c = GetChar(); c != -1; c = GetChar()) {
    if (c == '-') {
      ++dashes;
    } else if (c == '}') {
      if (dashes >= 2) return;
    } else {
      dashes = 0;
    }
  }
}

// Reads one attribute that begins with c; returns the character after it.
int TemplateParser::ReadAttribute(const char* tag, int c) {
  Collected<kAttrNameSize> name;
  while (!EndsWord(c) && c != '=') {
    name.Add(c);
    c = GetChar();
  }
  c = SkipSpace(c);
  Collected<kValueSize> value;
  if (c == '=') {
    c = SkipSpace(GetChar());
    if (c == '"' || c == '\'') {
      int quote = c;
      for (c = GetChar(); c != -1 && c != quote; c = GetChar()) {
        if (c == '\\') {
          c = GetChar();
          if (c == -1) break;
          if (c == 'n') c = '\n';
        }
        value.Add(c);
      }
      if (c == quote) c = GetChar();
      while (!EndsWord(c)) c = GetChar();  // text behind the closing quote
    } else {
      while (!EndsWord(c)) {
        value.Add(c);
        c = GetChar();
      }
    }
  }
  Attribute(tag, name.text, value.text);
  return SkipSpace(c);
}

int TemplateParser::ReadTag() {
  Collected<kTagNameSize> name;
  int c = 0;
  while (!name.Full()) {
    c = GetChar();
    if (EndsWord(c)) break;
    name.Add(c);
  }
  if (name.text[0] == '-' && name.text[1] == '-') {
    ReadComment();
    return 1;
  }
  if (name.Full() || c == -1) {
    PutString("${");
    PutString(name.text);
    return 0;
  }
  if (!BeginTag(name.text)) {
    PutString("${");
    PutString(name.text);
    if (c != '\r') PutChar(c);  // carriage returns never reach the output
    return 0;
  }
  c = SkipSpace(c);
  while (c != -1 && c != '}') c = ReadAttribute(name.text, c);
  return EndTag(name.text);
}

void TemplateParser::ReadDirective() {
  Collected<kDirectiveSize> name;
  int c = GetChar();
  while (c != -1 && !IsSpace(c)) {
    name.Add(c);
    c = GetChar();
  }
  Collected<kRestSize> rest;
  if (c != '\n' && c != -1) {  // the character that ended the name is consumed
    c = GetChar();
    while (c == ' ' || c == '\t') c = GetChar();
    while (c != -1 && c != '\n') {
      rest.Add(c);
      c = GetChar();
    }
  }
  if (name.length > 0) Directive(name.text, rest.text);
}
