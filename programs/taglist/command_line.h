// taglist's command line: its words (split by the suite's one splitter, from
// the raw line) read as a format string or the /I switch, the escape
// sequences of a format string, and the help text.
#pragma once

#include <string>
#include <vector>

#include "cmdline/cmdline.h"

// The flags and switch characters by which taglist splits its line: a quote
// opened right after a closing one stands for a quote.
constexpr int kTaglistSplitFlags = kArgDoubledQuote;
constexpr const char* kTaglistSwitches = "/-";

enum class ListMode { kPlain, kFormat, kCrossReference };

struct TaglistOptions {
  ListMode mode = ListMode::kPlain;
  std::string format;
};

// Reads the words after the program's name. False when an option asks for
// the help text.
bool ReadTaglistOptions(const std::vector<CommandWord>& words, TaglistOptions* options);

// The help text on standard output.
void PrintTaglistHelp();

// Replaces "\\" and \a \b \f \g \i \l \n \q \r \t \v by their characters; a
// backslash before anything else stays.
std::string ApplyEscapes(const std::string& text);
