#include "programs/taglist/command_line.h"

#include <cstring>

#include "shared/chars.h"

namespace {

// The character an escape letter stands for, or 0 for none.
char EscapedChar(char letter) {
  static const char kLetters[] = "\\abfgilnqrtv";
  static const char kChars[] = "\\\a\b\f>|<\n\"\r\t\v";
  const char* found = letter ? strchr(kLetters, letter) : nullptr;
  return found ? kChars[found - kLetters] : 0;
}

}  // namespace

bool SplitCommandLine(const char* line, std::vector<CommandWord>* words) {
  words->clear();
  const char* p = line;
  bool first = true;
  for (;;) {
    while (IsSpace(*p)) ++p;
    if (!*p) return true;
    CommandWord word;
    word.isOption = *p == '/' || *p == '-';
    bool quoting = false;
    bool justClosed = false;
    for (; *p && (quoting || !IsSpace(*p)); ++p) {
      if (*p != '"') {
        word.text += *p;
        justClosed = false;
      } else if (quoting) {
        quoting = false;
        justClosed = true;
      } else {
        if (justClosed) word.text += '"';
        quoting = true;
        justClosed = false;
      }
    }
    if (quoting) return false;
    if (!first) words->push_back(word);
    first = false;
  }
}

std::string ApplyEscapes(const std::string& text) {
  std::string result;
  for (size_t i = 0; i < text.size(); ++i) {
    char replaced = text[i] == '\\' && i + 1 < text.size() ? EscapedChar(text[i + 1]) : 0;
    if (replaced) {
      result += replaced;
      ++i;
    } else {
      result += text[i];
    }
  }
  return result;
}
