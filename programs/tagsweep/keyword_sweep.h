// The keyword sweep: the pages of a tree whose keyword list holds one
// keyword, as alias list lines relative to the current directory (an image
// of the same name in place of a slide page).
#pragma once

#include <cstdio>
#include <string>

// True when an item of the comma-separated list, blanks trimmed, equals the
// keyword without regard to letter case. An empty keyword matches nothing.
bool HasListKeyword(const char* list, const char* keyword);

// The alias list line for a page that carries the keyword, or false when it
// lies in the current directory or below it.
bool SweepLine(const std::string& pagePath, std::string* line);

// Writes the line of every page below dir (recursively, in listing order)
// whose keyword list holds the keyword. False when a write failed.
bool SweepTree(const std::string& dir, const char* keyword, FILE* out);
