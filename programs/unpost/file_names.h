// The names unpost gives the files it writes: cleaned of paths and characters
// Windows cannot hold, letter case settled, made unique, and confirmed before
// an existing file is replaced.
#pragma once

#include <string>

// Removes quotes, keeps the last path component, turns control characters
// and :*?<>| into '_', and trims blanks and tabs. A name of dots alone
// (".", "..") names no file and gives "".
std::string CleanFileName(const std::string& name);
// Lower-cases the name unless its base name is of mixed case.
std::string FixFileNameCase(const std::string& name);
// While the name exists, a two-digit number from 02 goes before the extension
// ('-' first when the base name ends in a digit).
std::string MakeUniqueFileName(const std::string& name);
// The name with the text from its last '.' replaced by ".txt".
std::string TextFileName(const std::string& name);

// True with `overwrite` or when no such file exists; otherwise asks on the
// console and answers whether 'y' or 'Y' was pressed.
bool ConfirmOverwrite(const std::string& path, bool overwrite);
