// Cutting a text into the pieces between its separators: the lists of an
// environment variable (PATH, WEFTDRIVES), the lines of a header block.
#pragma once

#include <string>
#include <vector>

// Every piece between two separators, empty ones too: n separators make
// n + 1 pieces, so "" is one empty piece.
std::vector<std::string> SplitAt(const std::string& text, const std::string& separator);
