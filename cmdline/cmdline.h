// The argument splitter of the console programs that read the process's
// command line themselves: quotes, switch words and wildcard expansion.
#pragma once

#include <string>
#include <vector>

// Flags of ParseCommandLine and ExpandWildcards.
constexpr int kArgFatalErrors = 0x001;      // unmatched quote, too long a path: message, exit 1
constexpr int kArgNoMatchIsFatal = 0x002;   // a pattern without match: message, exit 0
constexpr int kArgExpandUnquoted = 0x0F0;   // any of these bits: expand words without quotes
constexpr int kArgExpandAll = 0x020;        // expand every word, quoted or not
constexpr int kArgNoMatchDropped = 0x040;   // a pattern without match adds no argument
constexpr int kArgDoubledQuote = 0x100;     // "" right after a closing quote is one literal quote
constexpr int kArgKeepQuotes = 0x200;       // quotes stay in the argument text

// A switch word's first character is replaced by this byte, so that a switch
// never looks like a file name.
constexpr char kSwitchMark = '\xFF';

// One command-line argument.
struct Argument {
  std::string text;
  Argument* next = nullptr;
};

// The arguments collected while a command line is split, in order.
class ArgumentList {
 public:
  ArgumentList() = default;
  ~ArgumentList();
  ArgumentList(const ArgumentList&) = delete;
  ArgumentList& operator=(const ArgumentList&) = delete;

  void Append(const std::string& text);
  int Count() const { return count_; }
  // Moves the texts out in order and frees the nodes.
  std::vector<std::string> Take();

 private:
  Argument* head_ = nullptr;
  Argument* tail_ = nullptr;
  int count_ = 0;
};

// Appends the arguments that one word stands for: the matching files of a
// pattern ('*' or '?' after the directory part), or the text itself. Returns
// how many were appended.
int ExpandWildcards(ArgumentList* list, const std::string& text, int flags);

// Splits a command line text (its first word is the program's name, taken as
// it stands) into `args`. False when the line ended inside a quote.
bool SplitCommandLine(const char* line, int flags, const char* switchCharacters,
                      std::vector<std::string>* args);

// Splits the process's own command line. The vector (argc + 1 entries, the
// last null) stays valid until the next call.
bool ParseCommandLine(int* argc, char*** argv, int flags, const char* switchCharacters);
