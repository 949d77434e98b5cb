// The one command-line splitter of the console programs that read the
// process's command line themselves: quotes, switch words and wildcard
// expansion (the files a pattern matches come from shared/wild_args).
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Flags of ParseCommandLine and ExpandWildcards.
constexpr int kArgFatalErrors = 0x001;      // unmatched quote, too long a path: stop with status 1
constexpr int kArgNoMatchIsFatal = 0x002;   // a pattern without match: stop with status 0
constexpr int kArgExpandUnquoted = 0x0F0;   // any of these bits: expand words without quotes
constexpr int kArgExpandAll = 0x020;        // expand every word, quoted or not
constexpr int kArgNoMatchDropped = 0x040;   // a pattern without match adds no argument
constexpr int kArgDoubledQuote = 0x100;     // "" right after a closing quote is one literal quote
constexpr int kArgKeepQuotes = 0x200;       // quotes stay in the argument text
// The rules by which a program's own start-up splits the command line it was
// given into its arguments: only blanks and tabs separate words, and
// backslashes before a quote escape it (2n of them stand for n backslashes
// and the quote works as a quote; 2n + 1 for n backslashes and a literal
// quote); other backslashes are text.
constexpr int kArgProgramArgv = 0x400;

// A switch word's first character is replaced by this byte, so that a switch
// never looks like a file name.
constexpr char kSwitchMark = '\xFF';

// An error that the flags make fatal: splitting stops at it, and the program
// is to write `message` to standard error and end with `status`.
struct ArgumentStop {
  bool stopped = false;
  std::string message;
  int status = 0;
};

// One word of a command line, its quotes dealt with by the flags' rules.
struct CommandWord {
  std::string text;     // a switch keeps its switch character
  bool isOption = false;  // began with a switch character (never the program's name)
  bool hadQuote = false;
};

// Splits a command line text into its words, the program's name first (taken
// as it stands), expanding none. False when the line ended inside a quote:
// the last word then runs to the end of the line.
bool SplitCommandWords(const char* line, int flags, const char* switchCharacters,
                       std::vector<CommandWord>* words);
// The same over a text that may hold any byte.
bool SplitCommandWords(std::string_view line, int flags, const char* switchCharacters,
                       std::vector<CommandWord>* words);

// Appends to `args` the arguments that one word stands for: the matching
// files of a pattern (hidden files and directories left out), or the text
// itself. Returns how many were appended. `stop` (may be null when the flags
// make nothing fatal) receives a fatal error.
int ExpandWildcards(std::vector<std::string>* args, const std::string& text, int flags,
                    ArgumentStop* stop = nullptr);

// Splits a command line text (its first word is the program's name, taken as
// it stands) into `args`. False when the line ended inside a quote. `stop`
// receives the first fatal error; the split ends there.
bool SplitCommandLine(const char* line, int flags, const char* switchCharacters,
                      std::vector<std::string>* args, ArgumentStop* stop = nullptr);

// Splits the process's own command line. The vector (argc + 1 entries, the
// last null) stays valid until the next call.
bool ParseCommandLine(int* argc, char*** argv, int flags, const char* switchCharacters,
                      ArgumentStop* stop);
