// taglist's own reading of its command line: the raw line split into words
// by its quoting rules, and the escape sequences of a format string.
#pragma once

#include <string>
#include <vector>

struct CommandWord {
  std::string text;
  bool isOption = false;  // the word began with '/' or '-'
};

// Splits the raw command line into words, the program's name left out.
// Blanks outside double quotes separate words; a double quote switches
// quoting and is not copied, except that one opening directly after a
// closing one stands for a double quote. False when the line ends inside
// quotes.
bool SplitCommandLine(const char* line, std::vector<CommandWord>* words);

// Replaces "\\" and \a \b \f \g \i \l \n \q \r \t \v by their characters; a
// backslash before anything else stays.
std::string ApplyEscapes(const std::string& text);
