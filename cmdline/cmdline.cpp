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

// What separates words: white space, or with kArgProgramArgv blanks and tabs.
bool IsWordBreak(char c, int flags) {
  if (flags & kArgProgramArgv) return c == ' ' || c == '\t';
  return IsWhite(c);
}

// A run of backslashes at `at` (kArgProgramArgv): those before a quote
// escape it two by two, and an odd one out makes the quote a literal one.
// Returns the index of the run's last character taken.
size_t CollectBackslashes(std::string_view line, size_t at, CommandWord* word) {
  size_t end = line.find_first_not_of('\\', at);
  if (end == std::string_view::npos) end = line.size();
  size_t count = end - at;
  if (end == line.size() || line[end] != '"') {
    word->text.append(count, '\\');
    return end - 1;
  }
  word->text.append(count / 2, '\\');
  if (count % 2 == 0) return end - 1;  // the quote that follows works as a quote
  word->text += '"';
  return end;
}

// One word of the line, from `at` (not a word break) to its end; `at` moves
// past it. True when its quotes are matched.
bool CollectWord(std::string_view line, size_t* at, int flags, CommandWord* word) {
  bool quoted = false;
  bool justClosed = false;
  size_t i = *at;
  for (; i < line.size(); ++i) {
    char c = line[i];
    if (c == '\\' && (flags & kArgProgramArgv)) {
      i = CollectBackslashes(line, i, word);
      justClosed = false;
      continue;
    }
    if (c != '"') {
      if (!quoted && IsWordBreak(c, flags)) break;
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
  *at = i;
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

bool SplitCommandWords(std::string_view line, int flags, const char* switchCharacters,
                       std::vector<CommandWord>* words) {
  words->clear();
  size_t at = 0;
  for (;;) {
    while (at < line.size() && IsWordBreak(line[at], flags)) ++at;
    if (at == line.size()) return true;
    CommandWord word;
    // The program's own name is taken as it stands.
    char first = line[at];
    word.isOption = !words->empty() && first != '\0' && strchr(switchCharacters, first) != nullptr;
    bool matched = CollectWord(line, &at, flags, &word);
    words->push_back(std::move(word));
    if (!matched) return false;
  }
}

bool SplitCommandWords(const char* line, int flags, const char* switchCharacters,
                       std::vector<CommandWord>* words) {
  return SplitCommandWords(std::string_view(line ? line : ""), flags, switchCharacters, words);
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
