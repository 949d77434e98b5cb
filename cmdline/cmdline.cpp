// Splits a command line into arguments by the rules of the C runtime's
// start-up code: white space outside quotes separates words, a leading switch
// character marks a switch, and other words may stand for the files they match.
#include "cmdline/cmdline.h"

#include <cstring>

#include "platform/attributes.h"
#include "platform/drives.h"
#include "platform/env.h"
#include "shared/wild_args.h"

namespace {

bool IsWhite(char c) { return c != '\0' && strchr(" \t\n\r\v\f", c) != nullptr; }

// One word of the line, from `p` (not white space) to its end. True when
// its quotes are matched.
bool CollectWord(const char*& p, int flags, CommandWord* word) {
  bool quoted = false;
  bool justClosed = false;
  for (; *p; ++p) {
    char c = *p;
    if (c != '"') {
      if (!quoted && IsWhite(c)) break;
      word->text += c;
      justClosed = false;
      continue;
    }
    word->hadQuote = true;
    bool opening = !quoted;
    bool literal = opening && justClosed && (flags & kArgDoubledQuote);
    if (literal || (flags & kArgKeepQuotes)) word->text += '"';
    justClosed = !opening;
    quoted = !quoted;
  }
  return !quoted;
}

bool WantsExpansion(const CommandWord& word, int flags) {
  if (flags & kArgExpandAll) return true;
  return (flags & kArgExpandUnquoted) && !word.hadQuote;
}

void Stop(ArgumentStop* stop, std::string message, int status) {
  if (!stop) return;
  stop->stopped = true;
  stop->message = std::move(message);
  stop->status = status;
}

}  // namespace

int ExpandWildcards(std::vector<std::string>* args, const std::string& text, int flags,
                    ArgumentStop* stop) {
  if (!IsWildPattern(text.c_str())) {
    args->push_back(text);
    return 1;
  }
  int count = 0;
  for (std::string& path : MatchingFiles(text.c_str(), kAttrHidden | kAttrDirectory)) {
    if (path.size() >= static_cast<size_t>(kMaxPath)) {
      if (!(flags & kArgFatalErrors)) continue;
      Stop(stop, "Path too long\n", 1);
      return count;
    }
    args->push_back(std::move(path));
    ++count;
  }
  if (count > 0) return count;
  if (flags & kArgNoMatchIsFatal) {
    Stop(stop, "File not found - " + text + "\n", 0);
    return 0;
  }
  if (flags & kArgNoMatchDropped) return 0;
  args->push_back(text);
  return 1;
}

bool SplitCommandWords(const char* line, int flags, const char* switchCharacters,
                       std::vector<CommandWord>* words) {
  words->clear();
  const char* p = line ? line : "";
  for (;;) {
    while (IsWhite(*p)) ++p;
    if (!*p) return true;
    CommandWord word;
    // The program's own name is taken as it stands.
    word.isOption = !words->empty() && strchr(switchCharacters, *p) != nullptr;
    bool matched = CollectWord(p, flags, &word);
    words->push_back(std::move(word));
    if (!matched) return false;
  }
}

bool SplitCommandLine(const char* line, int flags, const char* switchCharacters,
                      std::vector<std::string>* args, ArgumentStop* stop) {
  ArgumentStop ownStop;
  if (!stop) stop = &ownStop;
  args->clear();
  std::vector<CommandWord> words;
  bool complete = SplitCommandWords(line, flags, switchCharacters, &words);
  size_t taken = 0;
  for (; taken < words.size() && !stop->stopped; ++taken) {
    const CommandWord& word = words[taken];
    if (word.isOption) {
      args->push_back(kSwitchMark + word.text.substr(1));
    } else if (taken > 0 && WantsExpansion(word, flags)) {
      ExpandWildcards(args, word.text, flags, stop);
    } else {
      args->push_back(word.text);
    }
  }
  // Only the last word can be open; a stop before it leaves it unread.
  bool unmatched = !complete && taken == words.size();
  if (unmatched && !stop->stopped && (flags & kArgFatalErrors)) Stop(stop, "Unmatched \"\n", 1);
  return !unmatched;
}

bool ParseCommandLine(int* argc, char*** argv, int flags, const char* switchCharacters,
                      ArgumentStop* stop) {
  static std::vector<std::string> texts;
  static std::vector<char*> vector;
  bool complete = SplitCommandLine(GetCommandLineText(), flags, switchCharacters, &texts, stop);
  vector.clear();
  for (std::string& text : texts) vector.push_back(text.data());
  vector.push_back(nullptr);
  *argc = static_cast<int>(texts.size());
  *argv = vector.data();
  return complete;
}
