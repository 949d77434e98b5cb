// Scanning of MIME header lines over a text cursor: tokens, quoted strings,
// parameters and folded lines.
#pragma once

#include <string>

// Header tokens and quoted values are cut to this many characters.
constexpr size_t kMaxHeaderToken = 255;

// Skips blanks, tabs and folded line ends (a newline followed by a line that
// begins with blanks or tabs and holds more than them).
void SkipSpaces(const char*& cursor);
// A token: characters above the blank other than the MIME specials.
std::string ReadToken(const char*& cursor);
// The character at the cursor opens; the text up to the same character, a
// newline or the end; the closing character is stepped over.
std::string ReadQuoted(const char*& cursor);
// A quoted string or a token.
std::string ReadValue(const char*& cursor);
// Moves past the next ';' outside quotes on this (folded) line. True when a
// parameter follows on the line.
bool NextParameter(const char*& cursor);
// Steps over `c` when the cursor is on it.
bool MatchChar(const char*& cursor, char c);
// Moves past the next newline (or to the end).
void NextLine(const char*& cursor);
