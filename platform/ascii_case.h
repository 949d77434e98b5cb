// Letter case as Windows folds it in names, keys and commands: ASCII letters
// only, every other byte kept as it is.
#pragma once

#include <string>

char UpperAscii(char c);
// True when the texts are equal but for the case of ASCII letters.
bool SameNoCase(const std::string& a, const std::string& b);
