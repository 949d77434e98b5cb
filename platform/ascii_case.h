// Letter case as Windows folds it in names, keys and commands: ASCII letters
// only, every other byte kept as it is.
#pragma once

#include <string_view>

// Defined here, since name lookups and hashes call it for every byte.
inline char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
inline char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
// True when the texts are equal but for the case of ASCII letters.
bool SameNoCase(std::string_view a, std::string_view b);
// True when `text` begins with `prefix`, the case of ASCII letters ignored.
bool StartsNoCase(std::string_view text, std::string_view prefix);
// The order of names as Windows lists them: byte by byte, each an unsigned
// byte after ASCII upper-casing, a text before every longer one it begins.
// Below zero when `a` comes first, 0 when the texts differ at most in case.
int CompareNoCase(std::string_view a, std::string_view b);
