// Splits a command line into arguments by the rules of the C runtime's
// start-up code: white space outside quotes separates words, a leading switch
// character marks a switch, and other words may stand for the files they match.
#include "cmdline/cmdline.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/env.h"
#include "platform/files.h"

namespace {

bool IsWhite(char c) { return c != '\0' && strchr(" \t\n\r\v\f", c) != nullptr; }

// One word of the line, from `p` (not white space) to its end.
struct Word {
  std::string text;
  bool hadQuote = false;
  bool unmatched = false;  // the line ended inside a quote
};

Word CollectWord(const char*& p, int flags) {
  Word word;
  bool quoted = false;
  bool justClosed = false;
  for (; *p; ++p) {
    char c = *p;
    if (c != '"') {
      if (!quoted && IsWhite(c)) break;
      word.text += c;
      justClosed = false;
      continue;
    }
    word.hadQuote = true;
    bool opening = !quoted;
    bool literal = opening && justClosed && (flags & kArgDoubledQuote);
    if (literal || (flags & kArgKeepQuotes)) word.text += '"';
    justClosed = !opening;
    quoted = !quoted;
  }
  word.unmatched = quoted;
  return word;
}

bool WantsExpansion(const Word& word, int flags) {
  if (flags & kArgExpandAll) return true;
  return (flags & kArgExpandUnquoted) && !word.hadQuote;
}

[[noreturn]] void Fatal(const char* message, int status) {
  fputs(message, stderr);
  exit(status);
}

}  // namespace

ArgumentList::~ArgumentList() {
  while (head_) {
    Argument* next = head_->next;
    delete head_;
    head_ = next;
  }
}

void ArgumentList::Append(const std::string& text) {
  Argument* node = new Argument{text, nullptr};
  if (tail_) {
    tail_->next = node;
  } else {
    head_ = node;
  }
  tail_ = node;
  ++count_;
}

std::vector<std::string> ArgumentList::Take() {
  std::vector<std::string> texts;
  texts.reserve(count_);
  while (head_) {
    Argument* next = head_->next;
    texts.push_back(std::move(head_->text));
    delete head_;
    head_ = next;
  }
  tail_ = nullptr;
  count_ = 0;
  return texts;
}

int ExpandWildcards(ArgumentList* list, const std::string& text, int flags) {
  size_t cut = text.find_last_of("\\/:");
  size_t nameStart = cut == std::string::npos ? 0 : cut + 1;
  bool pattern = text != "/?" && text.find_first_of("*?", nameStart) != std::string::npos;
  if (!pattern) {
    list->Append(text);
    return 1;
  }
  std::string dirPart = text.substr(0, nameStart);
  int count = 0;
  FindData data;
  FindState* state = FindFirst(text.c_str(), &data);
  for (bool more = state != nullptr; more; more = FindNext(state, &data)) {
    if (data.attributes & (kAttrHidden | kAttrDirectory)) continue;
    std::string path = dirPart + data.name;
    if (path.size() >= static_cast<size_t>(kMaxPath)) {
      if (!(flags & kArgFatalErrors)) continue;
      FindClose(state);
      Fatal("Path too long\n", 1);
    }
    list->Append(path);
    ++count;
  }
  if (state) FindClose(state);
  if (count > 0) return count;
  if (flags & kArgNoMatchIsFatal) {
    fprintf(stderr, "File not found - %s\n", text.c_str());
    exit(0);
  }
  if (flags & kArgNoMatchDropped) return 0;
  list->Append(text);
  return 1;
}

bool SplitCommandLine(const char* line, int flags, const char* switchCharacters,
                      std::vector<std::string>* args) {
  ArgumentList list;
  bool unmatched = false;
  bool first = true;
  const char* p = line ? line : "";
  for (;;) {
    while (IsWhite(*p)) ++p;
    if (!*p) break;
    // The program's own name is taken as it stands.
    bool isSwitch = !first && strchr(switchCharacters, *p) != nullptr;
    if (isSwitch) ++p;
    Word word = CollectWord(p, flags);
    unmatched = unmatched || word.unmatched;
    if (isSwitch) {
      list.Append(kSwitchMark + word.text);
    } else if (!first && WantsExpansion(word, flags)) {
      ExpandWildcards(&list, word.text, flags);
    } else {
      list.Append(word.text);
    }
    first = false;
  }
  if (unmatched && (flags & kArgFatalErrors)) Fatal("Unmatched \"\n", 1);
  *args = list.Take();
  return !unmatched;
}

bool ParseCommandLine(int* argc, char*** argv, int flags, const char* switchCharacters) {
  static std::vector<std::string> texts;
  static std::vector<char*> vector;
  bool complete = SplitCommandLine(GetCommandLineText(), flags, switchCharacters, &texts);
  vector.clear();
  for (std::string& text : texts) vector.push_back(text.data());
  vector.push_back(nullptr);
  *argc = static_cast<int>(texts.size());
  *argv = vector.data();
  return complete;
}
